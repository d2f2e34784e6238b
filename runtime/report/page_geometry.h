// Where a report page lies on the printer's sheet, in printer pixels.
// Report coordinates are thousandths of an inch from the sheet's top left;
// a printer draws from the top left of its printable area, which lies the
// physical offsets inside the sheet.
#pragma once
#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/print/printer.h"

namespace vrt::report {

struct PageGeometry {
  int dpi_x = 300, dpi_y = 300;
  int offset_x = 0, offset_y = 0;        // unprintable margin, pixels
  int printable_w = 2480, printable_h = 3508;

  // A printer context's own figures (GetDeviceCaps).
  static PageGeometry of_printer(platform::HDC printer);
  // The figures the settings alone give, when no printer context can be
  // made.
  static PageGeometry of_settings(const platform::DEVMODE& mode);

  int sheet_w() const { return printable_w + 2 * offset_x; }
  int sheet_h() const { return printable_h + 2 * offset_y; }
  // Lengths and positions: thousandths of an inch to pixels.
  int width(int thousandths) const;
  int height(int thousandths) const;
  // A sheet position to the printable area's pixels.
  int x(int thousandths) const { return width(thousandths) - offset_x; }
  int y(int thousandths) const { return height(thousandths) - offset_y; }

  // The placeable header's figures: the sheet in units of the larger
  // resolution.
  int units_per_inch() const { return dpi_x > dpi_y ? dpi_x : dpi_y; }
  platform::RECT placeable_bounds() const;
};

}  // namespace vrt::report
