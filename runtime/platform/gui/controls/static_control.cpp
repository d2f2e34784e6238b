// Static text and icons.
#include "runtime/platform/gui/controls/control_support.h"

namespace vrt::platform {

namespace {

struct StaticState {
  HICON icon = nullptr;
};

LRESULT static_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<StaticState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<StaticState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<StaticState>(hwnd); return 0;
    case WM_CREATE: {
      uint32_t style = static_cast<uint32_t>(GetWindowLongPtr(hwnd, GWL_STYLE));
      if ((style & 0x1F) == SS_ICON) s->icon = LoadIcon(reinterpret_cast<const CREATESTRUCT*>(lp)->lpszName);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r = GetClientRect(hwnd);
      uint32_t style = static_cast<uint32_t>(GetWindowLongPtr(hwnd, GWL_STYLE));
      HBRUSH back = control_colors(hwnd, dc, WM_CTLCOLORSTATIC,
                                   IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT, COLOR_BTNFACE);
      FillRect(dc, r, back);
      if ((style & 0x1F) == SS_ICON) {
        if (s->icon) DrawIcon(dc, 0, 0, s->icon, std::min(r.width(), r.height()));
      } else {
        SetBkMode(dc, TRANSPARENT);
        uint32_t align = (style & 0x1F) == SS_CENTER ? DT_CENTER : (style & 0x1F) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
        DrawText(dc, GetWindowText(hwnd), &r, align | DT_SINGLELINE | ((style & SS_NOPREFIX) ? uint32_t{DT_NOPREFIX} : 0u));
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case STM_SETICON: {
      HICON old = s->icon;
      s->icon = reinterpret_cast<HICON>(wp);
      InvalidateRect(hwnd, nullptr, true);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON: return reinterpret_cast<LRESULT>(s->icon);
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, true);
      return r;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC static_window_proc() { return static_proc; }

}  // namespace vrt::platform
