#include "runtime/window/loop/runtime_lock.h"

#include <thread>

#include "runtime/platform/os/check.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/os/mutex.h"

namespace vrt::window {

namespace {

// The lock is taken again by the thread that holds it (a count of levels);
// it has an owner exactly while the count is above zero.
class RuntimeLock : public platform::Waitable {
 public:
  bool try_take() override {
    platform::MutexLock lock(m_);
    std::thread::id me = std::this_thread::get_id();
    if (count_ != 0 && owner_ != me) return false;
    owner_ = me;
    ++count_;
    VRT_CHECK_INVARIANTS(*this);
    return true;
  }
  int release(bool fully) {
    int left, given;
    {
      platform::MutexLock lock(m_);
      if (count_ == 0 || owner_ != std::this_thread::get_id()) return 0;
      given = fully ? count_ : 1;
      count_ -= given;
      left = count_;
      if (count_ == 0) owner_ = {};
      VRT_CHECK_INVARIANTS(*this);
    }
    if (left == 0) wake_waiters();
    return fully ? given : left;
  }
  bool held() {
    platform::MutexLock lock(m_);
    return count_ != 0 && owner_ == std::this_thread::get_id();
  }
  std::thread::id owner() {
    platform::MutexLock lock(m_);
    return owner_;
  }
  const char* broken_invariant() const VRT_REQUIRES(m_) {
    if (count_ < 0) return "a negative count of levels";
    if ((count_ == 0) != (owner_ == std::thread::id())) return "an owner without levels, or levels without an owner";
    return nullptr;
  }

 private:
  platform::Mutex m_;
  std::thread::id owner_ VRT_GUARDED_BY(m_);
  int count_ VRT_GUARDED_BY(m_) = 0;
};

RuntimeLock& the_lock() {
  static RuntimeLock lock;
  return lock;
}

}  // namespace

void take_runtime_lock() {
  // Sent messages are handled inside the wait; nothing else ends it.
  while (platform::MsgWaitForMultipleObjects(&the_lock(), -1, 0) != platform::WAIT_OBJECT_0) {
  }
}

int release_runtime_lock() { return the_lock().release(false); }

int release_runtime_lock_fully() { return the_lock().release(true); }

void retake_runtime_lock(int levels) {
  for (int i = 0; i < levels; ++i) take_runtime_lock();
}

bool runtime_lock_held() { return the_lock().held(); }
std::thread::id runtime_lock_owner() { return the_lock().owner(); }

}  // namespace vrt::window
