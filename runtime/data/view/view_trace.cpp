#include "runtime/data/view/view_trace.h"

#include <cstdio>

#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/trace_log.h"
#include "runtime/data/view/view.h"
#include "runtime/platform/os/profile.h"

namespace vrt::data {

namespace {

void node_declaration(const ViewNode& n, int depth, bool primary, std::string* out) {
  std::string indent(static_cast<size_t>(2 * depth), ' ');
  if (!primary) {
    *out += std::string(static_cast<size_t>(2 * (depth - 1)), ' ') + "JOIN(";
    if (!n.join_text.empty()) {
      *out += n.join_text + ")";
    } else if (!n.join_expression.empty()) {
      *out += n.join_expression + ")";
    } else {
      *out += "KEY";
      for (int f : n.link_fields) *out += ",FIELD(" + std::to_string(f) + ")";
      *out += ")";
    }
    if (n.inner) *out += ",INNER";
    *out += "\r\n";
  }
  if (!n.projection.empty() || !n.projected_memos.empty()) {
    std::string entries;
    for (int f : n.projection) entries += (entries.empty() ? "" : ",") + std::string("FIELD(") + std::to_string(f) + ")";
    for (int m : n.projected_memos) entries += (entries.empty() ? "" : ",") + std::string("MEMO(") + std::to_string(m) + ")";
    *out += indent + "PROJECT(" + entries + ")\r\n";
  }
  for (const ViewNode& c : n.children) node_declaration(c, depth + 1, false, out);
  if (!primary) *out += std::string(static_cast<size_t>(2 * (depth - 1)), ' ') + "END\r\n";
}

}  // namespace

TraceSwitches view_trace_switches() {
  TraceSwitches s;
  s.profile = platform::GetProfileInt("QWVIEW", "Profile", 0) != 0;
  if (s.profile) s.file = trace_file("QWVIEW", "VIEW.LOG");
  return s;
}

std::string view_trace_line(int32_t operation, uintptr_t view, int error, uint32_t hundredths) {
  char head[128];
  std::snprintf(head, sizeof head, "%s(VIEW:%lX: %ld) ", operation_name(operation), static_cast<unsigned long>(view),
                trace_thread_number());
  char padded[160];
  std::snprintf(padded, sizeof padded, "%-24s", head);
  return padded + trace_timing(error, hundredths);
}

std::string view_declaration(const ViewNode& primary) {
  std::string out = "VIEW(FILE)\r\n";
  node_declaration(primary, 1, true, &out);
  return out + "END\r\n";
}

}  // namespace vrt::data
