#include "runtime/platform/gfx/cairo_dc.h"

#include <cairo.h>

#include <cmath>

#include "runtime/platform/gfx/font_render.h"
#include "runtime/platform/os/codepage.h"

namespace vrt::platform {

namespace {

void set_colour(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

}  // namespace

CairoDC::CairoDC(cairo_surface_t* surface, POINT origin, std::vector<RECT> visible, int dpi, std::mutex* lock)
    : surface_(cairo_surface_reference(surface)), cr_(cairo_create(surface)), origin_(origin),
      visible_(std::move(visible)), dpi_(dpi), lock_(lock) {}

CairoDC::~CairoDC() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void CairoDC::set_surface(cairo_surface_t* surface) {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
  surface_ = cairo_surface_reference(surface);
  cr_ = cairo_create(surface);
}

void CairoDC::begin() {
  if (lock_) lock_->lock();
  cairo_save(cr_);
  if (!visible_.empty()) {
    for (const RECT& r : visible_) cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_clip(cr_);
  }
  cairo_translate(cr_, origin_.x, origin_.y);
  if (state_.has_clip) {
    const RECT& c = state_.clip;
    cairo_rectangle(cr_, c.left, c.top, c.width(), c.height());
    cairo_clip(cr_);
  }
}

void CairoDC::end() {
  cairo_restore(cr_);
  if (lock_) lock_->unlock();
}

// Pens draw centred on the path, one device pixel for width 0; a half-pixel
// shift keeps odd widths crisp.
bool CairoDC::stroke_with_pen() {
  const Pen* pen = static_cast<const Pen*>(state_.pen);
  if (!pen || pen->style == PS_NULL) return false;
  double w = std::max(1.0, std::round(pen->width * std::fabs(x_scale())));
  cairo_set_line_width(cr_, w);
  static const double dash[] = {6, 3}, dot[] = {1, 2}, dashdot[] = {6, 2, 1, 2}, dashdotdot[] = {6, 2, 1, 2, 1, 2};
  switch (pen->style) {
    case PS_DASH: cairo_set_dash(cr_, dash, 2, 0); break;
    case PS_DOT: cairo_set_dash(cr_, dot, 2, 0); break;
    case PS_DASHDOT: cairo_set_dash(cr_, dashdot, 4, 0); break;
    case PS_DASHDOTDOT: cairo_set_dash(cr_, dashdotdot, 6, 0); break;
    default: cairo_set_dash(cr_, nullptr, 0, 0); break;
  }
  set_colour(cr_, pen->color);
  return true;
}

void CairoDC::fill_with_brush() {
  const Brush* brush = static_cast<const Brush*>(state_.brush);
  if (!brush || brush->style == BS_NULL) return;
  set_colour(cr_, brush->color);
  cairo_fill_preserve(cr_);
}

void CairoDC::path_rect(const RECT& d) { cairo_rectangle(cr_, d.left, d.top, d.width(), d.height()); }

void CairoDC::LineTo(int x, int y) {
  POINT a = lp_to_dp(state_.position), b = lp_to_dp(POINT{x, y});
  state_.position = {x, y};
  begin();
  if (stroke_with_pen()) {
    double off = std::fmod(cairo_get_line_width(cr_), 2.0) == 1.0 ? 0.5 : 0;
    cairo_move_to(cr_, a.x + off, a.y + off);
    cairo_line_to(cr_, b.x + off, b.y + off);
    cairo_stroke(cr_);
  }
  end();
}

void CairoDC::Rectangle(int left, int top, int right, int bottom) {
  RECT d = lp_to_dp(RECT{left, top, right, bottom});
  begin();
  path_rect(d);
  fill_with_brush();
  cairo_new_path(cr_);
  if (stroke_with_pen()) {
    double w = cairo_get_line_width(cr_);
    cairo_rectangle(cr_, d.left + w / 2, d.top + w / 2, d.width() - w, d.height() - w);
    cairo_stroke(cr_);
  }
  end();
}

void CairoDC::RoundRect(int left, int top, int right, int bottom, int w, int h) {
  RECT d = lp_to_dp(RECT{left, top, right, bottom});
  double rx = std::min(std::fabs(w * x_scale()) / 2, d.width() / 2.0);
  double ry = std::min(std::fabs(h * y_scale()) / 2, d.height() / 2.0);
  double r = std::min(rx, ry);
  begin();
  double x0 = d.left + 0.5, y0 = d.top + 0.5, x1 = d.right - 0.5, y1 = d.bottom - 0.5;
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, x1 - r, y0 + r, r, -M_PI / 2, 0);
  cairo_arc(cr_, x1 - r, y1 - r, r, 0, M_PI / 2);
  cairo_arc(cr_, x0 + r, y1 - r, r, M_PI / 2, M_PI);
  cairo_arc(cr_, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr_);
  fill_with_brush();
  if (stroke_with_pen()) cairo_stroke_preserve(cr_);
  cairo_new_path(cr_);
  end();
}

void CairoDC::Ellipse(int left, int top, int right, int bottom) {
  RECT d = lp_to_dp(RECT{left, top, right, bottom});
  if (d.empty()) return;
  begin();
  cairo_save(cr_);
  cairo_translate(cr_, (d.left + d.right) / 2.0, (d.top + d.bottom) / 2.0);
  cairo_scale(cr_, d.width() / 2.0, d.height() / 2.0);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr_);
  fill_with_brush();
  if (stroke_with_pen()) cairo_stroke_preserve(cr_);
  cairo_new_path(cr_);
  end();
}

void CairoDC::Polyline(const POINT* points, int count) {
  if (count < 2) return;
  begin();
  if (stroke_with_pen()) {
    for (int i = 0; i < count; ++i) {
      POINT p = lp_to_dp(points[i]);
      (i ? cairo_line_to : cairo_move_to)(cr_, p.x + 0.5, p.y + 0.5);
    }
    cairo_stroke(cr_);
  }
  end();
}

void CairoDC::Polygon(const POINT* points, int count) {
  if (count < 2) return;
  begin();
  for (int i = 0; i < count; ++i) {
    POINT p = lp_to_dp(points[i]);
    (i ? cairo_line_to : cairo_move_to)(cr_, p.x + 0.5, p.y + 0.5);
  }
  cairo_close_path(cr_);
  fill_with_brush();
  if (stroke_with_pen()) cairo_stroke_preserve(cr_);
  cairo_new_path(cr_);
  end();
}

void CairoDC::FillRect(const RECT& r, HBRUSH handle) {
  const Brush* brush = static_cast<const Brush*>(handle);
  if (!brush || brush->style == BS_NULL) return;
  RECT d = lp_to_dp(r);
  begin();
  set_colour(cr_, brush->color);
  path_rect(d);
  cairo_fill(cr_);
  end();
}

void CairoDC::ExtTextOut(int x, int y, uint32_t options, const RECT* rect, std::string_view text) {
  double ys = std::fabs(y_scale());
  if (state_.text_align & TA_UPDATECP) {
    x = state_.position.x;
    y = state_.position.y;
  }
  POINT p = lp_to_dp(POINT{x, y});
  begin();
  select_cairo_font(cr_, state_.font, ys, dpi_);
  std::string utf8 = ansi_to_utf8(text);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr_, utf8.c_str(), &te);
  double width = te.x_advance;
  double left = p.x;
  if ((state_.text_align & TA_CENTER) == TA_CENTER)
    left -= width / 2;
  else if (state_.text_align & TA_RIGHT)
    left -= width;
  double baseline = p.y + fe.ascent;
  if ((state_.text_align & TA_BASELINE) == TA_BASELINE)
    baseline = p.y;
  else if (state_.text_align & TA_BOTTOM)
    baseline = p.y - fe.descent;
  if (rect) {
    RECT d = lp_to_dp(*rect);
    if (options & ETO_OPAQUE) {
      set_colour(cr_, state_.bk_color);
      path_rect(d);
      cairo_fill(cr_);
    }
    if (options & ETO_CLIPPED) {
      path_rect(d);
      cairo_clip(cr_);
    }
  }
  if (state_.bk_mode == OPAQUE && !(rect && (options & ETO_OPAQUE))) {
    set_colour(cr_, state_.bk_color);
    cairo_rectangle(cr_, left, baseline - fe.ascent, width, fe.ascent + fe.descent);
    cairo_fill(cr_);
  }
  set_colour(cr_, state_.text_color);
  cairo_move_to(cr_, std::round(left), std::round(baseline));
  cairo_show_text(cr_, utf8.c_str());
  const Font* font = static_cast<const Font*>(state_.font);
  if (font && (font->log.lfUnderline || font->log.lfStrikeOut)) {
    double line_y = font->log.lfUnderline ? baseline + std::max(1.0, fe.descent / 3) : baseline - fe.ascent / 3;
    cairo_set_line_width(cr_, std::max(1.0, std::round(fe.ascent / 12)));
    cairo_move_to(cr_, left, std::round(line_y) + 0.5);
    cairo_line_to(cr_, left + width, std::round(line_y) + 0.5);
    cairo_stroke(cr_);
  }
  end();
  if (state_.text_align & TA_UPDATECP) state_.position.x = x + static_cast<int>(std::lround(width / std::fabs(x_scale())));
}

void CairoDC::draw_bitmap(int x, int y, const Bitmap& bitmap, int src_x, int src_y, int width, int height) {
  begin();
  cairo_set_source_surface(cr_, bitmap.surface(), x - src_x, y - src_y);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_fill(cr_);
  end();
}

namespace {

// A memory context draws on the bitmap selected into it.
class MemoryDC : public CairoDC {
 public:
  MemoryDC(Bitmap* bitmap, int dpi) : CairoDC(bitmap->surface(), {}, {}, dpi), bitmap_(bitmap) {}
  Bitmap* bitmap() const { return bitmap_; }

 private:
  Bitmap* bitmap_;
};

}  // namespace

HDC CreateCompatibleDC(HBITMAP bitmap, int dpi) {
  if (!bitmap || bitmap->kind() != GdiObject::Kind::Bitmap) return nullptr;
  return new MemoryDC(static_cast<Bitmap*>(bitmap), dpi);
}

void DeleteDC(HDC dc) { delete dc; }

void BitBlt(HDC dest, int x, int y, int width, int height, HBITMAP source, int src_x, int src_y) {
  auto* cairo_dest = dynamic_cast<CairoDC*>(dest);
  if (!cairo_dest || !source || source->kind() != GdiObject::Kind::Bitmap) return;
  POINT p = dest->lp_to_dp(POINT{x, y});
  cairo_dest->draw_bitmap(p.x, p.y, *static_cast<Bitmap*>(source), src_x, src_y, width, height);
}

}  // namespace vrt::platform
