// bdx query FILE --filter EXPRESSION [--order LIST] [--key LABEL]
//                [--backwards] [--csv] [--explain]
// Runs a view over the file: a header line of labels, then one line per
// row (tab-separated, tabs and line ends escaped as dump does; or CSV).
// --key names the key to prefer; --order gives the order ("CUS:NAME,
// -CUS:ID"); --explain prints instead the key chosen, the bounds found and
// how many key entries were read.
#include <cstdio>

#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/evaluate.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/view/view.h"
#include "tools/bdx/command.h"
#include "tools/bdx/csv.h"
#include "tools/bdx/csv_import.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

int query_cmd(const Args& in) {
  Args args = in;
  std::string filter, order, key_name;
  take_option(args, "--filter", &filter);
  take_option(args, "--order", &order);
  bool has_key = take_option(args, "--key", &key_name);
  bool backwards = take_flag(args, "--backwards");
  bool csv = take_flag(args, "--csv");
  bool explain = take_flag(args, "--explain");
  if (args.size() != 1) return usage_error("query");
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadOnly | data::kDenyNone) != 0) return posted_failure();
  data::bind_record_fields(f);
  data::View view(data::view_node(f), data::view_field_resolver(f));
  if (!view.set_filter(filter) || !view.set_order(order)) return posted_failure();
  if (has_key) {
    int k = key_by_label(f.declaration, key_name);
    if (k < 0) {
      std::fprintf(stderr, "bdx: no key %s\n", key_name.c_str());
      return 2;
    }
    view.set_preferred_key(k);
  }
  view.set();
  const auto& fields = f.declaration.fields;
  std::vector<size_t> shown;
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type != data::kTypeGroup) shown.push_back(i);
  const char* separator = csv ? "," : "\t";
  if (!explain) {
    for (size_t i = 0; i < shown.size(); ++i)
      std::printf("%s%s", i ? separator : "", (csv ? csv_quote(fields[shown[i]].label) : fields[shown[i]].label).c_str());
    std::printf("\n");
  }
  long rows = 0;
  while (backwards ? view.previous() : view.next()) {
    ++rows;
    if (explain) continue;
    for (size_t i = 0; i < shown.size(); ++i) {
      std::string v = field_text(f, shown[i]);
      std::printf("%s%s", i ? separator : "", (csv ? csv_quote(v) : tab_value(v)).c_str());
    }
    std::printf("\n");
  }
  if (core::error_code() != 33) return posted_failure();
  if (explain) std::printf("%srows: %ld\n", view.explain().c_str(), rows);
  return 0;
}

RegisterCommand r1({"query", "FILE --filter EXPRESSION [--order LIST] [--key LABEL] [--backwards] [--csv] [--explain]",
                    query_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
