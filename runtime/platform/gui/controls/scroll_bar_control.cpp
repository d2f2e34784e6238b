// The scroll bar control: a bar of its own that reports clicks to its
// parent as WM_VSCROLL or WM_HSCROLL with its handle.
#include "runtime/platform/gui/controls/control_support.h"
#include "runtime/platform/gui/scroll_bar.h"

namespace vrt::platform {

namespace {

constexpr uint32_t SBS_VERT = 1;

LRESULT scroll_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  bool vertical = GetWindowLongPtr(hwnd, GWL_STYLE) & SBS_VERT;
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      SCROLLINFO si;
      GetScrollInfo(hwnd, SB_CTL, &si);
      draw_scroll_bar(dc, GetClientRect(hwnd), vertical, si.nMin, si.nMax, static_cast<int32_t>(si.nPage), si.nPos,
                      IsWindowEnabled(hwnd));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      SCROLLINFO si;
      GetScrollInfo(hwnd, SB_CTL, &si);
      RECT r = GetClientRect(hwnd);
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      WPARAM part = scroll_bar_part(r, vertical, si.nMin, si.nMax, static_cast<int32_t>(si.nPage), si.nPos, p);
      UINT note = vertical ? WM_VSCROLL : WM_HSCROLL;
      HWND parent = GetParent(hwnd);
      if (part == SB_THUMBTRACK) {
        int length = vertical ? r.height() : r.width();
        int along = vertical ? p.y : p.x;
        int32_t pos = si.nMin + static_cast<int32_t>(int64_t{si.nMax - si.nMin} * along / std::max(1, length));
        SendMessage(parent, note, MAKEWPARAM(SB_THUMBPOSITION, static_cast<uint32_t>(pos)), reinterpret_cast<LPARAM>(hwnd));
      } else {
        SendMessage(parent, note, part, reinterpret_cast<LPARAM>(hwnd));
      }
      SendMessage(parent, note, SB_ENDSCROLL, reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC scroll_bar_window_proc() { return scroll_proc; }

}  // namespace vrt::platform
