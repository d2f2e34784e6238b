#include "tools/bdx/table_access.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "runtime/core/base/error_state.h"
#include "runtime/core/values/value.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "tools/bdx/owner.h"
#include "tools/bdx/server_table.h"

namespace vrt::bdx_tool {

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::unique_ptr<core::Value> value_of(data::FileBlock& f, size_t field) {
  const data::FieldDescriptor& d = f.declaration.fields[field];
  if (d.type == data::kTypeGroup || d.offset + d.size > f.record.size()) return nullptr;
  return core::make_value(static_cast<core::TypeCode>(d.type), f.record.data() + d.offset, d.size,
                          static_cast<uint8_t>(d.places));
}

}  // namespace

int open_stored_table(const std::string& name, data::FileBlock& file, int32_t mode) {
  if (is_server_name(name)) return open_server_table(name, file, mode);
  data::FileDeclaration d;
  int code = data::stored_declaration(name, &d, file_owner());
  if (code != 0) {
    core::post_error(code);
    core::set_error_file(name);
    return code;
  }
  data::make_bdx_file_block(file, std::move(d));
  data::Open(file, mode);
  return core::error_code();
}

std::string field_text(data::FileBlock& f, size_t field) {
  auto v = value_of(f, field);
  if (!v) return {};
  std::string t = v->get_text();
  if (v->is_text()) t.erase(t.find_last_not_of(' ') + 1);
  return t;
}

namespace {
// Whether a declared label is the wanted one, with or without its prefix.
bool label_is(const std::string& declared, const std::string& want) {
  std::string l = upper(declared);
  size_t colon = l.find(':');
  return l == want || (colon != std::string::npos && l.substr(colon + 1) == want);
}
}  // namespace

int field_by_label(const data::FileDeclaration& d, const std::string& label) {
  std::string want = upper(label);
  for (size_t i = 0; i < d.fields.size(); ++i)
    if (label_is(d.fields[i].label, want)) return static_cast<int>(i);
  return -1;
}

int memo_by_label(const data::FileDeclaration& d, const std::string& label) {
  std::string want = upper(label);
  for (size_t i = 0; i < d.memos.size(); ++i)
    if (label_is(d.memos[i].label, want)) return static_cast<int>(i);
  return -1;
}

int key_by_label(const data::FileDeclaration& d, const std::string& label) {
  std::string want = upper(label);
  for (size_t i = 0; i < d.keys.size(); ++i)
    if (label_is(d.keys[i].label, want)) return static_cast<int>(i);
  char* end = nullptr;
  long n = std::strtol(label.c_str(), &end, 10);
  if (!label.empty() && *end == 0 && n >= 1 && static_cast<size_t>(n) <= d.keys.size()) return static_cast<int>(n - 1);
  return -1;
}

}  // namespace vrt::bdx_tool
