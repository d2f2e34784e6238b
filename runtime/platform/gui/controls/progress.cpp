// The progress bar: a range, a position and a step.
#include "runtime/platform/gui/controls/control_support.h"

namespace vrt::platform {

namespace {

struct ProgressState {
  int32_t low = 0, high = 100, pos = 0, step = 10;
  COLORREF bar = kAccent;
};

LRESULT set_pos(HWND hwnd, ProgressState* s, int32_t pos) {
  int32_t old = s->pos;
  s->pos = std::clamp(pos, s->low, std::max(s->low, s->high));
  if (s->pos != old) InvalidateRect(hwnd, nullptr, false);
  return old;
}

LRESULT progress_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<ProgressState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<ProgressState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<ProgressState>(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r = GetClientRect(hwnd);
      FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
      HBRUSH track = CreateSolidBrush(RGB(0xDD, 0xE1, 0xE7));
      HGDIOBJ ob = SelectObject(dc, track);
      HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
      int radius = std::min(r.height(), scaled(8));
      RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
      int32_t span = std::max(1, s->high - s->low);
      int filled = static_cast<int>(int64_t{r.width()} * (s->pos - s->low) / span);
      if (filled > 0) {
        HBRUSH bar = CreateSolidBrush(s->bar);
        SelectObject(dc, bar);
        RoundRect(dc, r.left, r.top, r.left + std::max(filled, radius), r.bottom, radius, radius);
        SelectObject(dc, ob);
        DeleteObject(bar);
      }
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(track);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case PBM_SETRANGE: {
      LRESULT old = MAKELPARAM(s->low, s->high);
      s->low = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp)));
      s->high = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lp)));
      set_pos(hwnd, s, s->pos);
      InvalidateRect(hwnd, nullptr, false);
      return old;
    }
    case PBM_SETPOS: return set_pos(hwnd, s, static_cast<int32_t>(wp));
    case PBM_DELTAPOS: return set_pos(hwnd, s, s->pos + static_cast<int32_t>(wp));
    case PBM_SETSTEP: return std::exchange(s->step, static_cast<int32_t>(wp));
    case PBM_STEPIT: {
      int32_t next = s->pos + s->step;
      if (next > s->high) next = s->low + (next - s->high);  // wraps as the system's bar does
      return set_pos(hwnd, s, next);
    }
    case PBM_GETPOS: return s->pos;
    case PBM_SETBARCOLOR: {
      COLORREF old = s->bar;
      s->bar = static_cast<COLORREF>(lp);
      InvalidateRect(hwnd, nullptr, false);
      return old;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC progress_window_proc() { return progress_proc; }

}  // namespace vrt::platform
