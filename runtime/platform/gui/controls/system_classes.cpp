#include <mutex>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::platform {

WNDPROC button_window_proc();
WNDPROC static_window_proc();
WNDPROC edit_window_proc();
WNDPROC progress_window_proc();
WNDPROC tooltip_window_proc();
WNDPROC toolbar_window_proc();
WNDPROC status_window_proc();
WNDPROC scroll_bar_window_proc();

void register_system_classes() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct Entry {
      const char* name;
      WNDPROC proc;
      UINT style;
      HBRUSH background;
      int cursor;
    };
    const Entry entries[] = {
        {kButtonClass, button_window_proc(), CS_DBLCLKS, nullptr, IDC_ARROW},
        {kStaticClass, static_window_proc(), 0, nullptr, IDC_ARROW},
        {kEditClass, edit_window_proc(), CS_DBLCLKS, nullptr, IDC_IBEAM},
        {kProgressClass, progress_window_proc(), 0, nullptr, IDC_ARROW},
        {kToolTipClass, tooltip_window_proc(), 0, nullptr, IDC_ARROW},
        {kToolbarClass, toolbar_window_proc(), 0, nullptr, IDC_ARROW},
        {kStatusClass, status_window_proc(), 0, nullptr, IDC_ARROW},
        {kScrollBarClass, scroll_bar_window_proc(), 0, nullptr, IDC_ARROW},
    };
    for (const Entry& e : entries) {
      WNDCLASS wc;
      wc.lpszClassName = e.name;
      wc.lpfnWndProc = e.proc;
      wc.style = e.style;
      wc.hbrBackground = e.background;
      wc.hCursor = LoadCursor(e.cursor);
      RegisterClass(wc);
    }
    register_mdi_client_class();
  });
}

}  // namespace vrt::platform
