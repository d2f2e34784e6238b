#include "runtime/data/bdx/store/file_locks.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/platform/os/clock.h"

namespace vrt::data {

namespace {

// A lock is held for the few milliseconds of one operation: a short pause
// between attempts keeps the waiting process from taking a core.
void pause_before_retry() { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

std::atomic<WaitNotice> g_notice{nullptr};

const char* what_holds(uint64_t offset) {
  return offset == kWriterByte ? "another process is updating it" : "another process is reading it";
}

bool try_slot(platform::File& file, bool exclusive, uint32_t slot) {
  uint64_t at = kLockAreaBase + slot;
  return exclusive ? file.lock(at, 1) : file.lock_shared(at, 1);
}

}  // namespace

LockProtocol lock_protocol_of(platform::Share share) {
  switch (share) {
    case platform::Share::DenyNone: return LockProtocol::Shared;
    case platform::Share::DenyWrite: return LockProtocol::DenyWrite;
    default: return LockProtocol::None;
  }
}

void set_wait_notice(WaitNotice notice) { g_notice = notice; }

void WaitClock::tick() {
  uint32_t now = platform::tick_count();
  if (!started_) {
    started_ = true;
    start_ = now;
  }
  if (!told_ && now - start_ >= 100) {
    told_ = true;
    if (WaitNotice notice = g_notice.load()) notice("waiting for " + name_ + ": " + reason_);
  }
}

uint32_t WaitClock::waited() const { return started_ ? platform::tick_count() - start_ : 0; }

void wait_for_lock(platform::File& file, uint64_t offset, uint64_t length) {
  if (file.lock(offset, length)) return;
  WaitClock clock(file.path(), what_holds(offset));
  while (!file.lock(offset, length)) {
    clock.tick();
    pause_before_retry();
  }
}

void take_reader_slot(platform::File& file, bool exclusive, uint32_t* slot) {
  WaitClock clock(file.path(), "another process is writing it");
  for (;;) {
    uint32_t s = *slot % kReaderSlots;
    for (uint32_t tried = 0; tried < kReaderSlots; ++tried, s = (s + 1) % kReaderSlots) {
      if (try_slot(file, exclusive, s)) {
        *slot = s;
        return;
      }
    }
    clock.tick();
    pause_before_retry();
  }
}

void release_reader_slot(platform::File& file, uint32_t slot) { file.unlock(kLockAreaBase + slot, 1); }

WaitedLock::WaitedLock(platform::File* file, uint64_t offset, uint64_t length, bool needed)
    : offset_(offset), length_(length) {
  if (!needed) return;
  wait_for_lock(*file, offset, length);
  file_ = file;
}

WaitedLock::~WaitedLock() {
  if (file_) file_->unlock(offset_, length_);
}

}  // namespace vrt::data
