// The shapes the drawing layer shares with the window layer: points,
// rectangles, colours and object handles, as the runtime's callers expect.
#pragma once
#include <cstdint>

namespace vrt::platform {

using COLORREF = uint32_t;  // 0x00BBGGRR
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (uint32_t(b) << 16); }
constexpr uint8_t GetRValue(COLORREF c) { return c & 0xFF; }
constexpr uint8_t GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr uint8_t GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct POINT {
  int32_t x = 0, y = 0;
};
struct SIZE {
  int32_t cx = 0, cy = 0;
};
struct RECT {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT intersect(const RECT& a, const RECT& b);
RECT unite(const RECT& a, const RECT& b);
RECT offset(const RECT& r, int32_t dx, int32_t dy);

class DeviceContext;
class GdiObject;
using HDC = DeviceContext*;
using HGDIOBJ = GdiObject*;
using HFONT = HGDIOBJ;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HBITMAP = HGDIOBJ;

}  // namespace vrt::platform
