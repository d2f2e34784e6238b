#include "runtime/core/values/value.h"

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/values/number_text.h"
#include "runtime/core/base/string_compare.h"
#include "runtime/core/values/value_classes.h"

namespace vrt::core {

namespace {

void typing_error() { fatal_runtime_error(0, kParameterTypingError); }

bool is_real_type(TypeCode t) {
  return t == TypeCode::SREAL || t == TypeCode::REAL || t == TypeCode::BFLOAT4 || t == TypeCode::BFLOAT8;
}

// A type without a storage class: every operation is a typing error.
class UnsupportedValue final : public Value {
 public:
  explicit UnsupportedValue(TypeCode type) : type_(type) {}
  TypeCode type() const override { return type_; }
  uint32_t size() const override { return 0; }

 private:
  TypeCode type_;
};

}  // namespace

int32_t Value::get_long() const {
  typing_error();
  return 0;
}
void Value::set_long(int32_t) { typing_error(); }
double Value::get_real() const {
  typing_error();
  return 0;
}
void Value::set_real(double) { typing_error(); }
Decimal Value::get_decimal() const {
  typing_error();
  return decimal_zero();
}
void Value::set_decimal(const Decimal&) { typing_error(); }
std::string Value::get_text() const {
  typing_error();
  return std::string();
}
void Value::set_text(std::string_view) { typing_error(); }
void Value::clear() { typing_error(); }

int Value::compare(const Value& other) const {
  if (is_text() && other.is_text()) return compare_strings(get_text(), other.get_text());
  if (is_real_type(type()) || is_real_type(other.type())) return compare_reals(get_real(), other.get_real());
  return decimal_compare(get_decimal(), other.get_decimal());
}

std::unique_ptr<Value> make_value(TypeCode type, uint8_t* data, uint32_t size, uint8_t places) {
  switch (type) {
    case TypeCode::BYTE: return std::make_unique<ByteValue>(data);
    case TypeCode::SHORT: return std::make_unique<ShortValue>(data);
    case TypeCode::USHORT: return std::make_unique<UShortValue>(data);
    case TypeCode::DATE: return std::make_unique<DateValue>(data);
    case TypeCode::TIME: return std::make_unique<TimeValue>(data);
    case TypeCode::LONG: return std::make_unique<LongValue>(data);
    case TypeCode::ULONG: return std::make_unique<ULongValue>(data);
    case TypeCode::SREAL: return std::make_unique<SRealValue>(data);
    case TypeCode::REAL: return std::make_unique<RealValue>(data);
    case TypeCode::BFLOAT4: return std::make_unique<BFloat4Value>(data);
    case TypeCode::BFLOAT8: return std::make_unique<BFloat8Value>(data);
    case TypeCode::DECIMAL: return std::make_unique<DecimalValue>(data, size, places);
    case TypeCode::PDECIMAL: return std::make_unique<PDecimalValue>(data, size, places);
    case TypeCode::STRING: return std::make_unique<StringValue>(data, size);
    case TypeCode::CSTRING: return std::make_unique<CStringValue>(data, size);
    case TypeCode::PSTRING: return std::make_unique<PStringValue>(data, size);
    default: return std::make_unique<UnsupportedValue>(type);
  }
}

}  // namespace vrt::core
