#include "runtime/data/view/field_binding.h"

#include <cctype>
#include <cstring>

#include "runtime/core/expression/evaluate.h"
#include "runtime/core/values/value.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/record_layout.h"

namespace vrt::data {

namespace {

bool integer_type(int t) {
  return t == kTypeByte || t == kTypeShort || t == kTypeUshort || t == kTypeLong || t == kTypeUlong ||
         t == kTypeDate || t == kTypeTime;
}

}  // namespace

core::ExprValue read_field_value(const FileBlock& file, size_t index) {
  const FieldDescriptor& d = file.declaration.fields[index];
  if (d.offset + d.total_size() > file.record.size()) return {};
  uint8_t* data = const_cast<uint8_t*>(file.record.data()) + d.offset;
  // The common key fields, read straight from the buffer.
  if (d.type == kTypeLong) {
    int32_t v;
    std::memcpy(&v, data, 4);
    return core::ExprValue::of_integer(v);
  }
  auto v = core::make_value(static_cast<core::TypeCode>(d.type), data, d.size, static_cast<uint8_t>(d.places));
  if (!v) return {};
  if (is_string_type(d.type)) return core::ExprValue::of_string(v->get_text());
  if (integer_type(d.type)) return core::ExprValue::of_integer(v->get_long());
  return core::ExprValue::of_real(v->get_real());
}

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

void bind_record_fields(FileBlock& file) {
  for (size_t i = 0; i < file.declaration.fields.size(); ++i) {
    if (file.declaration.fields[i].type == kTypeGroup) continue;
    core::Bind(file.declaration.fields[i].label, [&file, i] { return read_field_value(file, i); });
  }
}

FieldResolver view_field_resolver(const FileBlock& primary, std::vector<const FileBlock*> others) {
  return [&primary, others](const std::string& name) {
    for (size_t i = 0; i < primary.declaration.fields.size(); ++i)
      if (upper(primary.declaration.fields[i].label) == name) return static_cast<int>(i + 1);
    for (const FileBlock* o : others)
      for (const FieldDescriptor& f : o->declaration.fields)
        if (upper(f.label) == name) return kOtherViewField;
    return kNotAField;
  };
}

}  // namespace vrt::data
