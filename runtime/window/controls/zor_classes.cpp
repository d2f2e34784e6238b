#include "runtime/window/controls/zor_classes.h"

#include <mutex>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/controls/sheet_control.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// A runtime class that behaves as a system class under its own name.
void superclass(const char* system, const char* name) {
  WNDCLASS wc;
  if (!GetClassInfo(system, &wc)) return;
  wc.lpszClassName = name;
  RegisterClass(wc);
}

LRESULT timer_window_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

}  // namespace

void register_zor_classes() {
  static std::once_flag once;
  std::call_once(once, [] {
    register_system_classes();
    register_mdi_client_class();
    superclass(kStaticClass, kZorString);
    superclass(kEditClass, kZorEdit);
    register_list_classes();
    superclass(kStaticClass, kZorPrompt);
    superclass(kButtonClass, kZorButton);
    superclass(kButtonClass, kZorOption);
    superclass(kButtonClass, kZorGroup);
    superclass(kButtonClass, kZorRadio);
    superclass(kProgressClass, kZorProgress);
    superclass(kToolbarClass, kZorToolBar);
    superclass(kToolTipClass, kZorToolTip);
    register_popup_menu_class(kZorPopup);
    superclass(kButtonClass, kZorCheck);
    superclass(kStaticClass, kZorText);
    superclass(kMdiClientClass, kZorChildClient);
    register_sheet_classes();
    WNDCLASS timer;
    timer.lpszClassName = kZorTimerWinClass;
    timer.lpfnWndProc = timer_window_proc;
    RegisterClass(timer);
  });
}

}  // namespace vrt::window
