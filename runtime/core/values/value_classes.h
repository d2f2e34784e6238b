// The value object of each storage type. Most callers need only value.h and
// make_value(); the classes are here for code that knows its type.
//
// Each family implements the shared operations once over two primitives
// (load and store of an integer, a real, a decimal or a text); the classes
// supply the primitives for their byte layouts.
#pragma once
#include <cstdint>

#include "runtime/core/values/value.h"

namespace vrt::core {

// BYTE, SHORT, USHORT, LONG, ULONG, DATE and TIME: integers (a DATE or TIME
// reads and writes as its standard date or time).
class IntegerValue : public Value {
 public:
  int32_t get_long() const override;
  void set_long(int32_t value) override;
  double get_real() const override;
  void set_real(double value) override;
  Decimal get_decimal() const override;
  void set_decimal(const Decimal& value) override;
  std::string get_text() const override;
  void set_text(std::string_view text) override;
  void clear() override { store(0); }

 protected:
  explicit IntegerValue(uint8_t* data) : data_(data) {}
  virtual int64_t load() const = 0;
  virtual void store(int64_t value) = 0;
  uint8_t* data_;
};

// One class per type; load() and store() are specialised per layout in
// value_numeric.cpp.
template <TypeCode Code>
class IntegerField final : public IntegerValue {
 public:
  explicit IntegerField(uint8_t* data) : IntegerValue(data) {}
  TypeCode type() const override { return Code; }
  uint32_t size() const override { return fixed_storage_size(Code); }

 protected:
  int64_t load() const override;
  void store(int64_t value) override;
};
using ByteValue = IntegerField<TypeCode::BYTE>;
using ShortValue = IntegerField<TypeCode::SHORT>;
using UShortValue = IntegerField<TypeCode::USHORT>;
using LongValue = IntegerField<TypeCode::LONG>;
using ULongValue = IntegerField<TypeCode::ULONG>;
using DateValue = IntegerField<TypeCode::DATE>;
using TimeValue = IntegerField<TypeCode::TIME>;
template <> int64_t ByteValue::load() const;
template <> void ByteValue::store(int64_t);
template <> int64_t ShortValue::load() const;
template <> void ShortValue::store(int64_t);
template <> int64_t UShortValue::load() const;
template <> void UShortValue::store(int64_t);
template <> int64_t LongValue::load() const;
template <> void LongValue::store(int64_t);
template <> int64_t ULongValue::load() const;
template <> void ULongValue::store(int64_t);
template <> int64_t DateValue::load() const;
template <> void DateValue::store(int64_t);
template <> int64_t TimeValue::load() const;
template <> void TimeValue::store(int64_t);

// SREAL, REAL, BFLOAT4 and BFLOAT8.
class FloatingValue : public Value {
 public:
  int32_t get_long() const override;
  void set_long(int32_t value) override { store(value); }
  double get_real() const override { return load(); }
  void set_real(double value) override { store(value); }
  Decimal get_decimal() const override;
  void set_decimal(const Decimal& value) override;
  std::string get_text() const override;
  void set_text(std::string_view text) override;
  void clear() override { store(0); }

 protected:
  explicit FloatingValue(uint8_t* data) : data_(data) {}
  virtual double load() const = 0;
  virtual void store(double value) = 0;
  uint8_t* data_;
};

template <TypeCode Code>
class FloatingField final : public FloatingValue {
 public:
  explicit FloatingField(uint8_t* data) : FloatingValue(data) {}
  TypeCode type() const override { return Code; }
  uint32_t size() const override { return fixed_storage_size(Code); }

 protected:
  double load() const override;
  void store(double value) override;
};
using SRealValue = FloatingField<TypeCode::SREAL>;
using RealValue = FloatingField<TypeCode::REAL>;
using BFloat4Value = FloatingField<TypeCode::BFLOAT4>;
using BFloat8Value = FloatingField<TypeCode::BFLOAT8>;
template <> double SRealValue::load() const;
template <> void SRealValue::store(double);
template <> double RealValue::load() const;
template <> void RealValue::store(double);
template <> double BFloat4Value::load() const;
template <> void BFloat4Value::store(double);
template <> double BFloat8Value::load() const;
template <> void BFloat8Value::store(double);

// DECIMAL and PDECIMAL (n bytes, s places).
class PackedValue : public Value {
 public:
  uint32_t size() const override { return size_; }
  int32_t get_long() const override;
  void set_long(int32_t value) override;
  double get_real() const override;
  void set_real(double value) override;
  Decimal get_decimal() const override;
  void set_decimal(const Decimal& value) override;
  std::string get_text() const override;
  void set_text(std::string_view text) override;
  void clear() override;

 protected:
  PackedValue(uint8_t* data, uint32_t size, uint8_t places, bool sign_last);
  uint8_t* data_;
  int size_;
  int places_;
  bool sign_last_;
};

class DecimalValue final : public PackedValue {
 public:
  DecimalValue(uint8_t* data, uint32_t size, uint8_t places) : PackedValue(data, size, places, false) {}
  TypeCode type() const override { return TypeCode::DECIMAL; }
};

class PDecimalValue final : public PackedValue {
 public:
  PDecimalValue(uint8_t* data, uint32_t size, uint8_t places) : PackedValue(data, size, places, true) {}
  TypeCode type() const override { return TypeCode::PDECIMAL; }
};

// STRING, CSTRING and PSTRING: numbers go through their text.
class TextValue : public Value {
 public:
  uint32_t size() const override { return size_; }
  int32_t get_long() const override;
  void set_long(int32_t value) override;
  double get_real() const override;
  void set_real(double value) override;
  Decimal get_decimal() const override;
  void set_decimal(const Decimal& value) override;
  void clear() override { set_text(std::string_view()); }

 protected:
  TextValue(uint8_t* data, uint32_t size) : data_(data), size_(size) {}
  uint8_t* data_;
  uint32_t size_;
};

// Blank padded to its size.
class StringValue final : public TextValue {
 public:
  StringValue(uint8_t* data, uint32_t size) : TextValue(data, size) {}
  TypeCode type() const override { return TypeCode::STRING; }
  std::string get_text() const override;
  void set_text(std::string_view text) override;
};

// Zero-terminated within its size (at most size - 1 characters are stored).
class CStringValue final : public TextValue {
 public:
  CStringValue(uint8_t* data, uint32_t size) : TextValue(data, size) {}
  TypeCode type() const override { return TypeCode::CSTRING; }
  std::string get_text() const override;
  void set_text(std::string_view text) override;
};

// A length byte, then at most size - 1 characters.
class PStringValue final : public TextValue {
 public:
  PStringValue(uint8_t* data, uint32_t size) : TextValue(data, size) {}
  TypeCode type() const override { return TypeCode::PSTRING; }
  std::string get_text() const override;
  void set_text(std::string_view text) override;
};

}  // namespace vrt::core
