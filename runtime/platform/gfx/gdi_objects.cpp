#include "runtime/platform/gfx/gdi_objects.h"

#include <cairo.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

namespace vrt::platform {

std::string font_family_for(const std::string& face) {
  struct Substitute {
    const char* face;
    const char* family;
  };
  static const Substitute kSubstitutes[] = {
      {"MS Sans Serif", "Liberation Sans"}, {"Microsoft Sans Serif", "Liberation Sans"},
      {"Helv", "Liberation Sans"},          {"Helvetica", "Liberation Sans"},
      {"Arial", "Liberation Sans"},         {"Tahoma", "Liberation Sans"},
      {"System", "Liberation Sans"},        {"MS Serif", "Liberation Serif"},
      {"Times New Roman", "Liberation Serif"}, {"Tms Rmn", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},   {"Courier", "Liberation Mono"},
      {"Fixedsys", "Liberation Mono"},      {"Terminal", "Liberation Mono"},
  };
  for (const Substitute& s : kSubstitutes)
    if (strcasecmp(s.face, face.c_str()) == 0) return s.family;
  if (face.empty()) return "Liberation Sans";
  return "DejaVu Sans";
}

std::string Font::family() const { return font_family_for(log.lfFaceName); }

Bitmap::Bitmap(int32_t width, int32_t height)
    : GdiObject(Kind::Bitmap), width_(std::max(width, 1)), height_(std::max(height, 1)) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
}

Bitmap::~Bitmap() { cairo_surface_destroy(surface_); }

HFONT CreateFontIndirect(const LOGFONT& lf) { return new Font(lf); }

HFONT CreateFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight,
                 uint32_t italic, uint32_t underline, uint32_t strike_out, uint32_t charset, uint32_t out_precision,
                 uint32_t clip_precision, uint32_t quality, uint32_t pitch_and_family, const char* face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<uint8_t>(italic);
  lf.lfUnderline = static_cast<uint8_t>(underline);
  lf.lfStrikeOut = static_cast<uint8_t>(strike_out);
  lf.lfCharSet = static_cast<uint8_t>(charset);
  lf.lfOutPrecision = static_cast<uint8_t>(out_precision);
  lf.lfClipPrecision = static_cast<uint8_t>(clip_precision);
  lf.lfQuality = static_cast<uint8_t>(quality);
  lf.lfPitchAndFamily = static_cast<uint8_t>(pitch_and_family);
  if (face) std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
  return new Font(lf);
}

HPEN CreatePen(int32_t style, int32_t width, COLORREF color) { return new Pen(style, width, color); }
HBRUSH CreateSolidBrush(COLORREF color) { return new Brush(BS_SOLID, color); }
HBITMAP CreateBitmap(int32_t width, int32_t height) { return new Bitmap(width, height); }

bool DeleteObject(HGDIOBJ object) {
  if (!object || object->stock()) return object != nullptr;
  delete object;
  return true;
}

HGDIOBJ GetStockObject(int which) {
  static Brush white(BS_SOLID, RGB(255, 255, 255), true), ltgray(BS_SOLID, RGB(192, 192, 192), true),
      gray(BS_SOLID, RGB(128, 128, 128), true), dkgray(BS_SOLID, RGB(64, 64, 64), true),
      black(BS_SOLID, RGB(0, 0, 0), true), null_brush(BS_NULL, 0, true);
  static Pen white_pen(PS_SOLID, 0, RGB(255, 255, 255), true), black_pen(PS_SOLID, 0, RGB(0, 0, 0), true),
      null_pen(PS_NULL, 0, 0, true);
  static const LOGFONT gui_font = [] {
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    return lf;
  }();
  static Font gui(gui_font, true);
  switch (which) {
    case WHITE_BRUSH: return &white;
    case LTGRAY_BRUSH: return &ltgray;
    case GRAY_BRUSH: return &gray;
    case DKGRAY_BRUSH: return &dkgray;
    case BLACK_BRUSH: return &black;
    case NULL_BRUSH: return &null_brush;
    case WHITE_PEN: return &white_pen;
    case BLACK_PEN: return &black_pen;
    case NULL_PEN: return &null_pen;
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: return &gui;
    default: return nullptr;
  }
}

}  // namespace vrt::platform
