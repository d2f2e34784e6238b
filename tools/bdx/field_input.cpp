#include "tools/bdx/field_input.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

#include "runtime/core/values/number_text.h"
#include "runtime/core/values/decimal.h"
#include "runtime/core/values/value.h"
#include "runtime/data/driver/field_types.h"

namespace vrt::bdx_tool {

namespace {

using data::FieldDescriptor;

struct IntegerRange {
  uint8_t type;
  int64_t low, high;
};

const IntegerRange kIntegerRanges[] = {
    {data::kTypeByte, 0, UINT8_MAX},          {data::kTypeShort, INT16_MIN, INT16_MAX},
    {data::kTypeUshort, 0, UINT16_MAX},       {data::kTypeLong, INT32_MIN, INT32_MAX},
    {data::kTypeUlong, 0, UINT32_MAX},        {data::kTypeDate, INT32_MIN, INT32_MAX},
    {data::kTypeTime, INT32_MIN, INT32_MAX},
};

const IntegerRange* integer_range(uint8_t type) {
  for (const IntegerRange& r : kIntegerRanges)
    if (r.type == type) return &r;
  return nullptr;
}

bool is_real_type(uint8_t type) {
  return type == data::kTypeSreal || type == data::kTypeReal || type == data::kTypeBfloat4 ||
         type == data::kTypeBfloat8;
}

std::string trimmed(const std::string& text) {
  size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return text.substr(a, text.find_last_not_of(' ') - a + 1);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// [-+] digits [. digits] [e [-+] digits], with a digit on one side of the
// point at least.
bool is_number(const std::string& t) {
  size_t i = 0, n = t.size();
  if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
  size_t digits = 0;
  while (i < n && is_digit(t[i])) ++i, ++digits;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && is_digit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
    size_t exponent = 0;
    while (i < n && is_digit(t[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == n;
}

// The number's text as the runtime reads it: no "+" in front.
std::string unsigned_plus(const std::string& t) { return !t.empty() && t[0] == '+' ? t.substr(1) : t; }

// 10^n: the smallest magnitude that n integer digits cannot hold.
core::Decimal power_of_ten(int n) {
  core::Decimal r;
  core::decimal_power(core::decimal_from_long(10), n, &r);
  return r;
}

// The exact value the field is to hold, rounded to its places; false when
// the field cannot hold it.
bool exact_value(const FieldDescriptor& f, const std::string& t, core::Decimal* out) {
  core::DigitString digits = core::digits_from_text(t);
  if (!digits.is_zero() && digits.point > core::kDecimalUnits - 1) return false;  // beyond the accumulator
  core::Decimal d = core::decimal_from_text(t);
  const IntegerRange* range = integer_range(f.type);
  int places = range ? 0 : static_cast<int>(f.places);
  if (core::decimal_round(&d, places) != core::DecimalStatus::kOk) return false;
  if (range) {
    if (core::decimal_compare(d, core::decimal_from_long(range->low)) < 0 ||
        core::decimal_compare(d, core::decimal_from_long(range->high)) > 0)
      return false;
  } else {
    int integer_digits = static_cast<int>(f.digits()) - places;
    if (integer_digits < 0 || core::decimal_compare(core::decimal_abs(d), power_of_ten(integer_digits)) >= 0)
      return false;
  }
  *out = d;
  return true;
}

bool put_number(core::Value& v, const FieldDescriptor& f, const std::string& t, std::string* problem) {
  if (!is_number(t)) {
    *problem = "'" + t + "' is not a number";
    return false;
  }
  std::string text = unsigned_plus(t);
  std::string too_big = "'" + t + "' does not fit a " + data::field_type_name(f.type);
  if (is_real_type(f.type)) {
    double x = core::text_to_real(text);
    double limit = f.type == data::kTypeSreal || f.type == data::kTypeBfloat4 ? FLT_MAX : DBL_MAX;
    if (!std::isfinite(x) || std::fabs(x) > limit) {
      *problem = too_big;
      return false;
    }
    v.set_real(x);
    return true;
  }
  core::Decimal d;
  if (!exact_value(f, text, &d)) {
    *problem = too_big;
    return false;
  }
  // What the field reads back must be the value itself.
  v.set_text(core::decimal_to_text(d));
  if (core::decimal_compare(core::decimal_from_text(v.get_text()), d) != 0) {
    *problem = too_big;
    return false;
  }
  return true;
}

size_t text_capacity(const FieldDescriptor& f) {
  if (f.type == data::kTypeString) return f.size;
  if (f.type == data::kTypePstring) return f.size > 256 ? 255 : f.size - 1;
  return f.size - 1;  // CSTRING: its terminating zero
}

}  // namespace

bool importable_type(uint8_t type) {
  return integer_range(type) || is_real_type(type) || data::is_decimal_type(type) || data::is_string_type(type);
}

bool put_field_text(data::FileBlock& file, size_t field, const std::string& text, std::string* problem) {
  const FieldDescriptor& f = file.declaration.fields[field];
  if (!importable_type(f.type) || f.size == 0 || f.offset + f.size > file.record.size()) {
    *problem = f.label + " cannot be imported";
    return false;
  }
  uint8_t* at = file.record.data() + f.offset;
  auto v = core::make_value(static_cast<core::TypeCode>(f.type), at, f.size, static_cast<uint8_t>(f.places));
  if (data::is_string_type(f.type)) {
    std::string t = text;
    t.erase(t.find_last_not_of(' ') + 1);
    if (t.size() > text_capacity(f)) {
      *problem = f.label + ": '" + t + "' is longer than " + std::to_string(text_capacity(f)) + " characters";
      return false;
    }
    if (f.type == data::kTypeCstring && t.find('\0') != std::string::npos) {
      *problem = f.label + ": a CSTRING cannot hold a zero byte";
      return false;
    }
    v->set_text(t);
    return true;
  }
  std::string t = trimmed(text);
  if (t.empty()) {
    v->clear();
    return true;
  }
  std::vector<uint8_t> before(at, at + f.size);
  if (put_number(*v, f, t, problem)) return true;
  std::copy(before.begin(), before.end(), at);
  *problem = f.label + ": " + *problem;
  return false;
}

}  // namespace vrt::bdx_tool
