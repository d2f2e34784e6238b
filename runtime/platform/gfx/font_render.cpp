#include "runtime/platform/gfx/font_render.h"

#include <cairo.h>

#include <cmath>
#include <map>
#include <mutex>
#include <string>

#include "runtime/platform/os/codepage.h"

namespace vrt::platform {

namespace {

// The default interface font: 8 points at 96 pixels an inch.
constexpr double kDefaultEm = 11;

cairo_t* scratch() {
  thread_local struct Scratch {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* cr = cairo_create(surface);
    ~Scratch() {
      cairo_destroy(cr);
      cairo_surface_destroy(surface);
    }
  } s;
  return s.cr;
}

// Cell height (ascent + descent) of a family at em size 1, cached.
double cell_ratio(const std::string& family, bool bold, bool italic) {
  static std::mutex m;
  static std::map<std::string, double> cache;
  std::string key = family + (bold ? "/b" : "/") + (italic ? "i" : "");
  {
    std::lock_guard lock(m);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  cairo_t* cr = scratch();
  cairo_select_font_face(cr, family.c_str(), italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 100);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  double ratio = fe.ascent + fe.descent > 0 ? (fe.ascent + fe.descent) / 100 : 1.15;
  std::lock_guard lock(m);
  cache[key] = ratio;
  return ratio;
}

}  // namespace

void select_cairo_font(cairo_t* cr, HFONT handle, double scale, int dpi) {
  const Font* font = static_cast<const Font*>(handle ? handle : GetStockObject(DEFAULT_GUI_FONT));
  // Stock fonts are sized for 96 pixels an inch and grow with the device.
  if (font->stock()) scale *= dpi / 96.0;
  const LOGFONT& lf = font->log;
  std::string family = font->family();
  bool bold = lf.lfWeight >= 600, italic = lf.lfItalic != 0;
  cairo_select_font_face(cr, family.c_str(), italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  double em;
  if (lf.lfHeight < 0)
    em = -lf.lfHeight * scale;
  else if (lf.lfHeight > 0)
    em = lf.lfHeight * scale / cell_ratio(family, bold, italic);
  else
    em = kDefaultEm * scale;
  cairo_set_font_size(cr, std::max(em, 1.0));
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

FontMetrics font_metrics(HFONT font, double scale, int dpi) {
  cairo_t* cr = scratch();
  select_cairo_font(cr, font, scale, dpi);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &te);
  cairo_matrix_t m;
  cairo_get_font_matrix(cr, &m);
  return {fe.ascent, fe.descent, m.yy, te.x_advance / 52, fe.max_x_advance};
}

double text_width(HFONT font, double scale, int dpi, std::string_view ansi) {
  if (ansi.empty()) return 0;
  cairo_t* cr = scratch();
  select_cairo_font(cr, font, scale, dpi);
  cairo_text_extents_t te;
  cairo_text_extents(cr, ansi_to_utf8(ansi).c_str(), &te);
  return te.x_advance;
}

}  // namespace vrt::platform
