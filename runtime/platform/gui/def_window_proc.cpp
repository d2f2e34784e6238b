// What a window does with a message its own procedure leaves to the system.
#include <utility>
#include <cstring>

#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/frame.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/tracking.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

LRESULT set_text(HWND hwnd, const char* text) {
  bool top;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return 0;
    w->text = text ? text : "";
    w->frame_dirty = true;
    top = !(w->style & WS_CHILD);
  }
  if (top) display_top_level_changed(hwnd);
  RedrawWindow(hwnd);
  return 1;
}

LRESULT get_text(HWND hwnd, WPARAM size, char* buffer) {
  if (!buffer || size == 0) return 0;
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return 0;
  size_t n = std::min(w->text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, w->text.data(), n);
  buffer[n] = 0;
  return static_cast<LRESULT>(n);
}

void erase_background(HWND hwnd, HDC dc) {
  HBRUSH brush;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return;
    brush = w->cls.hbrBackground;
  }
  if (brush) FillRect(dc, GetClientRect(hwnd), brush);
}

LRESULT system_command(HWND hwnd, WPARAM command, LPARAM lp) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_SHOWMAXIMIZED); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_MOVE:
      if (!IsZoomed(hwnd)) begin_tracking(hwnd, TrackMode::Move, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      break;
    case SC_SIZE:
      if (!IsZoomed(hwnd)) begin_tracking(hwnd, TrackMode::Size, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      break;
    default: break;
  }
  return 0;
}

// A click on the frame: the caption buttons and the caption itself become
// system commands, which the window's procedure may refuse.
LRESULT frame_click(HWND hwnd, WPARAM hit, LPARAM lp, bool double_click) {
  POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (hit) {
    case HTCLOSE: SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lp); break;
    case HTMAXBUTTON: SendMessage(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lp); break;
    case HTMINBUTTON: SendMessage(hwnd, WM_SYSCOMMAND, IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE, lp); break;
    case HTCAPTION:
      if (double_click && (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX))
        SendMessage(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) || IsIconic(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lp);
      else if (!double_click)
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE, lp);
      break;
    case HTBOTTOMRIGHT: SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE, lp); break;
    case HTMENU: track_menu_bar(hwnd, screen); break;
    case HTVSCROLL:
    case HTHSCROLL: scroll_bar_click(hwnd, hit == HTVSCROLL, screen); break;
    default: break;
  }
  return 0;
}

void position_changed(HWND hwnd, const WINDOWPOS* pos) {
  RECT c = GetClientRect(hwnd);
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
  WPARAM kind = IsZoomed(hwnd) ? SIZE_MAXIMIZED : IsIconic(hwnd) ? SIZE_MINIMIZED : SIZE_RESTORED;
  SendMessage(hwnd, WM_SIZE, kind, MAKELPARAM(c.right, c.bottom));
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: return 1;
    case WM_SETTEXT: return set_text(hwnd, reinterpret_cast<const char*>(lp));
    case WM_GETTEXT: return get_text(hwnd, wp, reinterpret_cast<char*>(lp));
    case WM_GETTEXTLENGTH: {
      WindowLock lock = lock_windows();
      Window* w = find_window(hwnd);
      return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_SETFONT: {
      {
        WindowLock lock = lock_windows();
        if (Window* w = find_window(hwnd)) w->font = reinterpret_cast<HFONT>(wp);
      }
      if (lp) InvalidateRect(hwnd, nullptr, true);
      return 0;
    }
    case WM_SETICON: {
      HICON old;
      {
        WindowLock lock = lock_windows();
        Window* w = find_window(hwnd);
        if (!w) return 0;
        old = std::exchange(w->icon, reinterpret_cast<HICON>(lp));
      }
      RedrawWindow(hwnd);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETFONT: {
      WindowLock lock = lock_windows();
      Window* w = find_window(hwnd);
      return w ? reinterpret_cast<LRESULT>(w->font) : 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: erase_background(hwnd, reinterpret_cast<HDC>(wp)); return 1;
    case WM_NCPAINT: {
      // A document window looks active only while its frame is active too.
      bool active = frame_active(hwnd);
      if (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD) active = active && GetActiveWindow() == GetTopLevel(hwnd);
      draw_frame(hwnd, active);
      return 0;
    }
    case WM_NCACTIVATE:
      set_frame_active(hwnd, wp != 0);
      draw_frame(hwnd, wp != 0);
      return 1;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !IsIconic(hwnd)) {
        HWND focus = GetFocus();
        if (!focus || GetTopLevel(focus) != hwnd) SetFocus(hwnd);
      }
      return 0;
    case WM_NCHITTEST: return frame_hit_test(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCLBUTTONDOWN: return frame_click(hwnd, wp, lp, false);
    case WM_NCLBUTTONDBLCLK: return frame_click(hwnd, wp, lp, true);
    case WM_SYSCOMMAND: return system_command(hwnd, wp, lp);
    case WM_SETCURSOR: {
      LRESULT hit = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp)));
      HCURSOR cursor = nullptr;
      if (hit == HTBOTTOMRIGHT) {
        cursor = LoadCursor(IDC_SIZENWSE);
      } else if (hit == HTCLIENT) {
        WindowLock lock = lock_windows();
        if (Window* w = find_window(hwnd)) cursor = w->cursor;
      }
      SetCursor(cursor ? cursor : LoadCursor(IDC_ARROW));
      return 1;
    }
    case WM_MOUSEACTIVATE:
      // Parents hear first, so that a click on a control activates the
      // document window around it.
      if (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD) return SendMessage(GetParent(hwnd), msg, wp, lp);
      return 1;  // MA_ACTIVATE
    case WM_GETMINMAXINFO: return 0;
    case WM_WINDOWPOSCHANGED: position_changed(hwnd, reinterpret_cast<const WINDOWPOS*>(lp)); return 0;
    case WM_QUERYENDSESSION: return 1;
    case WM_SYSKEYDOWN:
      if (wp == VK_F10 || wp == VK_MENU) return 0;
      if (wp == VK_F4 && GetKeyState(VK_MENU)) {
        SendMessage(GetTopLevel(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
      }
      return 0;
    case WM_SYSCHAR: return menu_accelerator(hwnd, static_cast<char>(wp)) ? 0 : 0;
    case WM_MOUSEWHEEL:
      // A window that does not scroll passes the wheel to its parent.
      if (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD) return SendMessage(GetParent(hwnd), msg, wp, lp);
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    default: return 0;
  }
}

}  // namespace vrt::platform
