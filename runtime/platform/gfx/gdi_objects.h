// Fonts, pens, brushes and bitmaps: the objects a device context selects.
// Each is immutable once made, so that a metafile can record it and many
// threads can draw with the same stock objects.
#pragma once
#include <string>

#include "runtime/platform/gfx/gdi_types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace vrt::platform {

enum FontWeight : int32_t { FW_NORMAL = 400, FW_BOLD = 700 };

struct LOGFONT {
  int32_t lfHeight = 0;  // < 0: character height, > 0: cell height, logical units
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = FW_NORMAL;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

enum PenStyle : int32_t { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
enum BrushStyle : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1 };

class GdiObject {
 public:
  enum class Kind { Font, Pen, Brush, Bitmap };
  explicit GdiObject(Kind kind, bool stock = false) : kind_(kind), stock_(stock) {}
  virtual ~GdiObject() = default;
  Kind kind() const { return kind_; }
  bool stock() const { return stock_; }

 private:
  Kind kind_;
  bool stock_;
};

class Font : public GdiObject {
 public:
  explicit Font(const LOGFONT& lf, bool stock = false) : GdiObject(Kind::Font, stock), log(lf) {}
  const LOGFONT log;
  // The installed family that stands in for the face name.
  std::string family() const;
};

class Pen : public GdiObject {
 public:
  Pen(int32_t s, int32_t w, COLORREF c, bool stock = false) : GdiObject(Kind::Pen, stock), style(s), width(w), color(c) {}
  const int32_t style, width;
  const COLORREF color;
};

class Brush : public GdiObject {
 public:
  Brush(uint32_t s, COLORREF c, bool stock = false) : GdiObject(Kind::Brush, stock), style(s), color(c) {}
  const uint32_t style;
  const COLORREF color;
};

// A memory image, 32 bits a pixel.
class Bitmap : public GdiObject {
 public:
  Bitmap(int32_t width, int32_t height);
  ~Bitmap() override;
  cairo_surface_t* surface() const { return surface_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

 private:
  cairo_surface_t* surface_;
  int32_t width_, height_;
};

HFONT CreateFontIndirect(const LOGFONT& lf);
HFONT CreateFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight,
                 uint32_t italic, uint32_t underline, uint32_t strike_out, uint32_t charset, uint32_t out_precision,
                 uint32_t clip_precision, uint32_t quality, uint32_t pitch_and_family, const char* face);
HPEN CreatePen(int32_t style, int32_t width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBITMAP CreateBitmap(int32_t width, int32_t height);
// Stock objects are never deleted; DeleteObject ignores them.
bool DeleteObject(HGDIOBJ object);

enum StockObject {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
  WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEFAULT_GUI_FONT = 17,
};
HGDIOBJ GetStockObject(int which);

// The face that stands in for a Windows face name: metric-compatible
// families where there are such ("Arial", "MS Sans Serif" and "Helv" to
// Liberation Sans), DejaVu Sans for anything unknown.
std::string font_family_for(const std::string& face);

}  // namespace vrt::platform
