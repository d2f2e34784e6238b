// A device context that draws with cairo onto a surface: a window's share
// of its top-level image, a memory bitmap, or a printer's page.
#pragma once
#include <mutex>
#include <vector>

#include "runtime/platform/gfx/device_context.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace vrt::platform {

class CairoDC : public DeviceContext {
 public:
  // Device coordinate (0, 0) lands at `origin` of the surface; drawing is
  // limited to `visible` (surface coordinates; empty means the whole
  // surface).
  // When `lock` is given it is held during each drawing call, so that
  // threads drawing into one image take turns.
  CairoDC(cairo_surface_t* surface, POINT origin = {}, std::vector<RECT> visible = {}, int dpi = 96,
          std::mutex* lock = nullptr);
  ~CairoDC() override;

  int dpi() const override { return dpi_; }
  void LineTo(int x, int y) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void RoundRect(int left, int top, int right, int bottom, int w, int h) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void Polyline(const POINT* points, int count) override;
  void Polygon(const POINT* points, int count) override;
  void FillRect(const RECT& r, HBRUSH brush) override;
  void ExtTextOut(int x, int y, uint32_t options, const RECT* rect, std::string_view text) override;

  // Copies a rectangle of a bitmap to (x, y), device units.
  void draw_bitmap(int x, int y, const Bitmap& bitmap, int src_x, int src_y, int width, int height);
  cairo_t* cairo() { return cr_; }

 protected:
  // Draws from now on onto another surface (a printer's next document); the
  // state of the context (objects, modes, mapping) stays.
  void set_surface(cairo_surface_t* surface);

 private:
  // Sets cairo's clip to the visible region and the state's clip rectangle.
  void begin();
  void end();
  bool stroke_with_pen();
  void fill_with_brush();
  void path_rect(const RECT& device);

  cairo_surface_t* surface_;
  cairo_t* cr_;
  POINT origin_;
  std::vector<RECT> visible_;
  int dpi_;
  std::mutex* lock_;
};

// Memory device contexts over a bitmap: SelectObject of a bitmap into one
// makes it the target.
HDC CreateCompatibleDC(HBITMAP bitmap, int dpi = 96);
void DeleteDC(HDC dc);
// Copies from a memory context's bitmap.
void BitBlt(HDC dest, int x, int y, int width, int height, HBITMAP source, int src_x, int src_y);

}  // namespace vrt::platform
