// The decimal stack: the evaluation stack through which compiled code and
// the runtime pass exact decimal numbers. Each thread has its own, since an
// expression is always evaluated on one thread.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/core/values/decimal.h"

namespace vrt::core {

class DecimalStack {
 public:
  // Deep enough for the nesting of any expression; a push onto a full stack
  // raises fatal runtime error 401 ("Stack overflow").
  static constexpr int kDepth = 32;

  int depth() const { return count_; }
  void clear() { count_ = 0; }

  void push(const Decimal& value);
  void push_long(int32_t value);
  void push_unsigned(uint32_t value);
  void push_real(double value);
  void push_text(const std::string& text);
  void push_decimal_field(const uint8_t* bytes, int size, int places);
  void push_pdecimal_field(const uint8_t* bytes, int size, int places);

  // Popping an empty stack gives zero.
  Decimal pop();
  const Decimal& top() const;
  // Round to the field's places, then store.
  DecimalStatus pop_decimal_field(uint8_t* bytes, int size, int places);
  DecimalStatus pop_pdecimal_field(uint8_t* bytes, int size, int places);
  std::string pop_text();

  // Binary operations pop the right operand, then the left, and push the
  // result.
  DecimalStatus Add();
  DecimalStatus Subtract();
  DecimalStatus Multiply();
  DecimalStatus Divide();
  // The top to the power n.
  DecimalStatus Power(int32_t n);
  void Abs();
  DecimalStatus Round(int places);
  // Pops both operands: negative, 0 or positive as left compares to right.
  int Compare();
  // Of the top, left in place: 0 zero, 1 positive, 255 negative.
  uint8_t Sign() const;
  // Pops the top and returns its integer part (truncated toward zero).
  int32_t IntegerPart();

 private:
  DecimalStatus binary(DecimalStatus (*op)(const Decimal&, const Decimal&, Decimal*));
  Decimal entries_[kDepth];
  int count_ = 0;
};

// This thread's decimal stack.
DecimalStack& decimal_stack();

}  // namespace vrt::core
