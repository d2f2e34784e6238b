// Scroll bars of a window's frame (WS_VSCROLL, WS_HSCROLL) and the scroll
// bar control: range, page and position, drawn flat, clicks reported as
// WM_VSCROLL and WM_HSCROLL.
#pragma once
#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2 };
enum : UINT { SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_ALL = 0x17 };
enum : WPARAM { SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4,
                SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8 };

struct SCROLLINFO {
  UINT fMask = SIF_ALL;
  int32_t nMin = 0, nMax = 0;
  uint32_t nPage = 0;
  int32_t nPos = 0, nTrackPos = 0;
};

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw = true);
bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw = true);
int GetScrollPos(HWND hwnd, int bar);
bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw = true);

// The thumb's place on a track of `track` pixels (the bar less its arrows):
// its offset along the track and its length.
void scroll_thumb(int track, int32_t min, int32_t max, int32_t page, int32_t pos, int* start, int* length);

// Frame scroll bars: drawing and clicks.
void draw_scroll_bar(HDC dc, const RECT& area, bool vertical, int32_t min, int32_t max, int32_t page, int32_t pos,
                     bool enabled);
void scroll_bar_click(HWND hwnd, bool vertical, POINT screen);
// Which part of a bar a point is on: SB_LINEUP, SB_PAGEUP, SB_THUMBTRACK,
// SB_PAGEDOWN or SB_LINEDOWN.
WPARAM scroll_bar_part(const RECT& area, bool vertical, int32_t min, int32_t max, int32_t page, int32_t pos,
                       POINT p);

}  // namespace vrt::platform
