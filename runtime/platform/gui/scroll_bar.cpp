#include "runtime/platform/gui/scroll_bar.h"

#include <algorithm>

#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

}  // namespace

void scroll_thumb(int track, int32_t min, int32_t max, int32_t page, int32_t pos, int* start, int* length) {
  int32_t range = std::max(1, max - min + 1);
  int32_t shown = page > 0 ? std::min(page, range) : 1;
  *length = std::max(scaled(16), static_cast<int>(int64_t{track} * shown / range));
  *length = std::min(*length, track);
  int32_t span = std::max(1, range - std::max<int32_t>(shown, 1));
  int32_t at = std::clamp(pos - min, 0, span);
  *start = static_cast<int>(int64_t{track - *length} * at / span);
}

namespace {

ScrollInfo* info_of(Window* w, int bar) { return bar == SB_VERT ? &w->vscroll : &w->hscroll; }

void redraw_bar(HWND hwnd, int bar) {
  if (bar == SB_CTL) {
    InvalidateRect(hwnd, nullptr, false);
    return;
  }
  std::thread::id thread;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return;
    w->frame_dirty = true;
    thread = w->thread;
  }
  wake_thread(thread);
}

}  // namespace

WPARAM scroll_bar_part(const RECT& a, bool vertical, int32_t min, int32_t max, int32_t page, int32_t pos, POINT p) {
  int length = vertical ? a.height() : a.width();
  int arrow = std::min(vertical ? a.width() : a.height(), length / 2);
  int along = vertical ? p.y - a.top : p.x - a.left;
  if (along < arrow) return SB_LINEUP;
  if (along >= length - arrow) return SB_LINEDOWN;
  int start, size;
  scroll_thumb(length - 2 * arrow, min, max, page, pos, &start, &size);
  int t = along - arrow;
  if (t < start) return SB_PAGEUP;
  if (t >= start + size) return SB_PAGEDOWN;
  return SB_THUMBTRACK;
}

void draw_scroll_bar(HDC dc, const RECT& a, bool vertical, int32_t min, int32_t max, int32_t page, int32_t pos,
                     bool enabled) {
  FillRect(dc, a, GetSysColorBrush(COLOR_SCROLLBAR));
  int length = vertical ? a.height() : a.width();
  int breadth = vertical ? a.width() : a.height();
  int arrow = std::min(breadth, length / 2);
  HBRUSH ink = GetSysColorBrush(enabled ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
  HGDIOBJ old_brush = SelectObject(dc, ink);
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
  for (int end = 0; end < 2; ++end) {
    int c = end == 0 ? arrow / 2 : length - arrow / 2;
    int s = std::max(2, breadth / 5);
    int m = breadth / 2;
    int dir = end == 0 ? -1 : 1;
    POINT tri[3];
    if (vertical) {
      tri[0] = {a.left + m - s, a.top + c - dir * s / 2};
      tri[1] = {a.left + m + s, a.top + c - dir * s / 2};
      tri[2] = {a.left + m, a.top + c + dir * s / 2};
    } else {
      tri[0] = {a.left + c - dir * s / 2, a.top + m - s};
      tri[1] = {a.left + c - dir * s / 2, a.top + m + s};
      tri[2] = {a.left + c + dir * s / 2, a.top + m};
    }
    Polygon(dc, tri, 3);
  }
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  if (!enabled || max <= min) return;
  int start, size;
  scroll_thumb(length - 2 * arrow, min, max, page, pos, &start, &size);
  int inset = std::max(2, breadth / 5);
  RECT t = vertical ? RECT{a.left + inset, a.top + arrow + start, a.right - inset, a.top + arrow + start + size}
                    : RECT{a.left + arrow + start, a.top + inset, a.left + arrow + start + size, a.bottom - inset};
  HBRUSH thumb_brush = GetSysColorBrush(COLOR_BTNSHADOW);
  HGDIOBJ ob = SelectObject(dc, thumb_brush);
  HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
  int radius = std::min(t.width(), t.height());
  RoundRect(dc, t.left, t.top, t.right, t.bottom, radius, radius);
  SelectObject(dc, ob);
  SelectObject(dc, op);
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& si, bool redraw) {
  int pos;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return 0;
    ScrollInfo* s = info_of(w, bar == SB_CTL ? SB_VERT : bar);
    if (si.fMask & SIF_RANGE) s->min = si.nMin, s->max = si.nMax;
    if (si.fMask & SIF_PAGE) s->page = static_cast<int32_t>(si.nPage);
    if (si.fMask & SIF_POS) s->pos = si.nPos;
    int32_t top = s->max - std::max(s->page - 1, 0);
    s->pos = std::clamp(s->pos, s->min, std::max(s->min, top));
    pos = s->pos;
  }
  if (redraw) redraw_bar(hwnd, bar);
  return pos;
}

bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return false;
  ScrollInfo* s = info_of(w, bar == SB_CTL ? SB_VERT : bar);
  si->nMin = s->min;
  si->nMax = s->max;
  si->nPage = static_cast<uint32_t>(s->page);
  si->nPos = s->pos;
  si->nTrackPos = s->pos;
  return true;
}

int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  int old = GetScrollPos(hwnd, bar);
  SetScrollInfo(hwnd, bar, si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetScrollInfo(hwnd, bar, si, redraw);
  return true;
}

void scroll_bar_click(HWND hwnd, bool vertical, POINT screen) {
  RECT area;
  ScrollInfo s;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return;
    RECT c = client_area(*w);
    area = vertical ? RECT{c.right, c.top, c.right + GetSystemMetrics(SM_CXVSCROLL), c.bottom}
                    : RECT{c.left, c.bottom, c.right, c.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    s = vertical ? w->vscroll : w->hscroll;
  }
  RECT wr = GetWindowRect(hwnd);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  WPARAM part = scroll_bar_part(area, vertical, s.min, s.max, s.page, s.pos, p);
  UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
  if (part == SB_THUMBTRACK) {
    // A click on the thumb moves it to where the click is along the track.
    int length = vertical ? area.height() : area.width();
    int along = vertical ? p.y - area.top : p.x - area.left;
    int32_t pos = s.min + static_cast<int32_t>(int64_t{s.max - s.min} * along / std::max(1, length));
    SendMessage(hwnd, msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<uint32_t>(pos)), 0);
  } else {
    SendMessage(hwnd, msg, part, 0);
  }
  SendMessage(hwnd, msg, SB_ENDSCROLL, 0);
}

}  // namespace vrt::platform
