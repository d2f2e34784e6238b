#include "runtime/report/page_geometry.h"

#include <algorithm>

namespace vrt::report {

using namespace vrt::platform;

namespace {
int scaled(int value, int numerator, int denominator) {
  return static_cast<int>((int64_t{value} * numerator + (value >= 0 ? denominator / 2 : -denominator / 2)) /
                          denominator);
}
}  // namespace

PageGeometry PageGeometry::of_printer(HDC printer) {
  PageGeometry g;
  g.dpi_x = std::max(1, GetDeviceCaps(printer, LOGPIXELSX));
  g.dpi_y = std::max(1, GetDeviceCaps(printer, LOGPIXELSY));
  g.offset_x = std::max(0, GetDeviceCaps(printer, PHYSICALOFFSETX));
  g.offset_y = std::max(0, GetDeviceCaps(printer, PHYSICALOFFSETY));
  g.printable_w = std::max(1, GetDeviceCaps(printer, HORZRES));
  g.printable_h = std::max(1, GetDeviceCaps(printer, VERTRES));
  return g;
}

PageGeometry PageGeometry::of_settings(const DEVMODE& mode) {
  PageGeometry g;
  g.dpi_x = std::clamp(mode.dpi_x, 1, 2400);
  g.dpi_y = std::clamp(mode.dpi_y, 1, 2400);
  // Paper sizes and margins are tenths of a millimetre: 254 to the inch.
  g.offset_x = std::max(0, scaled(mode.margin_left, g.dpi_x, 254));
  g.offset_y = std::max(0, scaled(mode.margin_top, g.dpi_y, 254));
  g.printable_w = std::max(1, scaled(mode.paper_width - mode.margin_left - mode.margin_right, g.dpi_x, 254));
  g.printable_h = std::max(1, scaled(mode.paper_length - mode.margin_top - mode.margin_bottom, g.dpi_y, 254));
  return g;
}

int PageGeometry::width(int thousandths) const { return scaled(thousandths, dpi_x, 1000); }
int PageGeometry::height(int thousandths) const { return scaled(thousandths, dpi_y, 1000); }

RECT PageGeometry::placeable_bounds() const {
  int units = units_per_inch();
  return RECT{0, 0, scaled(sheet_w(), units, dpi_x), scaled(sheet_h(), units, dpi_y)};
}

}  // namespace vrt::report
