#include "runtime/platform/os/thread.h"

#include <pthread.h>

#include <algorithm>

#include "runtime/platform/os/system_error.h"

namespace vrt::platform {

Thread::~Thread() { join(); }

void* Thread::trampoline(void* self) {
  static_cast<Thread*>(self)->body_();
  return nullptr;
}

bool Thread::start(std::function<void()> body, size_t stack_size) {
  if (started_) return false;
  body_ = std::move(body);
  stack_size_ = std::max(stack_size, kMinimumStack);
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, stack_size_);
  pthread_t t;
  int err = pthread_create(&t, &attr, trampoline, this);
  pthread_attr_destroy(&attr);
  if (err != 0) {
    SetLastError(system_error_from_errno(err));
    return false;
  }
  handle_ = t;
  started_ = true;
  return true;
}

void Thread::join() {
  if (!started_) return;
  pthread_join(static_cast<pthread_t>(handle_), nullptr);
  started_ = false;
}

}  // namespace vrt::platform
