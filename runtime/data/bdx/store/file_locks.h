// The lock area of a BDX file: one-byte ranges from 2^31 up, far beyond any
// real data, so they never block reading or writing of pages.
//
//   RANGE FROM 2^31   LENGTH  MEANING
//   0 .. 1022         1 each  reader slots: a reading process holds one
//   0                 1023    all reader slots: taken by the updater while
//                             it writes, so no reader sees a half update
//   1023              1       writer byte: the one process updating
//   1024 + 1 + n      1       record n held, or table n locked
//
// Locks belong to one open handle. Waiting requests are repeated until
// granted; the lock calls of the system never wait themselves.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/platform/os/file.h"

namespace vrt::data {

inline constexpr uint64_t kLockAreaBase = uint64_t{1} << 31;
inline constexpr uint32_t kReaderSlots = 1023;
inline constexpr uint64_t kWriterByte = kLockAreaBase + 1023;
inline constexpr uint64_t record_lock_offset(uint32_t number) { return kLockAreaBase + 1024 + 1 + number; }

// How a file's opener takes part in the lock protocol.
enum class LockProtocol {
  None,        // denies others writing and reading, or reading: nobody to tell
  DenyWrite,   // others may only read: they are kept out while an update is written
  Shared,      // others may read and write: every operation is locked
};
LockProtocol lock_protocol_of(platform::Share share);

// Waits for another process say what they wait for once they last: after
// a second the notice set here (the bdx tool writes it on standard error)
// gets one line, "waiting for NAME: another process is updating it".
using WaitNotice = void (*)(const std::string& what);
void set_wait_notice(WaitNotice notice);

class WaitClock {
 public:
  // The notice reads "waiting for NAME: REASON"; both must outlive the clock.
  WaitClock(const std::string& name, const char* reason) : name_(name), reason_(reason) {}
  // Called at each retry; tells the notice once, a second after the first.
  void tick();
  // Hundredths of a second since the first tick.
  uint32_t waited() const;

 private:
  const std::string& name_;
  const char* reason_;
  uint32_t start_ = 0;
  bool started_ = false;
  bool told_ = false;
};

// Waits until the exclusive lock of the range is granted.
void wait_for_lock(platform::File& file, uint64_t offset, uint64_t length);

// Takes a reader slot: the remembered one first, else the next free one,
// wrapping from the last slot to the first; the slot that worked is
// remembered. Waits while every slot is taken (an updater is writing).
// A handle opened for reading only cannot hold exclusive locks: it holds
// its slot shared, which still keeps updaters out.
void take_reader_slot(platform::File& file, bool exclusive, uint32_t* slot);
void release_reader_slot(platform::File& file, uint32_t slot);

// Holds an exclusive range, waited for, for its lifetime when needed: the
// writer byte, or every reader slot (taken by the updater while it writes,
// so that no reader sees a half-written update).
class WaitedLock {
 public:
  WaitedLock(platform::File* file, uint64_t offset, uint64_t length, bool needed);
  ~WaitedLock();
  WaitedLock(const WaitedLock&) = delete;
  WaitedLock& operator=(const WaitedLock&) = delete;

 private:
  platform::File* file_ = nullptr;
  uint64_t offset_;
  uint64_t length_;
};

}  // namespace vrt::data
