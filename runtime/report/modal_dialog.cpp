#include "runtime/report/modal_dialog.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/other_windows_wait.h"
#include "runtime/window/script_runner.h"

namespace vrt::report {

namespace {

using namespace vrt::platform;

constexpr const char* kDialogClass = "ZorPrintDialog";

// The button pressed in the dialog shown on this thread, 0 while none.
thread_local int t_pressed = 0;

LRESULT dialog_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_COMMAND:
      // Only OK and Cancel end the wait; other controls tell of changes.
      if (lp && (LOWORD(wp) == kDialogOk || LOWORD(wp) == kDialogCancel) && HIWORD(wp) == BN_CLICKED)
        t_pressed = LOWORD(wp);
      return 0;
    case WM_CLOSE: t_pressed = kDialogCancel; return 0;
    default: return DefWindowProc(h, m, wp, lp);
  }
}

void register_dialog_class() {
  WNDCLASS wc;
  if (GetClassInfo(kDialogClass, &wc)) return;
  wc = WNDCLASS{};
  wc.lpszClassName = kDialogClass;
  wc.lpfnWndProc = dialog_proc;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClass(wc);
}

bool tab_stop(HWND h) {
  return (GetWindowLongPtr(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h);
}

}  // namespace

ModalDialog::ModalDialog(const std::string& title, int client_width, int client_height)
    : client_width_(client_width), client_height_(client_height) {
  register_dialog_class();
  hwnd_ = CreateWindowEx(WS_EX_DLGMODALFRAME, kDialogClass, title, WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                         CW_USEDEFAULT, client_width, client_height, nullptr, nullptr);
  if (!hwnd_) return;
  // Centred across the screen, a third of the way down.
  RECT outer = GetWindowRect(hwnd_), inner = GetClientRect(hwnd_);
  int width = client_width + outer.width() - inner.right, height = client_height + outer.height() - inner.bottom;
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(hwnd_, HWND_TOP, std::max(0, (sw - width) / 2), std::max(0, (sh - height) / 3), width, height,
               SWP_NOACTIVATE);
}

ModalDialog::~ModalDialog() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HWND ModalDialog::add(const char* window_class, const std::string& text, uint32_t style, int x, int y, int width,
                      int height, int id) {
  if (!hwnd_) return nullptr;
  return CreateWindow(window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)));
}

void ModalDialog::add_ok_cancel() {
  const int w = scaled(80), h = scaled(26), gap = scaled(10), margin = scaled(14);
  int y = client_height_ - margin - h;
  add(kButtonClass, "OK", kTabStop | BS_DEFPUSHBUTTON, client_width_ - margin - 2 * w - gap, y, w, h, kDialogOk);
  add(kButtonClass, "Cancel", kTabStop | BS_PUSHBUTTON, client_width_ - margin - w, y, w, h, kDialogCancel);
}

void ModalDialog::focus(HWND control) {
  SetFocus(control);
  if (GetClassName(control) == kEditClass) SendMessage(control, EM_SETSEL, 0, -1);
}

void ModalDialog::press(int id) {
  if (HWND b = GetDlgItem(hwnd_, id)) SendMessage(b, BM_CLICK, 0, 0);
}

bool ModalDialog::key(const MSG& m) {
  if (m.message != WM_KEYDOWN) return false;
  switch (m.wParam) {
    case VK_RETURN: {
      int focused = GetDlgCtrlID(GetFocus());
      press(focused == kDialogCancel ? kDialogCancel : kDialogOk);
      return true;
    }
    case VK_ESCAPE: press(kDialogCancel); return true;
    case VK_TAB: {
      // Reading order, top to bottom and left to right, from wherever the
      // focus is (a radio of a group is no stop of its own).
      auto before = [](HWND a, HWND b) {
        RECT ra = GetWindowRect(a), rb = GetWindowRect(b);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
      };
      std::vector<HWND> stops;
      for (HWND c : GetChildren(hwnd_))
        if (tab_stop(c)) stops.push_back(c);
      if (stops.empty()) return true;
      std::sort(stops.begin(), stops.end(), before);
      HWND focused = GetFocus();
      bool back = GetKeyState(VK_SHIFT);
      HWND next = back ? stops.back() : stops.front();
      if (focused && IsChild(hwnd_, focused)) {
        if (back) {
          for (HWND s : stops)
            if (before(s, focused)) next = s;
        } else {
          for (auto it = stops.rbegin(); it != stops.rend(); ++it)
            if (before(focused, *it)) next = *it;
        }
      }
      focus(next);
      return true;
    }
    default: return false;
  }
}

bool ModalDialog::run(HWND first, const std::function<bool()>& accept) {
  if (!hwnd_) return false;
  bool ok = wait_for_user(first, accept);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  return ok;
}

bool ModalDialog::wait_for_user(HWND first, const std::function<bool()>& accept) {
  window::OtherWindowsWait others(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
  SetActiveWindow(hwnd_);
  if (first) focus(first);
  int outer = std::exchange(t_pressed, 0);
  int levels = window::release_runtime_lock_fully();
  bool ok = false;
  MSG m;
  while (IsWindow(hwnd_) && GetMessage(&m)) {
    if ((m.hwnd == hwnd_ || IsChild(hwnd_, m.hwnd)) && key(m)) {
    } else {
      TranslateMessage(m);
      DispatchMessage(m);
    }
    if (t_pressed == kDialogCancel) break;
    if (t_pressed == kDialogOk) {
      t_pressed = 0;
      if ((ok = accept())) break;
    }
  }
  window::retake_runtime_lock(levels);
  t_pressed = outer;
  return ok;
}

bool dialog_answers_itself() {
  return display_kind() == DisplayKind::Headless && !window::script_running();
}

}  // namespace vrt::report
