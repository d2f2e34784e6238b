#include "app/frame/spy_guard.h"

#include "app/access/access_mode.h"

namespace marlock::frame {

bool SpyGuard::pass(int mode) {
  if (mode != kSpy) return false;
  if (login_thread_ != 0) {
    login_thread_ = 0;
    return false;
  }
  if (++passes_ % 2 == 1) deny_();
  login_thread_ = restart_();
  return true;
}

}  // namespace marlock::frame
