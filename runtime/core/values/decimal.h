// The decimal accumulator and its exact arithmetic.
//
// An accumulator holds 64 decimal digits, one per byte: index 32 + k holds
// the digit of 10^k, so 32 integer digits (10^0 .. 10^31) and 32 fraction
// digits (10^-1 .. 10^-32).
//
//   OFFSET SIZE MEANING
//   0      64   digits, 0-9 each, least significant first
//   64     1    sign (1 negative, 0 positive)
//   65     1    index of the lowest digit in use (at most 32)
//   66     1    index of the highest digit in use (at least 32)
//
// The lowest index says how many fraction digits the value carries, so the
// text of a DECIMAL(5,2) field keeps its two places ("1.50"). Digits outside
// [low, high] are always zero.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/core/values/number_text.h"

namespace vrt::core {

inline constexpr int kDecimalDigits = 64;
inline constexpr int kDecimalUnits = 32;           // index of 10^0
inline constexpr int kDecimalMaxFraction = 32;     // 10^-32 is index 0
inline constexpr int kDecimalDivisionPlaces = 31;  // quotients are rounded here

struct Decimal {
  uint8_t digit[kDecimalDigits];
  uint8_t negative;
  uint8_t low;
  uint8_t high;
};
static_assert(sizeof(Decimal) == 67, "a decimal accumulator is 67 bytes");

// What an operation left behind. Overflow means digits above 10^31 were
// lost; a division by zero leaves zero.
enum class DecimalStatus : uint8_t { kOk, kOverflow, kDivideByZero };

Decimal decimal_zero();
Decimal decimal_from_long(int64_t value);
Decimal decimal_from_unsigned(uint64_t value);
// Fifteen significant digits, rounded; digits outside the accumulator's
// range are dropped. Infinities and NaN give zero.
Decimal decimal_from_real(double value);
// The runtime's text-to-number rules (see number_text.h); the fraction
// digits written are kept as the value's places.
Decimal decimal_from_text(const char* text, size_t length);
Decimal decimal_from_text(const std::string& text);
// Between the accumulator and a digit string (number_text.h); digits outside
// the accumulator's range are dropped.
Decimal decimal_from_digits(const DigitString& digits);
DigitString digits_from_decimal(const Decimal& d);

bool decimal_is_zero(const Decimal& d);
// 0 zero, 1 positive, 255 negative.
uint8_t decimal_sign(const Decimal& d);
// Magnitude and sign compared: negative, 0 or positive.
int decimal_compare(const Decimal& a, const Decimal& b);

DecimalStatus decimal_add(const Decimal& a, const Decimal& b, Decimal* result);
DecimalStatus decimal_subtract(const Decimal& a, const Decimal& b, Decimal* result);
// Exact; digits below 10^-32 are dropped.
DecimalStatus decimal_multiply(const Decimal& a, const Decimal& b, Decimal* result);
// Rounded half up to 31 fraction digits; trailing zero places are dropped.
DecimalStatus decimal_divide(const Decimal& a, const Decimal& b, Decimal* result);
// a to the power n; a negative n divides 1 by a^-n.
DecimalStatus decimal_power(const Decimal& a, int32_t n, Decimal* result);
Decimal decimal_abs(const Decimal& a);
Decimal decimal_negate(const Decimal& a);
// Half up on the magnitude, to `places` fraction digits (0-32); the value
// then carries exactly that many places.
DecimalStatus decimal_round(Decimal* d, int places);
// The integer part, truncated toward zero; values beyond the 32-bit range
// saturate.
int32_t decimal_integer_part(const Decimal& d);
double decimal_to_real(const Decimal& d);

// "-" for negatives, the integer digits ("0" when none), and "." with the
// fraction digits down to the lowest digit held.
std::string decimal_to_text(const Decimal& d);
// The same into a buffer of at least kDecimalTextSize bytes; returns the
// length (no terminating zero is written).
inline constexpr size_t kDecimalTextSize = 67;
size_t decimal_to_text(const Decimal& d, char* out);

}  // namespace vrt::core
