// While a modal box or dialog waits for its user, every other shown and
// enabled top-level window waits too: disabled for the scope, enabled again
// after it (those still there).
#pragma once
#include <vector>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

class OtherWindowsWait {
 public:
  explicit OtherWindowsWait(platform::HWND modal);
  ~OtherWindowsWait();
  OtherWindowsWait(const OtherWindowsWait&) = delete;
  OtherWindowsWait& operator=(const OtherWindowsWait&) = delete;

 private:
  std::vector<platform::HWND> waiting_;
};

}  // namespace vrt::window
