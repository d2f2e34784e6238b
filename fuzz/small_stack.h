// Runs a fuzz input's work on a thread with a small stack, as the
// program's procedure threads may have: input that would need a deep stack
// (long patterns, nested expressions) crashes here instead of passing
// unnoticed on the main thread's eight megabytes.
#pragma once
#include <pthread.h>

#include <cstdlib>

namespace vrt::fuzz {

inline constexpr size_t kSmallStack = 256 * 1024;

template <typename Work>
void on_small_stack(Work work) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kSmallStack);
  pthread_t thread;
  auto run = [](void* arg) -> void* {
    (*static_cast<Work*>(arg))();
    return nullptr;
  };
  if (pthread_create(&thread, &attr, run, &work) != 0) std::abort();
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

}  // namespace vrt::fuzz
