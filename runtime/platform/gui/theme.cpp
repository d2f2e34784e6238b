#include "runtime/platform/gui/theme.h"

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "runtime/platform/gfx/gdi_objects.h"

namespace vrt::platform {

namespace {

constexpr COLORREF kColors[] = {
    RGB(0xE4, 0xE6, 0xEA),  // scroll bar
    RGB(0x3A, 0x4A, 0x5C),  // desktop
    kAccent,                // active caption
    RGB(0xDC, 0xDF, 0xE4),  // inactive caption
    RGB(0xF7, 0xF8, 0xFA),  // menu
    RGB(0xFF, 0xFF, 0xFF),  // window
    RGB(0x9A, 0xA1, 0xAB),  // window frame
    RGB(0x1F, 0x23, 0x28),  // menu text
    RGB(0x1F, 0x23, 0x28),  // window text
    RGB(0xFF, 0xFF, 0xFF),  // caption text
    RGB(0xB8, 0xBE, 0xC6),  // active border
    RGB(0xD0, 0xD4, 0xDA),  // inactive border
    RGB(0xC9, 0xCE, 0xD6),  // MDI workspace
    kAccent,                // highlight
    RGB(0xFF, 0xFF, 0xFF),  // highlight text
    RGB(0xEE, 0xF0, 0xF3),  // button face
    RGB(0xA7, 0xAE, 0xB8),  // button shadow
    RGB(0x8A, 0x91, 0x9B),  // grey text
    RGB(0x1F, 0x23, 0x28),  // button text
    RGB(0x4A, 0x51, 0x5B),  // inactive caption text
    RGB(0xFF, 0xFF, 0xFF),  // button highlight
    RGB(0x6E, 0x75, 0x80),  // dark shadow
    RGB(0xF5, 0xF6, 0xF8),  // light
    RGB(0x1F, 0x23, 0x28),  // tool tip text
    RGB(0xFF, 0xFB, 0xE6),  // tool tip background
};
constexpr int kColorCount = sizeof kColors / sizeof kColors[0];

}  // namespace

COLORREF GetSysColor(int index) { return index >= 0 && index < kColorCount ? kColors[index] : RGB(0, 0, 0); }

HBRUSH GetSysColorBrush(int index) {
  static Brush* brushes[kColorCount] = {};
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < kColorCount; ++i) brushes[i] = new Brush(BS_SOLID, kColors[i], true);
  });
  return index >= 0 && index < kColorCount ? brushes[index] : GetStockObject(BLACK_BRUSH);
}

namespace {
int dpi_from_environment() {
  const char* s = std::getenv("VORTHAL_SCALE");
  double scale = s ? std::atof(s) : 1.0;
  if (!(scale >= 0.5 && scale <= 4)) scale = 1.0;
  return static_cast<int>(std::lround(96 * scale));
}
int g_dpi = 0;
}  // namespace

int screen_dpi() {
  if (!g_dpi) g_dpi = dpi_from_environment();
  return g_dpi;
}

void set_screen_dpi(int dpi) {
  // An explicit scale wins over what the display reports.
  if (std::getenv("VORTHAL_SCALE")) return;
  if (dpi >= 48 && dpi <= 384) g_dpi = dpi;
}

double ui_scale() { return screen_dpi() / 96.0; }
int scaled(int pixels) { return static_cast<int>(std::lround(pixels * ui_scale())); }

int GetSystemMetrics(int metric) {
  switch (metric) {
    case SM_CXSCREEN: return scaled(1280);
    case SM_CYSCREEN: return scaled(800);
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return scaled(14);
    case SM_CYCAPTION: return scaled(24);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CYMENU: return scaled(22);
    case SM_CXFRAME:
    case SM_CYFRAME: return scaled(4);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return scaled(4);
    case SM_CXICON:
    case SM_CYICON: return scaled(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return scaled(16);
    default: return 0;
  }
}

uint32_t GetDoubleClickTime() { return 500; }

}  // namespace vrt::platform
