// A report opened by a procedure: its structure is located by module and
// label like a window's, and the report engine prints from its records.
// A report takes no events.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "runtime/window/resource/resource_buffer.h"

namespace vrt::window {

class ReportObject {
 public:
  ReportObject(std::string module, std::string label) : module_(std::move(module)), label_(std::move(label)) {}

  const std::string& module() const { return module_; }
  const std::string& label() const { return label_; }
  bool is_open() const { return buffer != nullptr; }

  // Set by Open.
  std::shared_ptr<const ResourceBuffer> buffer;
  uint32_t structure = 0;

 private:
  std::string module_, label_;
};

// Fatal runtime errors: 525 when the report is already open, 502 when its
// structure is not found or is not a report.
void Open(ReportObject& report);
void Close(ReportObject& report);

// Posting an event to a report's control is fatal runtime error 522.
void PostEvent(ReportObject& report, uint16_t code, int32_t field);

}  // namespace vrt::window
