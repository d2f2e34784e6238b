#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/os/mutex.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/tracking.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

std::atomic<HWND> g_focus{nullptr}, g_active{nullptr}, g_capture{nullptr};
std::atomic<HCURSOR> g_app_cursor{nullptr}, g_cursor{nullptr};
std::atomic<HWND> g_hover{nullptr};  // the window the mouse moved over last
// Guards the key state, the cursor position, the last click and the
// tracking below: input comes from the display's thread, the automation's
// and the windows' own. Never held while a message is sent.
Mutex g_input_mutex;
bool g_keys[256] VRT_GUARDED_BY(g_input_mutex) = {};
POINT g_cursor_pos VRT_GUARDED_BY(g_input_mutex);

struct LastClick {
  HWND hwnd = nullptr;
  int button = -1;
  uint32_t time = 0;
  POINT where;
  bool nc = false;
} g_last_click VRT_GUARDED_BY(g_input_mutex);

struct Tracking {
  HWND hwnd = nullptr;
  TrackMode mode = TrackMode::Move;
  POINT start;
  RECT start_rect;
} g_tracking VRT_GUARDED_BY(g_input_mutex);

WPARAM key_flags() {
  MutexLock lock(g_input_mutex);
  WPARAM f = 0;
  if (g_keys[1]) f |= MK_LBUTTON;
  if (g_keys[2]) f |= MK_RBUTTON;
  if (g_keys[4]) f |= MK_MBUTTON;
  if (g_keys[VK_SHIFT]) f |= MK_SHIFT;
  if (g_keys[VK_CONTROL]) f |= MK_CONTROL;
  return f;
}

HWND top_of(HWND hwnd) { return hwnd ? GetTopLevel(hwnd) : nullptr; }

POINT to_screen(HWND top, POINT p) {
  RECT r = GetWindowRect(top);
  return {p.x + r.left, p.y + r.top};
}

MSG input_msg(UINT message, WPARAM wp, LPARAM lp, POINT screen) {
  MSG m;
  m.message = message;
  m.wParam = wp;
  m.lParam = stamp_modifiers(lp);
  m.pt = screen;
  m.time = GetTickCount();
  return m;
}

// A window takes mouse input only when it and every parent are enabled.
bool enabled_path(HWND hwnd) {
  for (HWND h = hwnd; h; h = (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
    if (!IsWindowEnabled(h)) return false;
  return true;
}

// The enabled, visible window a disabled owner waits for, if any.
void bring_modal_forward(HWND owner) {
  if (!owner || IsWindowEnabled(owner)) return;
  for (HWND t : GetTopLevelWindows())
    if (t != owner && GetWindow(t, GW_OWNER) == owner && IsWindowVisible(t) && IsWindowEnabled(t)) {
      SetActiveWindow(t);
      return;
    }
}

}  // namespace

HWND GetFocus() { return g_focus; }
HWND GetActiveWindow() { return g_active; }
HWND GetCapture() { return g_capture; }

HWND SetActiveWindow(HWND hwnd) {
  hwnd = top_of(hwnd);
  HWND old = g_active;
  if (hwnd == old) return old;
  if (hwnd && !IsWindowEnabled(hwnd)) return old;
  g_active = hwnd;
  if (old && IsWindow(old)) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  }
  if (hwnd) {
    {
      WindowLock lock = lock_windows();
      auto& order = top_level_order();
      order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
      order.insert(order.begin(), hwnd);
    }
    display_top_level_changed(hwnd);
    SendMessage(hwnd, WM_NCACTIVATE, 1, 0);
    SendMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  }
  // Document windows inside both show the change in their captions.
  if (old && IsWindow(old)) invalidate_tree(old);
  if (hwnd) invalidate_tree(hwnd);
  return old;
}

HWND SetFocus(HWND hwnd) {
  HWND old = g_focus;
  if (hwnd == old) return old;
  if (hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    HWND top = top_of(hwnd);
    // Menus and tool tips take keys without taking the activation.
    if (top != g_active && !(GetWindowLongPtr(top, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) SetActiveWindow(top);
    if (g_focus == hwnd) return old;  // activation already gave it the focus
  }
  old = g_focus;
  g_focus = hwnd;
  if (old && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && g_focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  if (hwnd && g_focus == hwnd) mdi_focus_moved(hwnd);
  return old;
}

HWND SetCapture(HWND hwnd) {
  HWND old = g_capture.exchange(hwnd);
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

bool ReleaseCapture() {
  HWND old = g_capture.exchange(nullptr);
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HCURSOR LoadCursor(int which) { return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(which)); }

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_cursor.exchange(cursor);
  if (DisplayBackend* b = display_backend()) b->set_cursor(g_active, current_cursor());
  return old;
}

void set_application_cursor(HCURSOR cursor) {
  g_app_cursor = cursor;
  if (DisplayBackend* b = display_backend()) b->set_cursor(g_active, current_cursor());
}

HCURSOR current_cursor() {
  HCURSOR app = g_app_cursor;
  if (app) return app;
  HCURSOR c = g_cursor;
  return c ? c : LoadCursor(IDC_ARROW);
}

namespace {
// The modifiers as the message being handled saw them (bit 0 Shift, 1 Ctrl,
// 2 Alt; bit 7 set when known).
thread_local uint8_t t_modifiers = 0;
}  // namespace

LPARAM stamp_modifiers(LPARAM lp) {
  MutexLock lock(g_input_mutex);
  uint8_t m = 0x80 | (g_keys[VK_SHIFT] ? 1 : 0) | (g_keys[VK_CONTROL] ? 2 : 0) | (g_keys[VK_MENU] ? 4 : 0);
  return lp | (static_cast<LPARAM>(m) << kModifierShift);
}

void take_message_modifiers(LPARAM lp) {
  uint8_t m = static_cast<uint8_t>((static_cast<uintptr_t>(lp) >> kModifierShift) & 0xFF);
  if (m & 0x80) t_modifiers = m;
}

bool GetKeyState(UINT vk) {
  if (t_modifiers & 0x80) {
    if (vk == VK_SHIFT) return t_modifiers & 1;
    if (vk == VK_CONTROL) return t_modifiers & 2;
    if (vk == VK_MENU) return t_modifiers & 4;
  }
  MutexLock lock(g_input_mutex);
  return vk < 256 && g_keys[vk];
}

POINT GetCursorPos() {
  MutexLock lock(g_input_mutex);
  return g_cursor_pos;
}

HWND window_at(HWND top, POINT p) {
  WindowLock lock = lock_windows();
  Window* w = find_window(top);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  for (;;) {
    POINT origin = client_origin_in_top(*w);
    RECT client = client_area(*w);
    RECT cr{origin.x, origin.y, origin.x + client.width(), origin.y + client.height()};
    if (!cr.contains(p)) return w->handle;
    Window* hit = nullptr;
    for (HWND child : w->children) {
      Window* c = find_window(child);
      if (c && (c->style & WS_VISIBLE) && window_rect_in_top(*c).contains(p)) {
        hit = c;
        break;
      }
    }
    if (!hit) return w->handle;
    w = hit;
  }
}

void begin_tracking(HWND hwnd, TrackMode mode, POINT screen_point) {
  RECT start;
  {
    WindowLock lock = lock_windows();
    if (Window* w = find_window(hwnd)) start = w->rect;
  }
  MutexLock lock(g_input_mutex);
  g_tracking = {hwnd, mode, screen_point, start};
}

bool tracking_mouse_move(POINT p) {
  Tracking t;
  {
    MutexLock lock(g_input_mutex);
    t = g_tracking;
  }
  if (!t.hwnd) return false;
  if (!IsWindow(t.hwnd)) {
    MutexLock lock(g_input_mutex);
    if (g_tracking.hwnd == t.hwnd) g_tracking.hwnd = nullptr;
    return false;
  }
  int dx = p.x - t.start.x, dy = p.y - t.start.y;
  RECT r = t.start_rect;
  if (t.mode == TrackMode::Move) {
    r = offset(r, dx, dy);
    SendMessage(t.hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
  } else {
    r.right = std::max(r.left + scaled(120), r.right + dx);
    r.bottom = std::max(r.top + scaled(60), r.bottom + dy);
    SendMessage(t.hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
  }
  SetWindowPos(t.hwnd, nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool tracking_button_up() {
  MutexLock lock(g_input_mutex);
  return std::exchange(g_tracking.hwnd, nullptr) != nullptr;
}

void inject_mouse_move(HWND top, POINT p) {
  POINT screen = to_screen(top, p);
  {
    MutexLock lock(g_input_mutex);
    g_cursor_pos = screen;
  }
  if (tracking_mouse_move(screen)) return;
  HWND target = g_capture;
  if (!target) target = window_at(top, p);
  if (!target) return;
  LRESULT hit = g_capture ? HTCLIENT : SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  if (!g_capture) SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, WM_MOUSEMOVE));
  HWND left = g_hover.exchange(hit == HTCLIENT ? target : nullptr);
  if (left && left != g_hover && IsWindow(left)) post_input(left, input_msg(WM_MOUSELEAVE, 0, 0, screen));
  if (hit != HTCLIENT) return;
  POINT c = ScreenToClient(target, screen);
  post_input(target, input_msg(WM_MOUSEMOVE, key_flags(), MAKELPARAM(c.x, c.y), screen));
}

void inject_mouse_button(HWND top, POINT p, int button, bool down) {
  static const UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  if (button < 0 || button > 2) return;
  POINT screen = to_screen(top, p);
  {
    MutexLock lock(g_input_mutex);
    g_keys[button == 0 ? 1 : button == 1 ? 2 : 4] = down;
    g_cursor_pos = screen;
  }
  if (!down && tracking_button_up()) return;
  HWND target = g_capture;
  if (!target) target = window_at(top, p);
  if (!target) return;
  if (!g_capture) {
    // Input to a disabled window goes nowhere; a click on a window that a
    // modal window disabled brings that modal window forward instead.
    if (!enabled_path(target)) {
      if (down) bring_modal_forward(top_of(target));
      return;
    }
    if (down && top_of(target) != g_active) SetActiveWindow(top_of(target));
    if (down) SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top_of(target)), 0);
  }
  LRESULT hit = g_capture ? HTCLIENT : SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  UINT msg = kDown[button] + (down ? 0 : 1);
  bool nc = hit != HTCLIENT;
  if (down) {
    WNDCLASS cls;
    bool dblclks = GetClassInfo(GetClassName(target), &cls) && (cls.style & CS_DBLCLKS);
    uint32_t now = GetTickCount();
    MutexLock lock(g_input_mutex);
    bool same = g_last_click.hwnd == target && g_last_click.button == button && g_last_click.nc == nc &&
                now - g_last_click.time <= GetDoubleClickTime() &&
                std::abs(screen.x - g_last_click.where.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                std::abs(screen.y - g_last_click.where.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    if (same && (dblclks || nc)) {
      msg = kDown[button] + 2;
      g_last_click = {};
    } else {
      g_last_click = {target, button, now, screen, nc};
    }
  }
  if (nc) {
    if (button != 0) return;
    UINT ncmsg = msg == WM_LBUTTONDOWN ? WM_NCLBUTTONDOWN : msg == WM_LBUTTONDBLCLK ? WM_NCLBUTTONDBLCLK : UINT{0};
    if (ncmsg) post_input(target, input_msg(ncmsg, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y), screen));
    return;
  }
  POINT c = ScreenToClient(target, screen);
  post_input(target, input_msg(msg, key_flags(), MAKELPARAM(c.x, c.y), screen));
}

void inject_mouse_wheel(HWND top, POINT p, int delta) {
  POINT screen = to_screen(top, p);
  HWND target = g_focus;
  if (!target || top_of(target) != top) target = window_at(top, p);
  if (!target) return;
  post_input(target, input_msg(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<uint32_t>(key_flags()), static_cast<uint32_t>(delta)),
                               MAKELPARAM(screen.x, screen.y), screen));
}

void inject_key(UINT vk, bool down, char ch) {
  bool alt;
  {
    MutexLock lock(g_input_mutex);
    if (vk < 256) g_keys[vk] = down;
    alt = g_keys[VK_MENU];
  }
  if (vk == VK_MENU && access_underlines_shown() != down) {
    show_access_underlines(down);
    for (HWND top : GetTopLevelWindows()) invalidate_tree(top);
  }
  HWND target = g_focus;
  if (!target) target = g_active;
  if (!target) return;
  UINT msg = alt || vk == VK_MENU || vk == VK_F10 ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  // The character the key produces rides in lParam's bits 32-39, for
  // TranslateMessage.
  LPARAM lp = 1 | (static_cast<LPARAM>(static_cast<uint8_t>(ch)) << 32);
  if (!down) lp |= LPARAM{1} << 31;
  post_input(target, input_msg(msg, vk, lp, GetCursorPos()));
}

void window_going_away(HWND hwnd) {
  auto inside = [&](HWND h) { return h && (h == hwnd || IsChild(hwnd, h)); };
  if (inside(g_capture)) g_capture = nullptr;
  HWND tracked;
  {
    MutexLock lock(g_input_mutex);
    tracked = g_tracking.hwnd;
  }
  if (inside(tracked)) {
    MutexLock lock(g_input_mutex);
    if (g_tracking.hwnd == tracked) g_tracking.hwnd = nullptr;
  }
  if (inside(g_focus)) {
    HWND parent = GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD ? GetParent(hwnd) : nullptr;
    g_focus = nullptr;
    if (parent) SetFocus(parent);
  }
  if (g_active == hwnd) {
    g_active = nullptr;
    // The owner, or the next top-level window, becomes active.
    HWND next = GetWindow(hwnd, GW_OWNER);
    if (!next)
      for (HWND t : GetTopLevelWindows())
        if (t != hwnd && IsWindowVisible(t) && IsWindowEnabled(t)) {
          next = t;
          break;
        }
    if (next && IsWindowEnabled(next)) SetActiveWindow(next);
  }
}

void window_disabled(HWND hwnd) {
  if (g_focus && (g_focus == hwnd || IsChild(hwnd, g_focus))) g_focus = nullptr;
}

void window_hidden(HWND hwnd) {
  if (g_focus && (g_focus == hwnd || IsChild(hwnd, g_focus))) {
    HWND old = g_focus.exchange(nullptr);
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (g_active == hwnd) window_going_away(hwnd);
}

}  // namespace vrt::platform
