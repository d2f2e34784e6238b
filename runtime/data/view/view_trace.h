// The view engine's trace log ("QWVIEW"): one line per view operation with
// its outcome and time, and the view's declaration in source form.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/data/driver/trace_log.h"

namespace vrt::data {

struct ViewNode;

TraceSwitches view_trace_switches();
std::string view_trace_line(int32_t operation, uintptr_t view, int error, uint32_t hundredths);
// A view's declaration in source form: "VIEW(FILE)", PROJECT, JOIN ... END.
std::string view_declaration(const ViewNode& primary);

}  // namespace vrt::data
