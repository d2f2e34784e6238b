// The numeric value objects: integers (with DATE and TIME), floating types
// and packed decimals.
#include <cmath>
#include <cstring>

#include "runtime/core/values/bfloat.h"
#include "runtime/core/values/dates.h"
#include "runtime/core/values/decimal_field.h"
#include "runtime/core/values/number_text.h"
#include "runtime/core/values/value_classes.h"

namespace vrt::core {

namespace {

uint64_t load_le(const uint8_t* p, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return v;
}

void store_le(uint8_t* p, int n, uint64_t v) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int64_t saturate(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Truncation toward zero; out-of-range values saturate and NaN gives 0, so
// no conversion is left undefined.
int64_t real_to_integer(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return INT64_MAX;
  if (v <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(v);
}

int64_t decimal_to_integer(const Decimal& d) {
  DigitString s = digits_from_decimal(d);
  if (s.point > 18) return s.negative ? INT64_MIN : INT64_MAX;
  int64_t v = 0;
  for (int i = 0; i < s.point; ++i) v = v * 10 + (i < s.count ? s.digits[i] - '0' : 0);
  return s.negative ? -v : v;
}

int32_t to_int32(int64_t v) { return static_cast<int32_t>(saturate(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// --- integers ------------------------------------------------------------

int32_t IntegerValue::get_long() const { return to_int32(load()); }
void IntegerValue::set_long(int32_t value) { store(value); }
double IntegerValue::get_real() const { return static_cast<double>(load()); }
void IntegerValue::set_real(double value) { store(real_to_integer(value)); }
Decimal IntegerValue::get_decimal() const { return decimal_from_long(load()); }
void IntegerValue::set_decimal(const Decimal& value) { store(decimal_to_integer(value)); }
std::string IntegerValue::get_text() const { return long_to_text(load()); }
void IntegerValue::set_text(std::string_view text) { set_decimal(decimal_from_digits(digits_from_text(text))); }

// Narrower types keep the low bytes, as an assignment in the language does.
template <> int64_t ByteValue::load() const { return data_[0]; }
template <> void ByteValue::store(int64_t v) { data_[0] = static_cast<uint8_t>(v); }
template <> int64_t ShortValue::load() const { return static_cast<int16_t>(load_le(data_, 2)); }
template <> void ShortValue::store(int64_t v) { store_le(data_, 2, static_cast<uint64_t>(v)); }
template <> int64_t UShortValue::load() const { return static_cast<int64_t>(load_le(data_, 2)); }
template <> void UShortValue::store(int64_t v) { store_le(data_, 2, static_cast<uint64_t>(v)); }
template <> int64_t LongValue::load() const { return static_cast<int32_t>(load_le(data_, 4)); }
template <> void LongValue::store(int64_t v) { store_le(data_, 4, static_cast<uint64_t>(v)); }
template <> int64_t ULongValue::load() const { return static_cast<int64_t>(load_le(data_, 4)); }
template <> void ULongValue::store(int64_t v) { store_le(data_, 4, static_cast<uint64_t>(v)); }

// Dates and times read and write as standard dates and times; a value
// outside the 32-bit range is no valid date or time and stores zeros.
template <> int64_t DateValue::load() const { return date_from_storage(data_); }
template <> void DateValue::store(int64_t v) {
  date_to_storage(v == to_int32(v) ? static_cast<int32_t>(v) : 0, data_);
}
template <> int64_t TimeValue::load() const { return time_from_storage(data_); }
template <> void TimeValue::store(int64_t v) {
  time_to_storage(v == to_int32(v) ? static_cast<int32_t>(v) : 0, data_);
}

// --- floating ------------------------------------------------------------

int32_t FloatingValue::get_long() const { return to_int32(real_to_integer(load())); }
Decimal FloatingValue::get_decimal() const { return decimal_from_real(load()); }
void FloatingValue::set_decimal(const Decimal& value) { store(decimal_to_real(value)); }
std::string FloatingValue::get_text() const { return real_to_text(load()); }
void FloatingValue::set_text(std::string_view text) { store(text_to_real(text)); }

template <> double SRealValue::load() const {
  float f;
  std::memcpy(&f, data_, sizeof f);
  return f;
}
template <> void SRealValue::store(double v) {
  auto f = static_cast<float>(v);
  std::memcpy(data_, &f, sizeof f);
}
template <> double RealValue::load() const {
  double d;
  std::memcpy(&d, data_, sizeof d);
  return d;
}
template <> void RealValue::store(double v) { std::memcpy(data_, &v, sizeof v); }
template <> double BFloat4Value::load() const { return bfloat4_to_real(data_); }
template <> void BFloat4Value::store(double v) { real_to_bfloat4(v, data_); }
template <> double BFloat8Value::load() const { return bfloat8_to_real(data_); }
template <> void BFloat8Value::store(double v) { real_to_bfloat8(v, data_); }

// --- packed decimals -----------------------------------------------------

PackedValue::PackedValue(uint8_t* data, uint32_t size, uint8_t places, bool sign_last)
    : data_(data),
      size_(static_cast<int>(size < 1 ? 1 : (size > kMaxDecimalBytes ? kMaxDecimalBytes : size))),
      places_(places > kMaxDecimalPlaces ? kMaxDecimalPlaces : places),
      sign_last_(sign_last) {}

int32_t PackedValue::get_long() const { return decimal_integer_part(get_decimal()); }
void PackedValue::set_long(int32_t value) { set_decimal(decimal_from_long(value)); }
double PackedValue::get_real() const { return decimal_to_real(get_decimal()); }
void PackedValue::set_real(double value) { set_decimal(decimal_from_real(value)); }
Decimal PackedValue::get_decimal() const { return decimal_from_field(data_, size_, places_, sign_last_); }
void PackedValue::set_decimal(const Decimal& value) { decimal_to_field(value, data_, size_, places_, sign_last_); }
std::string PackedValue::get_text() const { return decimal_to_text(get_decimal()); }
void PackedValue::set_text(std::string_view text) { set_decimal(decimal_from_digits(digits_from_text(text))); }
void PackedValue::clear() { set_decimal(decimal_zero()); }

}  // namespace vrt::core
