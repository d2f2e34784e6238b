// The look: system colours and the sizes of frame parts, scaled with the
// display's resolution. Flat surfaces, one accent colour for focus and
// selection, calm greys.
#pragma once
#include "runtime/platform/gfx/gdi_types.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

enum SysColor {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
  COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
};
COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

enum SystemMetric {
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
  SM_CYBORDER = 6, SM_CYMENU = 15, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
  SM_CXICON = 11, SM_CYICON = 12, SM_CXSMICON = 49, SM_CYSMICON = 50,
};
int GetSystemMetrics(int metric);
uint32_t GetDoubleClickTime();

// The screen's resolution: 96 times $VORTHAL_SCALE, or what the display
// reports (the X server's Xft.dpi).
int screen_dpi();
void set_screen_dpi(int dpi);
// Device pixels per pixel of the classic 96-dpi layout.
double ui_scale();
// Pixels for a size given at 96 dpi.
int scaled(int pixels_at_96);

// The accent that marks focus, selection and the active caption.
inline constexpr COLORREF kAccent = RGB(0x2F, 0x6F, 0xD6);

}  // namespace vrt::platform
