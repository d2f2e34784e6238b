// Where the preview puts its pages: a grid of across × down cells, each
// page as large as its cell allows with the sheet's proportions, or one
// page zoomed (to the area's width, or to a percentage of its real size on
// a 96-dot screen) at the area's top, centred when narrower.
#pragma once
#include <vector>

#include "runtime/platform/gfx/gdi_types.h"
#include "runtime/report/preview_state.h"

namespace vrt::report {

inline constexpr int kPreviewMargin = 8;  // around and between the pages, pixels
inline constexpr int kScreenDpi = 96;

struct SheetSize {
  double width_inches = 8.5, height_inches = 11;
};

// One rectangle per cell (shown() of them), in the area's coordinates.
std::vector<platform::RECT> page_rects(const PreviewState& state, const platform::RECT& area, SheetSize sheet);

}  // namespace vrt::report
