// The bands of a report structure and the controls in them, read once when
// the report opens, with the program variables bound to the controls.
// Coordinates stay in thousandths of an inch; a band's controls lie
// relative to the band's top left.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/core/values/value.h"
#include "runtime/platform/gfx/metafile.h"
#include "runtime/report/page_geometry.h"
#include "runtime/window/resource/resource_buffer.h"

namespace vrt::report {

// The band's split-control bits: with both clear a band that does not fit
// is split across two pages.
inline constexpr uint32_t kBandSplitControl = window::kFlagBandTogether | window::kFlagBandWithPrior;

struct BandControl {
  uint32_t record = 0;
  int32_t field = 0;
  std::unique_ptr<core::Value> variable;  // bound by the program, or null
};

struct Band {
  window::RecordType type = window::RecordType::DetailBand;
  int32_t field = 0;
  uint32_t flags = 0;
  int32_t x = 0, y = 0, width = 0, height = 0;  // x, y of a detail band: the detail area's
  std::vector<BandControl> controls;
  bool may_split() const { return (flags & kBandSplitControl) == 0; }
};

struct ReportLayout {
  int32_t x = 0, y = 0, width = 0, height = 0;  // the detail area
  window::FontRecord font;
  std::vector<Band> bands;
  const Band* header = nullptr;
  const Band* footer = nullptr;

  const Band* detail(int32_t field) const;
  BandControl* control(int32_t field);
};

// Reads the structure's bands; "not given" coordinates become the detail
// area's.
ReportLayout read_layout(const window::ResourceBuffer& buffer, uint32_t report);

// Draws a band's controls, with the current values of their variables,
// into a new metafile in band pixels (its top left at 0, 0). Value controls
// without a variable show the page number.
platform::HMETAFILE draw_band(const window::ResourceBuffer& buffer, const Band& band, const window::FontRecord& font,
                              const PageGeometry& geometry, int page_number);

}  // namespace vrt::report
