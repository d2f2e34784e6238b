#include "runtime/window/runtime_box_window.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/display/display.h"
#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/script_runner.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kBoxClass = "ZorRuntimeBox";

struct BoxButton {
  const char* text;
  core::BoxAnswer answer;
};

// The buttons of each set, left to right.
std::vector<BoxButton> buttons_of(core::BoxButtons set) {
  switch (set) {
    case core::kBoxOk: return {{"OK", core::kAnswerOk}};
    case core::kBoxOkCancel: return {{"OK", core::kAnswerOk}, {"Cancel", core::kAnswerCancel}};
    case core::kBoxYesNoCancel:
      return {{"&Yes", core::kAnswerYes}, {"&No", core::kAnswerNo}, {"Cancel", core::kAnswerCancel}};
    case core::kBoxYesNo: return {{"&Yes", core::kAnswerYes}, {"&No", core::kAnswerNo}};
  }
  return {{"OK", core::kAnswerOk}};
}

uintptr_t icon_of(core::BoxIcon icon) {
  switch (icon) {
    case core::kBoxIconError: return IDI_HAND;
    case core::kBoxIconQuestion: return IDI_QUESTION;
    case core::kBoxIconExclamation: return IDI_EXCLAMATION;
    case core::kBoxIconInformation: return IDI_ASTERISK;
  }
  return IDI_HAND;
}

// The answer of the box being shown on this thread, 0 while none.
thread_local int t_answer = 0;

LRESULT box_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_COMMAND:
      if (lp) t_answer = static_cast<int>(LOWORD(wp));
      return 0;
    case WM_CLOSE:
      t_answer = static_cast<int>(GetWindowLongPtr(h, GWLP_USERDATA));  // the cancelling answer
      return 0;
    default: return DefWindowProc(h, m, wp, lp);
  }
}

void register_box_class() {
  WNDCLASS wc;
  if (GetClassInfo(kBoxClass, &wc)) return;
  wc = WNDCLASS{};
  wc.lpszClassName = kBoxClass;
  wc.lpfnWndProc = box_proc;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClass(wc);
}

// The text's lines ("\n" breaks them; "\r" is dropped).
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == '\n') out.emplace_back();
    else if (c != '\r') out.back() += c;
  }
  return out;
}

// Every other enabled top-level window waits while the box is up.
std::vector<HWND> disable_others(HWND box) {
  std::vector<HWND> disabled;
  for (HWND t : GetTopLevelWindows())
    if (t != box && IsWindowVisible(t) && IsWindowEnabled(t) && !(GetWindowLongPtr(t, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
      EnableWindow(t, false);
      disabled.push_back(t);
    }
  return disabled;
}

int run_box(const core::BoxRequest& r) {
  register_box_class();
  std::vector<BoxButton> buttons = buttons_of(r.buttons);
  std::vector<std::string> lines = lines_of(r.text);
  const int line_h = scaled(16), button_w = scaled(80), button_h = scaled(26), gap = scaled(10);
  const int icon = scaled(32), margin = scaled(14);
  size_t widest = 0;
  for (const std::string& l : lines) widest = std::max(widest, l.size());
  int text_w = std::clamp(static_cast<int>(widest) * scaled(7), scaled(160), scaled(640));
  int text_h = std::max(icon, static_cast<int>(lines.size()) * line_h);
  int row_w = static_cast<int>(buttons.size()) * (button_w + gap) - gap;
  int client_w = std::max(margin * 3 + icon + text_w, margin * 2 + row_w);
  int client_h = margin * 3 + text_h + button_h;
  uint32_t ex = WS_EX_DLGMODALFRAME | (r.system_modal ? uint32_t{WS_EX_TOPMOST} : 0u);
  HWND box = CreateWindowEx(ex, kBoxClass, r.caption, WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                            client_w, client_h, nullptr, nullptr);
  if (!box) return r.default_answer;
  RECT outer = GetWindowRect(box), inner = GetClientRect(box);
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int width = client_w + outer.width() - inner.right, height = client_h + outer.height() - inner.bottom;
  SetWindowPos(box, HWND_TOP, std::max(0, (sw - width) / 2), std::max(0, (sh - height) / 3), width, height,
               SWP_NOACTIVATE);
  // Esc and the close box answer as the last button (Cancel, No), or OK.
  SetWindowLongPtr(box, GWLP_USERDATA, buttons.back().answer);
  CreateWindow(kStaticClass, "", WS_CHILD | WS_VISIBLE | SS_ICON, margin, margin, icon, icon, box, nullptr);
  SendMessage(GetWindow(box, GW_CHILD), STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(icon_of(r.icon))), 0);
  for (size_t i = 0; i < lines.size(); ++i)
    CreateWindow(kStaticClass, lines[i], WS_CHILD | WS_VISIBLE | SS_NOPREFIX, margin * 2 + icon,
                 margin + static_cast<int>(i) * line_h, text_w, line_h, box, nullptr);
  int x = (client_w - row_w) / 2, y = margin * 2 + text_h;
  HWND focus = nullptr;
  for (const BoxButton& b : buttons) {
    bool is_default = b.answer == r.default_answer;
    HWND button = CreateWindow(kButtonClass, b.text,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | (is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y,
                               button_w, button_h, box, reinterpret_cast<HMENU>(static_cast<intptr_t>(b.answer)));
    if (is_default || !focus) focus = button;
    x += button_w + gap;
  }
  std::vector<HWND> waiting = disable_others(box);
  ShowWindow(box, SW_SHOW);
  SetActiveWindow(box);
  SetFocus(focus);
  int outer_answer = std::exchange(t_answer, 0);
  MSG m;
  while (t_answer == 0 && IsWindow(box) && GetMessage(&m)) {
    if (m.message == WM_KEYDOWN && (m.hwnd == box || IsChild(box, m.hwnd))) {
      if (m.wParam == VK_RETURN) {
        SendMessage(GetFocus(), BM_CLICK, 0, 0);
        continue;
      }
      if (m.wParam == VK_ESCAPE) {
        SendMessage(box, WM_CLOSE, 0, 0);
        continue;
      }
    }
    TranslateMessage(m);
    DispatchMessage(m);
  }
  int answer = t_answer ? t_answer : r.default_answer;
  t_answer = outer_answer;
  for (HWND t : waiting)
    if (IsWindow(t)) EnableWindow(t, true);
  DestroyWindow(box);
  return answer;
}

}  // namespace

core::BoxAnswer show_box_window(const core::BoxRequest& r) {
  bool headless = display_kind() == DisplayKind::Headless;
  if (headless) {
    std::fprintf(stderr, "[%s] %s\n", r.caption.c_str(), r.text.c_str());
    std::fflush(stderr);
    if (!script_running()) return r.default_answer;  // nobody could answer it
  }
  return static_cast<core::BoxAnswer>(run_box(r));
}

void install_runtime_box_window() { core::set_runtime_box_handler(show_box_window); }

}  // namespace vrt::window
