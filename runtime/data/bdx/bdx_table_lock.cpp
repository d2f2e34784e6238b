// LOCK and UNLOCK of a table, HOLD and RELEASE of records: the table's or
// the record's number names a byte of the lock area (record and table
// numbers come from one counter, so the bytes never coincide). Records of a
// locked table stay readable; a held record stays readable too, but others
// can neither hold nor change it.
#include <chrono>
#include <thread>

#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/bdx/store/file_locks.h"
#include "runtime/platform/os/clock.h"

namespace vrt::data {

namespace {

// A handle that cannot write cannot hold an exclusive lock: it holds the
// byte shared, which still keeps every writer out.
bool take_byte(PageStore& store, uint32_t number) {
  platform::File& f = store.file();
  uint64_t at = record_lock_offset(number);
  return store.writable() ? f.lock(at, 1) : f.lock_shared(at, 1);
}

}  // namespace

int BdxTable::lock_table(int32_t seconds) {
  if (table_locked_) return kOk;
  uint32_t start = platform::tick_count();
  while (!take_byte(*store_, number_)) {
    if (seconds <= 0 || platform::tick_count() - start > static_cast<uint32_t>(seconds) * 100)
      return kFileAlreadyLocked;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  table_locked_ = true;
  return kOk;
}

void BdxTable::unlock_table() {
  if (!table_locked_ || !store_) return;
  store_->file().unlock(record_lock_offset(number_), 1);
  table_locked_ = false;
}

bool BdxTable::hold_record(uint32_t record) {
  if (holds(record)) return true;
  if (!take_byte(*store_, record)) return false;
  held_.insert(record);
  return true;
}

bool BdxTable::lock_for_update(uint32_t record) {
  if (store_->protocol() != LockProtocol::Shared || holds(record)) return true;
  return store_->file().lock(record_lock_offset(record), 1);
}

void BdxTable::unlock_after_update(uint32_t record) {
  if (store_->protocol() != LockProtocol::Shared || holds(record)) return;
  store_->file().unlock(record_lock_offset(record), 1);
}

void BdxTable::release_record(uint32_t record) {
  if (held_.erase(record) && store_) store_->file().unlock(record_lock_offset(record), 1);
}

void BdxTable::release_holds() {
  while (!held_.empty()) release_record(*held_.begin());
}

}  // namespace vrt::data
