#include "app/dictionary/record_fields.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "runtime/core/values/decimal.h"
#include "runtime/core/values/decimal_field.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/record_layout.h"

namespace marlock {

using vrt::data::FieldDescriptor;

const FieldDescriptor& RecordFields::field(std::string_view label) const {
  int n = vrt::data::find_field(declaration_, std::string(label));
  // The labels come from the program's own code and dictionary.
  if (n <= 0) {
    std::fprintf(stderr, "marlock: no field %.*s in %s\n", static_cast<int>(label.size()), label.data(),
                 declaration_.label.c_str());
    std::abort();
  }
  return declaration_.fields[static_cast<size_t>(n - 1)];
}

void RecordFields::clear() {
  for (const FieldDescriptor& f : declaration_.fields) {
    if (f.type == vrt::data::kTypeString)
      std::memset(at(f), ' ', f.total_size());
    else if (f.type == vrt::data::kTypeDecimal)
      vrt::core::decimal_to_field(vrt::core::decimal_zero(), at(f), static_cast<int>(f.size),
                                  static_cast<int>(f.places), false);
    else
      std::memset(at(f), 0, f.total_size());
  }
}

void RecordFields::set_long(std::string_view label, int32_t value) { std::memcpy(at(field(label)), &value, 4); }

void RecordFields::set_byte(std::string_view label, uint8_t value) { *at(field(label)) = value; }

void RecordFields::set_string(std::string_view label, std::string_view value) {
  const FieldDescriptor& f = field(label);
  std::memset(at(f), ' ', f.size);
  std::memcpy(at(f), value.data(), std::min<size_t>(value.size(), f.size));
}

void RecordFields::set_decimal(std::string_view label, const std::string& text) {
  const FieldDescriptor& f = field(label);
  vrt::core::decimal_to_field(vrt::core::decimal_from_text(text), at(f), static_cast<int>(f.size),
                              static_cast<int>(f.places), false);
}

int32_t RecordFields::get_long(std::string_view label) const {
  int32_t v;
  std::memcpy(&v, at(field(label)), 4);
  return v;
}

uint8_t RecordFields::get_byte(std::string_view label) const { return *at(field(label)); }

std::string RecordFields::get_string(std::string_view label) const {
  const FieldDescriptor& f = field(label);
  std::string s(reinterpret_cast<const char*>(at(f)), f.size);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string RecordFields::get_decimal(std::string_view label) const {
  const FieldDescriptor& f = field(label);
  vrt::core::Decimal d =
      vrt::core::decimal_from_field(at(f), static_cast<int>(f.size), static_cast<int>(f.places), false);
  return vrt::core::decimal_to_text(d);
}

}  // namespace marlock
