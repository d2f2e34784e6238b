// The packed storage forms DECIMAL and PDECIMAL (n bytes, s places): 2n - 1
// decimal digits, two to a byte, high nibble first, the s least significant
// being the fraction.
//
//   DECIMAL(3,2) of -123.45     PDECIMAL(3,2) of -123.45
//   byte 0  F 1   sign, digit   byte 0  1 2   digits
//   byte 1  2 3   digits        byte 1  3 4   digits
//   byte 2  4 5   digits        byte 2  5 D   digit, sign
//
// DECIMAL: the high nibble of the first byte is the sign, 0 positive, any
// other value negative (written as F). PDECIMAL: the low nibble of the last
// byte is the sign, D negative, anything else positive (written as F).
// Stored fields are untrusted: a digit nibble above 9 reads as 0.
#pragma once
#include <cstdint>

#include "runtime/core/values/decimal.h"

namespace vrt::core {

inline constexpr int kMaxDecimalBytes = 16;  // 31 digits
inline constexpr int kMaxDecimalPlaces = 31;

struct DecimalField {
  uint8_t* bytes;
  int size;    // n, 1-16 (larger sizes are taken as 16)
  int places;  // s, 0-31
  bool sign_last;  // PDECIMAL
};

Decimal decimal_from_field(const uint8_t* bytes, int size, int places, bool sign_last);
// Rounds to the field's places, then keeps the 2n - 1 digits from
// 10^(2n-2-s) down to 10^-s; higher digits are lost (kOverflow).
DecimalStatus decimal_to_field(const Decimal& value, uint8_t* bytes, int size, int places, bool sign_last);

}  // namespace vrt::core
