// Threads started with a stack size of the caller's choosing, as the
// system's CreateThread takes one. Sizes below what this code needs are
// raised to a floor: the sizes the program asks for were made for a much
// leaner machine code.
#pragma once
#include <cstddef>
#include <functional>

namespace vrt::platform {

inline constexpr size_t kMinimumStack = 1 << 20;  // 1 MB

class Thread {
 public:
  Thread() = default;
  ~Thread();  // joins a thread still running
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // False when the system cannot start the thread.
  bool start(std::function<void()> body, size_t stack_size = 0);
  void join();
  bool running() const { return started_; }
  // The stack size the thread was given.
  size_t stack_size() const { return stack_size_; }

 private:
  static void* trampoline(void* self);
  unsigned long handle_ = 0;
  bool started_ = false;
  size_t stack_size_ = 0;
  std::function<void()> body_;
};

}  // namespace vrt::platform
