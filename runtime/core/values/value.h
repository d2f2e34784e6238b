// Value objects: a value whose type is known only at run time (an ANY
// parameter, a field reached through a reference) is handled through an
// object of the class for its storage type. Every class shares the one
// table of virtual operations below; an operation that a type does not
// support raises the fatal runtime error with "Parameter typing error".
//
// A value object does not own its storage: it reads and writes the bytes
// of a field in a record buffer or a variable.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/core/values/decimal.h"
#include "runtime/core/values/type_codes.h"

namespace vrt::core {

inline constexpr const char* kParameterTypingError = "Parameter typing error";

class Value {
 public:
  virtual ~Value() = default;

  virtual TypeCode type() const = 0;
  // Bytes of storage.
  virtual uint32_t size() const = 0;

  virtual int32_t get_long() const;
  virtual void set_long(int32_t value);
  virtual double get_real() const;
  virtual void set_real(double value);
  virtual Decimal get_decimal() const;
  virtual void set_decimal(const Decimal& value);
  // Numbers in their plain text form; strings as stored (a STRING keeps its
  // trailing blanks).
  virtual std::string get_text() const;
  virtual void set_text(std::string_view text);
  // Negative, 0 or positive: texts compare as texts when both sides are
  // texts, otherwise as numbers.
  virtual int compare(const Value& other) const;
  // Zero, or blanks for a STRING.
  virtual void clear();

  bool is_text() const { return is_text_type(type()); }
};

// A value object over `size` bytes at `data` (DECIMAL and PDECIMAL use
// `places`). Fixed-size types ignore `size`. Types without a storage class
// give an object whose every operation raises "Parameter typing error".
std::unique_ptr<Value> make_value(TypeCode type, uint8_t* data, uint32_t size = 0, uint8_t places = 0);

}  // namespace vrt::core
