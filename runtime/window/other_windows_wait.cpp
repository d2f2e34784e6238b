#include "runtime/window/other_windows_wait.h"

#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

using namespace vrt::platform;

OtherWindowsWait::OtherWindowsWait(HWND modal) {
  for (HWND t : GetTopLevelWindows())
    if (t != modal && IsWindowVisible(t) && IsWindowEnabled(t) && !(GetWindowLongPtr(t, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
      EnableWindow(t, false);
      waiting_.push_back(t);
    }
}

OtherWindowsWait::~OtherWindowsWait() {
  for (HWND t : waiting_)
    if (IsWindow(t)) EnableWindow(t, true);
}

}  // namespace vrt::window
