#include "runtime/platform/display/automation.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::platform::automation {

namespace {

using Clock = std::chrono::steady_clock;

// Handles this thread's own messages, as a waiting program would.
void pump_own() {
  MSG m;
  while (PeekMessage(&m, nullptr, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(m);
    DispatchMessage(m);
  }
}

// The middle of a window in its top-level window's image.
bool center_in_top(HWND hwnd, HWND* top, POINT* p) {
  *top = GetTopLevel(hwnd);
  if (!*top) return false;
  RECT w = GetWindowRect(hwnd), t = GetWindowRect(*top);
  *p = {(w.left + w.right) / 2 - t.left, (w.top + w.bottom) / 2 - t.top};
  return true;
}

struct Key {
  const char* name;
  UINT vk;
};
constexpr Key kKeys[] = {{"Enter", VK_RETURN}, {"Tab", VK_TAB},     {"Esc", VK_ESCAPE}, {"Up", VK_UP},
                         {"Down", VK_DOWN},    {"Left", VK_LEFT},   {"Right", VK_RIGHT}, {"Home", VK_HOME},
                         {"End", VK_END},      {"Del", VK_DELETE},  {"Back", VK_BACK},  {"PgUp", VK_PRIOR},
                         {"PgDn", VK_NEXT},    {"Space", VK_SPACE}, {"Ins", VK_INSERT}};

UINT vk_of(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<UINT>(c - 32);
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<UINT>(c);
  if (c == ' ') return VK_SPACE;
  if (c == '\'' || c == '"') return VK_OEM_7;
  return 0xBA;  // a sign key; the character carries the meaning
}

void press(UINT vk, char ch) {
  inject_key(vk, true, ch);
  inject_key(vk, false, 0);
}

// "{Name}" or "{Mod+x}": the key, with modifiers held.
void named_key(const std::string& name) {
  size_t plus = name.find('+');
  if (plus != std::string::npos) {
    std::string mod = name.substr(0, plus), rest = name.substr(plus + 1);
    UINT vk = mod == "Alt" ? VK_MENU : mod == "Ctrl" ? VK_CONTROL : VK_SHIFT;
    inject_key(vk, true);
    if (rest.size() == 1) {
      char c = rest[0];
      char produced = mod == "Ctrl" && std::isalpha(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(c) - 'A' + 1)
                      : mod == "Shift" ? static_cast<char>(std::toupper(c))
                                       : c;
      press(vk_of(c), produced);
    } else {
      named_key(rest);
    }
    inject_key(vk, false);
    return;
  }
  for (const Key& k : kKeys)
    if (name == k.name) {
      char ch = k.vk == VK_RETURN ? '\r' : k.vk == VK_TAB ? '\t' : k.vk == VK_ESCAPE ? 27 : k.vk == VK_BACK ? '\b'
              : k.vk == VK_SPACE ? ' ' : 0;
      press(k.vk, ch);
      return;
    }
  if (name.size() >= 2 && name[0] == 'F') press(VK_F1 + static_cast<UINT>(std::atoi(name.c_str() + 1) - 1), 0);
}

}  // namespace

bool wait_until(const std::function<bool()>& condition, int timeout_ms) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pump_own();
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    // Waiting in the queue, so that other threads see this one as idle.
    WaitMessage(2);
  }
}

bool settle(int timeout_ms) {
  // Twice in a row, so that work one thread hands another is seen too.
  int calm = 0;
  return wait_until([&] { return other_queues_idle() ? ++calm >= 2 : (calm = 0, false); }, timeout_ms);
}

HWND find_window(const std::string& title, int timeout_ms, bool prefix) {
  HWND found = nullptr;
  wait_until(
      [&] {
        for (HWND h : GetTopLevelWindows()) {
          if (!IsWindowVisible(h)) continue;
          std::string t = GetWindowText(h);
          if (t == title || (prefix && t.rfind(title, 0) == 0)) {
            found = h;
            return true;
          }
        }
        return false;
      },
      timeout_ms);
  return found;
}

HWND find_child(HWND parent, const std::string& text) {
  for (HWND c : GetChildren(parent)) {
    std::string t = GetWindowText(c);
    std::string plain;
    for (char ch : t)
      if (ch != '&') plain += ch;
    if (t == text || plain == text) return c;
    if (HWND deeper = find_child(c, text)) return deeper;
  }
  return nullptr;
}

HWND find_child(HWND parent, int id) { return GetDlgItem(parent, id); }

bool click_at(HWND top, POINT p, int button) {
  settle();
  inject_mouse_move(top, p);
  inject_mouse_button(top, p, button, true);
  inject_mouse_button(top, p, button, false);
  return settle();
}

bool press_at(HWND top, POINT p, int button) {
  settle();
  inject_mouse_move(top, p);
  inject_mouse_button(top, p, button, true);
  return settle();
}

bool move_to(HWND top, POINT p) {
  inject_mouse_move(top, p);
  return settle();
}

bool release_at(HWND top, POINT p, int button) {
  inject_mouse_move(top, p);
  inject_mouse_button(top, p, button, false);
  return settle();
}

POINT point_in_top(HWND hwnd, POINT client) {
  HWND top = GetTopLevel(hwnd);
  POINT origin = ClientToScreen(hwnd, {0, 0});
  RECT t = GetWindowRect(top);
  return {origin.x + client.x - t.left, origin.y + client.y - t.top};
}

bool click(HWND hwnd, int button) {
  HWND top;
  POINT p;
  if (!center_in_top(hwnd, &top, &p)) return false;
  return click_at(top, p, button);
}

bool double_click(HWND hwnd) {
  HWND top;
  POINT p;
  if (!center_in_top(hwnd, &top, &p)) return false;
  settle();
  for (int i = 0; i < 2; ++i) {
    inject_mouse_button(top, p, 0, true);
    inject_mouse_button(top, p, 0, false);
  }
  return settle();
}

void type(const std::string& keys) {
  settle();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == '{') {
      size_t close = keys.find('}', i);
      if (close != std::string::npos && close > i + 1) {
        named_key(keys.substr(i + 1, close - i - 1));
        i = close;
        settle();
        continue;
      }
    }
    char c = keys[i];
    bool shift = std::isupper(static_cast<unsigned char>(c));
    if (shift) inject_key(VK_SHIFT, true);
    press(vk_of(c), c);
    if (shift) inject_key(VK_SHIFT, false);
  }
  settle();
}

std::string read_text(HWND hwnd) { return GetWindowText(hwnd); }

bool screenshot(HWND top, const std::string& path) {
  settle();
  return write_screenshot(top, path);
}

}  // namespace vrt::platform::automation
