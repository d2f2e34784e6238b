// LOCK and UNLOCK of a table: the table's number names a byte of the lock
// area (record and table numbers come from one counter, so the byte never
// coincides with a record's). Records of a locked table stay readable.
#include <chrono>
#include <thread>

#include "runtime/data/bdx_table.h"
#include "runtime/data/driver_errors.h"
#include "runtime/data/file_locks.h"
#include "runtime/platform/os/clock.h"

namespace vrt::data {

int BdxTable::lock_table(int32_t seconds) {
  if (table_locked_) return kOk;
  platform::File& f = store_->file();
  uint64_t at = record_lock_offset(number_);
  // A handle that cannot write cannot hold an exclusive lock: it holds the
  // byte shared, which still keeps every writer's LOCK out.
  auto attempt = [&] { return store_->writable() ? f.lock(at, 1) : f.lock_shared(at, 1); };
  uint32_t start = platform::tick_count();
  while (!attempt()) {
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

}  // namespace vrt::data
