// bdx import and dump.
//
//   bdx import FILE CSV   one ADD per CSV record (csv_import.h). Prints the
//                         number of records added; a record that fails
//                         prints "line N: error C: TEXT" or "line N: what
//                         does not fit" (N its first line) and ends the
//                         import, exit 1: nothing of it is stored, the
//                         records before it stay, and standard error says
//                         how many were stored.
//   bdx dump FILE [--key LABEL-OR-NUMBER] [--csv]
//                         record order, or a key's order (keys numbered from
//                         1); a header line of labels, then one line per
//                         record, values separated by tabs (or as CSV);
//                         memos and blobs follow the fields, written as
//                         import reads them. In the tab form every value's
//                         tabs, line ends and backslashes are written \t,
//                         \n, \r and \\; the CSV form is what import reads.
#include <cstdio>
#include <fstream>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "tools/bdx/command.h"
#include "tools/bdx/csv.h"
#include "tools/bdx/csv_import.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

int import_cmd(const Args& args) {
  if (args.size() != 2) return usage_error("import");
  std::ifstream in(args[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bdx: cannot read %s\n", args[1].c_str());
    return 1;
  }
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadWrite | data::kDenyNone) != 0) return posted_failure();
  ImportResult result;
  if (!import_csv(f, in, &result)) {
    std::printf("line %ld: %s\n", result.line, result.problem.c_str());
    if (result.line > 1) std::fprintf(stderr, "bdx: %ld records stored\n", result.stored);
    return 1;
  }
  std::printf("%ld\n", result.stored);
  return 0;
}

int dump_cmd(const Args& in) {
  Args args = in;
  std::string key_name;
  bool by_key = take_option(args, "--key", &key_name);
  bool csv = take_flag(args, "--csv");
  if (args.size() != 1) return usage_error("dump");
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadOnly | data::kDenyNone) != 0) return posted_failure();
  const auto& fields = f.declaration.fields;
  std::vector<size_t> shown;
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type != data::kTypeGroup) shown.push_back(i);
  const auto& memos = f.declaration.memos;
  const char* separator = csv ? "," : "\t";
  std::vector<std::string> labels;
  for (size_t i : shown) labels.push_back(fields[i].label);
  for (const data::MemoBlock& m : memos) labels.push_back(m.label);
  for (size_t i = 0; i < labels.size(); ++i)
    std::printf("%s%s", i ? separator : "", (csv ? csv_quote(labels[i]) : labels[i]).c_str());
  std::printf("\n");
  if (by_key) {
    int k = key_by_label(f.declaration, key_name);
    if (k < 0) {
      std::fprintf(stderr, "bdx: no key %s\n", key_name.c_str());
      return 2;
    }
    data::Set(f.declaration.keys[static_cast<size_t>(k)]);
  } else {
    data::Set(f);
  }
  if (core::error_code() != 0) return posted_failure();
  for (;;) {
    data::Next(f);
    if (core::error_code() == 33) break;
    if (core::error_code() != 0) return posted_failure();
    for (size_t i = 0; i < shown.size(); ++i) {
      std::string v = field_text(f, shown[i]);
      std::printf("%s%s", i ? separator : "", (csv ? csv_quote(v) : tab_value(v)).c_str());
    }
    for (size_t i = 0; i < memos.size(); ++i) {
      const data::MemoBlock& m = memos[i];
      std::string v = m.is_blob() ? to_hex(m.value) : csv ? csv_quote(m.value) : tab_value(m.value);
      if (i || !shown.empty()) std::fputs(separator, stdout);
      std::fwrite(v.data(), 1, v.size(), stdout);
    }
    std::printf("\n");
  }
  return 0;
}

RegisterCommand r1({"import", "FILE CSV", import_cmd});
RegisterCommand r2({"dump", "FILE [--key LABEL-OR-NUMBER] [--csv]", dump_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
