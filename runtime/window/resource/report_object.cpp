#include "runtime/window/resource/report_object.h"

#include "runtime/core/base/fatal_error.h"
#include "runtime/window/resource/structure_finder.h"

namespace vrt::window {

void Open(ReportObject& report) {
  if (report.is_open()) return core::fatal_runtime_error(525);
  FoundStructure found = locate_structure(report.module(), report.label());
  if (!found) return;
  if (found.buffer->type(found.offset) != static_cast<uint8_t>(RecordType::Report))
    return core::fatal_runtime_error(502);
  report.buffer = found.buffer;
  report.structure = found.offset;
}

void Close(ReportObject& report) {
  report.buffer = nullptr;
  report.structure = 0;
}

void PostEvent(ReportObject&, uint16_t, int32_t) { core::fatal_runtime_error(522); }

}  // namespace vrt::window
