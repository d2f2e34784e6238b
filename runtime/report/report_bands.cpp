#include "runtime/report/report_bands.h"

#include <algorithm>

namespace vrt::report {

using window::kNotGiven;
using window::RecordType;

namespace {

int32_t given_or(int32_t value, int32_t fallback) { return value == kNotGiven ? fallback : value; }

void read_controls(const window::ResourceBuffer& b, uint32_t first, Band& band, int depth = 0) {
  if (depth > static_cast<int>(window::kMaxNesting)) return;
  for (uint32_t at = first; at != 0; at = b.next(at)) {
    band.controls.push_back(BandControl{at, b.field_number(at), nullptr});
    if (uint32_t children = b.field(at, "children")) read_controls(b, children, band, depth + 1);
  }
}

}  // namespace

const Band* ReportLayout::detail(int32_t field) const {
  for (const Band& band : bands)
    if (band.type == RecordType::DetailBand && band.field == field) return &band;
  return nullptr;
}

BandControl* ReportLayout::control(int32_t field) {
  for (Band& band : bands)
    for (BandControl& c : band.controls)
      if (c.field == field && field > 0) return &c;
  return nullptr;
}

ReportLayout read_layout(const window::ResourceBuffer& b, uint32_t report) {
  ReportLayout layout;
  auto at = [&](uint32_t record, int i) { return static_cast<int32_t>(b.field(record, "at", i)); };
  layout.x = at(report, 0);
  layout.y = at(report, 1);
  layout.width = at(report, 2);
  layout.height = std::max(0, at(report, 3));
  layout.font = b.font(b.field(report, "font"));
  for (uint32_t record = b.field(report, "children"); record != 0; record = b.next(record)) {
    auto type = static_cast<RecordType>(b.type(record));
    if (type != RecordType::HeaderBand && type != RecordType::DetailBand && type != RecordType::FooterBand) continue;
    Band band;
    band.type = type;
    band.field = b.field_number(record);
    band.flags = b.flags(record);
    band.x = given_or(at(record, 0), layout.x);
    band.y = given_or(at(record, 1), layout.y);
    band.width = given_or(at(record, 2), layout.width);
    band.height = std::max(0, given_or(at(record, 3), 0));
    read_controls(b, b.field(record, "children"), band);
    layout.bands.push_back(std::move(band));
  }
  // Pointers once the list no longer moves.
  for (const Band& band : layout.bands) {
    if (band.type == RecordType::HeaderBand && !layout.header) layout.header = &band;
    if (band.type == RecordType::FooterBand && !layout.footer) layout.footer = &band;
  }
  return layout;
}

}  // namespace vrt::report
