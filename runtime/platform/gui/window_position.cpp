// Where windows are: moving, sizing, the z-order, showing, hiding,
// maximising, minimising and restoring.
#include <algorithm>

#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

bool SetWindowPos(HWND hwnd, HWND insert_after, int32_t x, int32_t y, int32_t cx, int32_t cy, UINT flags) {
  WINDOWPOS pos{hwnd, insert_after, x, y, cx, cy, flags};
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    if (flags & SWP_NOMOVE) pos.x = w->rect.left, pos.y = w->rect.top;
    if (flags & SWP_NOSIZE) pos.cx = w->rect.width(), pos.cy = w->rect.height();
  }
  SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  bool moved, sized, top;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    RECT r{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    moved = r.left != w->rect.left || r.top != w->rect.top;
    sized = r.width() != w->rect.width() || r.height() != w->rect.height();
    w->rect = r;
    if (!(flags & SWP_NOZORDER)) {
      auto& list = sibling_list(*w);
      list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
      if (insert_after == HWND_BOTTOM) {
        list.push_back(hwnd);
      } else {
        auto at = std::find(list.begin(), list.end(), insert_after);
        list.insert(at == list.end() ? list.begin() : at + 1, hwnd);
      }
    }
    if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    top = !(w->style & WS_CHILD);
    w->frame_dirty = true;
  }
  if (top && (moved || sized || !(flags & SWP_NOZORDER))) display_top_level_changed(hwnd);
  dirty_top(hwnd);
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return true;
}

bool MoveWindow(HWND hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool ShowWindow(HWND hwnd, int command) {
  bool was_visible;
  bool child;
  RECT parent_client{};
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    was_visible = w->style & WS_VISIBLE;
    child = w->style & WS_CHILD;
    if (child) {
      Window* p = find_window(w->parent);
      RECT c = client_area(*p);
      parent_client = {0, 0, c.width(), c.height()};
    } else {
      parent_client = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
  }
  if (command == SW_HIDE) {
    if (!was_visible) return false;
    SendMessage(hwnd, WM_SHOWWINDOW, 0, 0);
    dirty_top(hwnd);
    {
      WindowLock lock = lock_windows();
      if (Window* w = find_window(hwnd)) w->style &= ~WS_VISIBLE;
    }
    window_hidden(hwnd);
    if (!child) display_top_level_changed(hwnd);
    return was_visible;
  }
  if (!was_visible) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
  // A window may narrow what maximising gives it.
  MINMAXINFO info{};
  info.ptMaxSize = {parent_client.width(), parent_client.height()};
  info.ptMaxPosition = {0, 0};
  info.ptMaxTrackSize = info.ptMaxSize;
  if (command == SW_SHOWMAXIMIZED) {
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    parent_client = {info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
                     info.ptMaxPosition.y + info.ptMaxSize.y};
  }
  RECT target{};
  WPARAM size_kind = SIZE_RESTORED;
  bool change = false;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    w->style |= WS_VISIBLE;
    switch (command) {
      case SW_SHOWMAXIMIZED:
        if (!w->maximized && !w->minimized) w->restore_rect = w->rect;
        w->maximized = true;
        w->minimized = false;
        w->style |= WS_MAXIMIZE;
        w->style &= ~WS_MINIMIZE;
        target = parent_client;
        size_kind = SIZE_MAXIMIZED;
        change = true;
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
        if (!w->maximized && !w->minimized) w->restore_rect = w->rect;
        w->minimized = true;
        w->maximized = false;
        w->style |= WS_MINIMIZE;
        w->style &= ~WS_MAXIMIZE;
        target = {w->rect.left, parent_client.bottom - GetSystemMetrics(SM_CYCAPTION) - 2,
                  w->rect.left + scaled(180), parent_client.bottom};
        size_kind = SIZE_MINIMIZED;
        change = true;
        break;
      case SW_RESTORE:
        if (w->maximized || w->minimized) {
          target = w->restore_rect;
          change = true;
        }
        w->maximized = w->minimized = false;
        w->style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
        break;
      default: break;
    }
  }
  if (change) SetWindowPos(hwnd, nullptr, target.left, target.top, target.width(), target.height(), SWP_NOZORDER);
  if (change) {
    RECT c = GetClientRect(hwnd);
    SendMessage(hwnd, WM_SIZE, size_kind, MAKELPARAM(c.right, c.bottom));
  }
  if (!child) display_top_level_changed(hwnd);
  dirty_top(hwnd);
  if (!was_visible && !child && command != SW_SHOWNOACTIVATE && command != SW_SHOWNA &&
      command != SW_MINIMIZE && command != SW_SHOWMINIMIZED)
    SetActiveWindow(hwnd);
  return was_visible;
}

}  // namespace vrt::platform
