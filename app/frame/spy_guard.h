// The frame's answer to a Spy: on every pass of its loop but the one right
// after it sent him back, it sends him back to the Login window, and every
// other time it first says "Access denied".
#pragma once
#include <functional>

namespace marlock::frame {

class SpyGuard {
 public:
  // `deny` shows "Access denied"; `restart` starts the Login window again
  // and gives its thread number.
  SpyGuard(std::function<void()> deny, std::function<int()> restart)
      : deny_(std::move(deny)), restart_(std::move(restart)) {}

  // One pass of the frame's loop in `mode`; true when the pass sent the
  // user back (its event is not served).
  bool pass(int mode);

 private:
  std::function<void()> deny_;
  std::function<int()> restart_;
  int passes_ = 0;
  int login_thread_ = 0;
};

}  // namespace marlock::frame
