#include "runtime/core/values/decimal_stack.h"

#include "runtime/core/values/decimal_field.h"
#include "runtime/core/base/fatal_error.h"
#include "runtime/core/values/number_text.h"

namespace vrt::core {

namespace {
constexpr int kMessageStackOverflow = 401;
}  // namespace

DecimalStack& decimal_stack() {
  thread_local DecimalStack stack;
  return stack;
}

void DecimalStack::push(const Decimal& value) {
  if (count_ == kDepth) {
    fatal_runtime_error(kMessageStackOverflow);
    return;  // the program's handler chose to go on: the push is lost
  }
  entries_[count_++] = value;
}

void DecimalStack::push_long(int32_t value) { push(decimal_from_long(value)); }
void DecimalStack::push_unsigned(uint32_t value) { push(decimal_from_unsigned(value)); }
void DecimalStack::push_real(double value) { push(decimal_from_real(value)); }
void DecimalStack::push_text(const std::string& text) { push(decimal_from_text(text)); }

void DecimalStack::push_decimal_field(const uint8_t* bytes, int size, int places) {
  push(decimal_from_field(bytes, size, places, false));
}

void DecimalStack::push_pdecimal_field(const uint8_t* bytes, int size, int places) {
  push(decimal_from_field(bytes, size, places, true));
}

Decimal DecimalStack::pop() { return count_ > 0 ? entries_[--count_] : decimal_zero(); }

const Decimal& DecimalStack::top() const {
  static const Decimal zero = decimal_zero();
  return count_ > 0 ? entries_[count_ - 1] : zero;
}

DecimalStatus DecimalStack::pop_decimal_field(uint8_t* bytes, int size, int places) {
  return decimal_to_field(pop(), bytes, size, places, false);
}

DecimalStatus DecimalStack::pop_pdecimal_field(uint8_t* bytes, int size, int places) {
  return decimal_to_field(pop(), bytes, size, places, true);
}

std::string DecimalStack::pop_text() { return decimal_to_text(pop()); }

DecimalStatus DecimalStack::binary(DecimalStatus (*op)(const Decimal&, const Decimal&, Decimal*)) {
  Decimal right = pop();
  Decimal left = pop();
  Decimal result;
  DecimalStatus status = op(left, right, &result);
  push(result);
  return status;
}

DecimalStatus DecimalStack::Add() { return binary(decimal_add); }
DecimalStatus DecimalStack::Subtract() { return binary(decimal_subtract); }
DecimalStatus DecimalStack::Multiply() { return binary(decimal_multiply); }
DecimalStatus DecimalStack::Divide() { return binary(decimal_divide); }

DecimalStatus DecimalStack::Power(int32_t n) {
  Decimal result;
  DecimalStatus status = decimal_power(pop(), n, &result);
  push(result);
  return status;
}

void DecimalStack::Abs() { push(decimal_abs(pop())); }

DecimalStatus DecimalStack::Round(int places) {
  Decimal d = pop();
  DecimalStatus status = decimal_round(&d, places);
  push(d);
  return status;
}

int DecimalStack::Compare() {
  Decimal right = pop();
  Decimal left = pop();
  return decimal_compare(left, right);
}

uint8_t DecimalStack::Sign() const { return decimal_sign(top()); }

int32_t DecimalStack::IntegerPart() { return decimal_integer_part(pop()); }

}  // namespace vrt::core
