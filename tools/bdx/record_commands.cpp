// bdx import and dump.
//
//   bdx import FILE CSV   the CSV's first line names fields by label (with
//                         or without the prefix); each further line is one
//                         ADD. Prints the number of records added; a line
//                         that fails prints "line N: error C: TEXT" and
//                         ends the import (the lines before it stay), exit 1.
//   bdx dump FILE [--key LABEL-OR-NUMBER] [--csv]
//                         record order, or a key's order (keys numbered from
//                         1); a header line of labels, then one line per
//                         record, values separated by tabs (or as CSV).
#include <cstdio>
#include <fstream>

#include "runtime/core/error_state.h"
#include "runtime/data/bdx_driver.h"
#include "runtime/data/field_types.h"
#include "runtime/data/statements.h"
#include "tools/bdx/command.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

// Splits one CSV line; quoted values may hold commas and doubled quotes.
// False when a quote is left open.
bool split_csv(const std::string& line, std::vector<std::string>* out) {
  out->clear();
  std::string cur;
  bool quoted = false, was_quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cur += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cur += c;
      }
    } else if (c == '"' && cur.empty() && !was_quoted) {
      quoted = was_quoted = true;
    } else if (c == ',') {
      out->push_back(cur);
      cur.clear();
      was_quoted = false;
    } else if (c != '\r') {
      cur += c;
    }
  }
  out->push_back(cur);
  return !quoted;
}

std::string csv_value(const std::string& v) {
  if (v.find_first_of(",\"\n") == std::string::npos && (v.empty() || v[0] != ' ')) return v;
  std::string q = "\"";
  for (char c : v) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

int import_cmd(const Args& args) {
  if (args.size() != 2) return usage_error("import");
  std::ifstream in(args[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bdx: cannot read %s\n", args[1].c_str());
    return 1;
  }
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadWrite | data::kDenyNone) != 0) return posted_failure();
  std::string line;
  std::vector<std::string> cells;
  std::vector<int> columns;
  if (!std::getline(in, line) || !split_csv(line, &cells)) {
    std::printf("line 1: the header line of field labels is missing\n");
    return 1;
  }
  for (const std::string& label : cells) {
    int n = field_by_label(f.declaration, label);
    if (n < 0) {
      std::printf("line 1: no field %s\n", label.c_str());
      return 1;
    }
    columns.push_back(n);
  }
  long added = 0;
  for (long number = 2; std::getline(in, line); ++number) {
    if (line.empty() || line == "\r") continue;
    if (!split_csv(line, &cells) || cells.size() != columns.size()) {
      std::printf("line %ld: expected %zu values\n", number, columns.size());
      return 1;
    }
    clear_record(f);
    for (size_t i = 0; i < cells.size(); ++i) set_field_text(f, static_cast<size_t>(columns[i]), cells[i]);
    data::Add(f);
    if (core::error_code() != 0) {
      std::printf("line %ld: error %d: %s\n", number, core::error_code(), core::error_text().c_str());
      return 1;
    }
    ++added;
  }
  std::printf("%ld\n", added);
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
  const char* separator = csv ? "," : "\t";
  for (size_t i = 0; i < shown.size(); ++i)
    std::printf("%s%s", i ? separator : "", (csv ? csv_value(fields[shown[i]].label) : fields[shown[i]].label).c_str());
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
      std::printf("%s%s", i ? separator : "", (csv ? csv_value(v) : v).c_str());
    }
    std::printf("\n");
  }
  return 0;
}

RegisterCommand r1({"import", "FILE CSV", import_cmd});
RegisterCommand r2({"dump", "FILE [--key LABEL-OR-NUMBER] [--csv]", dump_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
