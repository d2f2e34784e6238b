#include "runtime/report/preview_layout.h"

#include <algorithm>
#include <cmath>

namespace vrt::report {

using platform::RECT;

namespace {

// The largest rectangle of the sheet's proportions inside the box, centred.
RECT fit(const RECT& box, SheetSize sheet) {
  double w = std::max(1, box.width()), h = std::max(1, box.height());
  double aspect = sheet.width_inches / sheet.height_inches;
  if (w / h > aspect) w = h * aspect;
  else h = w / aspect;
  int pw = std::max(1, static_cast<int>(w)), ph = std::max(1, static_cast<int>(h));
  int x = box.left + (box.width() - pw) / 2, y = box.top + (box.height() - ph) / 2;
  return RECT{x, y, x + pw, y + ph};
}

RECT zoomed(const PreviewState& state, const RECT& area, SheetSize sheet) {
  int width;
  if (state.zoom() == Zoom::PageWidth) {
    width = area.width() - 2 * kPreviewMargin;
  } else {
    width = static_cast<int>(std::lround(sheet.width_inches * kScreenDpi * zoom_percent(state.zoom()) / 100.0));
  }
  width = std::max(1, width);
  int height = std::max(1, static_cast<int>(std::lround(width * sheet.height_inches / sheet.width_inches)));
  int x = area.left + std::max(kPreviewMargin, (area.width() - width) / 2);
  int y = area.top + kPreviewMargin;
  return RECT{x, y, x + width, y + height};
}

}  // namespace

std::vector<RECT> page_rects(const PreviewState& state, const RECT& area, SheetSize sheet) {
  if (sheet.width_inches <= 0 || sheet.height_inches <= 0) sheet = SheetSize{};
  if (state.zoom() != Zoom::None) return {zoomed(state, area, sheet)};
  std::vector<RECT> rects;
  int across = state.across(), down = state.down();
  int cell_w = std::max(1, (area.width() - kPreviewMargin * (across + 1)) / across);
  int cell_h = std::max(1, (area.height() - kPreviewMargin * (down + 1)) / down);
  for (int row = 0; row < down; ++row) {
    for (int col = 0; col < across; ++col) {
      int x = area.left + kPreviewMargin + col * (cell_w + kPreviewMargin);
      int y = area.top + kPreviewMargin + row * (cell_h + kPreviewMargin);
      rects.push_back(fit(RECT{x, y, x + cell_w, y + cell_h}, sheet));
    }
  }
  return rects;
}

}  // namespace vrt::report
