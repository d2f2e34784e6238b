#include "runtime/window/message_box.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <mutex>
#include <utility>

#include "runtime/core/base/message_text.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu_items.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/other_windows_wait.h"
#include "runtime/window/script_runner.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kBoxClass = "ZorMessageBox";
constexpr int kTextLineId = 0x7FF0;  // every line of the text
constexpr size_t kMostCaptions = 8;

struct Standard {
  const char* text;
  int platform_result;
};
// In bit order: bit 1 << k is kStandard[k].
constexpr Standard kStandard[] = {{"OK", 1},     {"&Yes", 6},    {"&No", 7},     {"&Abort", 3},
                                  {"&Retry", 4}, {"&Ignore", 5}, {"Cancel", 2},  {"&Help", 0}};
constexpr size_t kStandardCount = std::size(kStandard);
constexpr int kCancelResult = 2;
// "&Help" has no number of its own on the platform: the next free one.
constexpr int kHelpResult = 8;

std::mutex g_handler_mutex;
MessageHandler g_handler;

// The text a standard button shows: the environment's override, if any.
std::string standard_text(size_t k) {
  if (const std::string* o = core::find_message_override(core::kMessageFirstButton + static_cast<int>(k)))
    return *o;
  return kStandard[k].text;
}

int standard_result(size_t k) { return k == 7 ? kHelpResult : kStandard[k].platform_result; }

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == at) out.emplace_back();
    else if (c != '\r' && c != '\n') out.back() += c;
  }
  return out;
}

// The box being shown on this thread: the platform result of the button
// pressed, 0 while none.
thread_local int t_pressed = 0;

LRESULT box_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_COMMAND:
      if (lp) t_pressed = static_cast<int>(LOWORD(wp));
      return 0;
    case WM_CLOSE:
      // The close box answers as Esc does; a box without a way out stays.
      if (int cancel = static_cast<int>(GetWindowLongPtr(h, GWLP_USERDATA))) t_pressed = cancel;
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

// The button Esc presses: Cancel, or the only button; 0 for none.
int escape_result(const std::vector<MessageButton>& buttons) {
  for (const MessageButton& b : buttons)
    if (b.platform_result == kCancelResult) return b.platform_result;
  return buttons.size() == 1 ? buttons.front().platform_result : 0;
}

class Box {
 public:
  Box(const MessageRequest& r, std::vector<MessageButton> buttons) : request_(r), buttons_(std::move(buttons)) {}

  // The platform result of the button pressed.
  int run() {
    register_box_class();
    HICON icon = request_.icon.empty() ? nullptr : load_icon_code(request_.icon);
    std::vector<std::string> lines = split(request_.text, '|');
    uint32_t ex = WS_EX_DLGMODALFRAME | (request_.system_modal ? uint32_t{WS_EX_TOPMOST} : 0u);
    box_ = CreateWindowEx(ex, kBoxClass, request_.caption, WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                          scaled(300), scaled(120), nullptr, nullptr);
    if (!box_) return focus_result();
    SetWindowLongPtr(box_, GWLP_USERDATA, escape_result(buttons_));

    const int line_h = scaled(16), button_h = scaled(26), gap = scaled(10), margin = scaled(14);
    const int icon_size = icon ? scaled(32) : 0;
    HDC dc = GetDC(box_);
    int text_w = scaled(120);
    for (const std::string& l : lines) text_w = std::max(text_w, GetTextExtentPoint32(dc, l).cx + scaled(4));
    std::vector<int> widths;
    for (const MessageButton& b : buttons_)
      widths.push_back(std::max(scaled(80), GetTextExtentPoint32(dc, plain(b.text)).cx + scaled(24)));
    ReleaseDC(box_, dc);
    text_w = std::min(text_w, GetSystemMetrics(SM_CXSCREEN) * 3 / 4);
    int text_h = std::max(icon_size, static_cast<int>(lines.size()) * line_h);
    int row_w = -gap;
    for (int w : widths) row_w += w + gap;
    int client_w = std::max(margin * 2 + (icon ? icon_size + margin : 0) + text_w, margin * 2 + row_w);
    int client_h = margin * 3 + text_h + button_h;

    place(client_w, client_h);
    if (icon) {
      HWND s = CreateWindow(kStaticClass, "", WS_CHILD | WS_VISIBLE | SS_ICON, margin, margin, icon_size, icon_size,
                            box_, nullptr);
      SendMessage(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    int text_x = margin + (icon ? icon_size + margin : 0);
    int text_y = margin + (text_h - static_cast<int>(lines.size()) * line_h) / 2;
    for (size_t i = 0; i < lines.size(); ++i)
      CreateWindow(kStaticClass, lines[i], WS_CHILD | WS_VISIBLE | SS_NOPREFIX, text_x,
                   text_y + static_cast<int>(i) * line_h, text_w, line_h, box_,
                   reinterpret_cast<HMENU>(static_cast<intptr_t>(kTextLineId)));
    int x = (client_w - row_w) / 2, y = margin * 2 + text_h;
    for (size_t i = 0; i < buttons_.size(); ++i) {
      bool first_focus = static_cast<int>(i) == focus_;
      HWND b = CreateWindow(kButtonClass, buttons_[i].text,
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (first_focus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y,
                            widths[i], button_h, box_,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(buttons_[i].platform_result)));
      handles_.push_back(b);
      x += widths[i] + gap;
    }
    int pressed = wait_for_user();
    DestroyWindow(box_);
    return pressed;
  }

  void set_focus_index(int i) { focus_ = std::clamp(i, 0, std::max(0, static_cast<int>(buttons_.size()) - 1)); }

 private:
  // Shows the box and runs its loop until a button is pressed; the result.
  int wait_for_user() {
    OtherWindowsWait others(box_);
    ShowWindow(box_, SW_SHOW);
    SetActiveWindow(box_);
    if (!handles_.empty()) SetFocus(handles_[static_cast<size_t>(focus_)]);
    int outer = std::exchange(t_pressed, 0);
    // Other procedures run while the box waits for its user, as they do
    // while a procedure waits for its next event.
    int levels = release_runtime_lock_fully();
    MSG m;
    while (t_pressed == 0 && IsWindow(box_) && GetMessage(&m)) {
      if ((m.hwnd == box_ || IsChild(box_, m.hwnd)) && key(m)) continue;
      TranslateMessage(m);
      DispatchMessage(m);
    }
    retake_runtime_lock(levels);
    int pressed = t_pressed ? t_pressed : focus_result();
    t_pressed = outer;
    return pressed;
  }

  static std::string plain(const std::string& s) {
    std::string out;
    for (char c : s)
      if (c != '&') out += c;
    return out;
  }

  int focus_result() const { return buttons_.empty() ? 0 : buttons_[static_cast<size_t>(focus_)].platform_result; }

  // Centred across the screen, a third of the way down.
  void place(int client_w, int client_h) {
    RECT outer = GetWindowRect(box_), inner = GetClientRect(box_);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int width = client_w + outer.width() - inner.right, height = client_h + outer.height() - inner.bottom;
    SetWindowPos(box_, HWND_TOP, std::max(0, (sw - width) / 2), std::max(0, (sh - height) / 3), width, height,
                 SWP_NOACTIVATE);
  }

  int focused_index() const {
    HWND f = GetFocus();
    for (size_t i = 0; i < handles_.size(); ++i)
      if (handles_[i] == f) return static_cast<int>(i);
    return focus_;
  }

  void press(int index) { SendMessage(handles_[static_cast<size_t>(index)], BM_CLICK, 0, 0); }

  // The box's own keys; true when taken.
  bool key(const MSG& m) {
    if (handles_.empty()) return false;
    int n = static_cast<int>(handles_.size());
    if (m.message == WM_KEYDOWN) {
      switch (m.wParam) {
        case VK_RETURN: press(focused_index()); return true;
        case VK_ESCAPE: SendMessage(box_, WM_CLOSE, 0, 0); return true;
        case VK_TAB:
        case VK_RIGHT:
        case VK_LEFT: {
          bool back = m.wParam == VK_LEFT || (m.wParam == VK_TAB && GetKeyState(VK_SHIFT));
          SetFocus(handles_[static_cast<size_t>((focused_index() + (back ? n - 1 : 1)) % n)]);
          return true;
        }
        default: return false;
      }
    }
    if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
      char letter = static_cast<char>(std::toupper(static_cast<int>(m.wParam & 0xFF)));
      for (int i = 0; i < n; ++i)
        if (letter != 0 && access_letter(buttons_[static_cast<size_t>(i)].text) == letter) {
          press(i);
          return true;
        }
      return m.message == WM_SYSCHAR;
    }
    return false;
  }

  const MessageRequest& request_;
  std::vector<MessageButton> buttons_;
  std::vector<HWND> handles_;
  HWND box_ = nullptr;
  int focus_ = 0;
};

// The index of the button that has the focus first.
int default_index(const MessageRequest& r, const std::vector<MessageButton>& buttons) {
  for (size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i].returns == r.default_button) return static_cast<int>(i);
  return 0;
}

int show_box(const MessageRequest& r) {
  std::vector<MessageButton> buttons = message_buttons(r);
  int focus = default_index(r, buttons);
  bool headless = display_kind() == DisplayKind::Headless;
  if (headless) {
    std::string lines = r.text;
    std::replace(lines.begin(), lines.end(), '|', '\n');
    std::fprintf(stderr, "[%s] %s\n", r.caption.c_str(), lines.c_str());
    std::fflush(stderr);
    if (!script_running()) return buttons.empty() ? 0 : buttons[static_cast<size_t>(focus)].returns;
  }
  Box box(r, buttons);
  box.set_focus_index(focus);
  int pressed = box.run();
  for (const MessageButton& b : buttons)
    if (b.platform_result == pressed) return b.returns;
  return 0;
}

}  // namespace

std::vector<MessageButton> message_buttons(const MessageRequest& r) {
  std::vector<MessageButton> out;
  if (r.button_captions.empty()) {
    for (size_t k = 0; k < kStandardCount; ++k)
      if (r.button_mask & (1u << k)) out.push_back({standard_text(k), standard_result(k), 1 << k});
    if (out.empty()) out.push_back({standard_text(0), standard_result(0), kButtonOk});
    return out;
  }
  // A caption equal to a standard text stands for that button; the others
  // take numbers after the standard ones, in order.
  int next_result = kHelpResult + 1;
  std::vector<std::string> captions = split(r.button_captions, '|');
  if (captions.size() > kMostCaptions) captions.resize(kMostCaptions);
  for (size_t i = 0; i < captions.size(); ++i) {
    int result = 0;
    for (size_t k = 0; k < kStandardCount && !result; ++k)
      if (captions[i] == kStandard[k].text || captions[i] == standard_text(k)) result = standard_result(k);
    for (const MessageButton& b : out)
      if (b.platform_result == result) result = 0;  // the same standard caption twice
    out.push_back({captions[i], result ? result : next_result++, static_cast<int>(i) + 1});
  }
  return out;
}

int Message(const MessageRequest& request) {
  MessageHandler handler;
  {
    std::lock_guard lock(g_handler_mutex);
    handler = g_handler;
  }
  if (handler) return handler(request);
  return show_box(request);
}

int Message(const std::string& text, const std::string& caption, const std::string& icon, uint32_t buttons,
            int default_button, bool system_modal) {
  return Message(MessageRequest{text, caption, icon, buttons, "", default_button, system_modal});
}

void set_message_handler(MessageHandler handler) {
  std::lock_guard lock(g_handler_mutex);
  g_handler = std::move(handler);
}

bool is_message_box(HWND hwnd) { return hwnd && GetClassName(hwnd) == kBoxClass; }

std::string message_box_text(HWND hwnd) {
  // The lines top to bottom (children come front first).
  std::vector<HWND> lines;
  for (HWND c : GetChildren(hwnd))
    if (GetDlgCtrlID(c) == kTextLineId) lines.push_back(c);
  std::sort(lines.begin(), lines.end(), [](HWND a, HWND b) { return GetWindowRect(a).top < GetWindowRect(b).top; });
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "|" : "") + GetWindowText(lines[i]);
  return out;
}

int show_message_box(const MessageRequest& request) { return show_box(request); }

}  // namespace vrt::window
