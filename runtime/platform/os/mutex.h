// A mutex whose use clang's thread-safety analysis follows (-Wthread-safety
// in the clang build): data guarded by one is declared VRT_GUARDED_BY it, and
// functions that expect it held say VRT_REQUIRES. The standard library's
// mutex carries no such annotations, so guarded state uses this one.
#pragma once
#include <mutex>

#if defined(__clang__)
#define VRT_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define VRT_THREAD_ANNOTATION(x)
#endif

#define VRT_CAPABILITY(name) VRT_THREAD_ANNOTATION(capability(name))
#define VRT_SCOPED_CAPABILITY VRT_THREAD_ANNOTATION(scoped_lockable)
#define VRT_GUARDED_BY(m) VRT_THREAD_ANNOTATION(guarded_by(m))
#define VRT_PT_GUARDED_BY(m) VRT_THREAD_ANNOTATION(pt_guarded_by(m))
#define VRT_REQUIRES(...) VRT_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define VRT_ACQUIRE(...) VRT_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define VRT_RELEASE(...) VRT_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define VRT_TRY_ACQUIRE(...) VRT_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
#define VRT_EXCLUDES(...) VRT_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define VRT_RETURN_CAPABILITY(x) VRT_THREAD_ANNOTATION(lock_returned(x))

namespace vrt::platform {

class VRT_CAPABILITY("mutex") Mutex {
 public:
  void lock() VRT_ACQUIRE() { m_.lock(); }
  void unlock() VRT_RELEASE() { m_.unlock(); }
  bool try_lock() VRT_TRY_ACQUIRE(true) { return m_.try_lock(); }
  // For waits on a condition variable, which need the standard mutex.
  std::mutex& native() { return m_; }

 private:
  std::mutex m_;
};

// Holds a Mutex for its scope, as std::lock_guard does.
class VRT_SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& m) VRT_ACQUIRE(m) : m_(m) { m_.lock(); }
  ~MutexLock() VRT_RELEASE() { m_.unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex& m_;
};

}  // namespace vrt::platform
