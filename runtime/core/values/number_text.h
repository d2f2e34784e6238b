// Conversions between numbers and their text.
//
// Text to number: leading blanks are skipped and a "-" makes the number
// negative; integer digits follow, a "." or a "," starts the fraction, and
// "E" or "e" with an optional sign and digits gives a power of ten. Reading
// stops at the first other character; no digits give 0.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrt::core {

// A number as its significant digits: the value is 0.d1 d2 ... dn x 10^point
// (so "123.4" is digits "1234", point 3). No leading zeros; zero has count 0.
// `places` is the number of fraction digits the source wrote, so that
// trailing zeros of a fraction are not lost.
struct DigitString {
  static constexpr int kMaxDigits = 80;  // later digits are dropped
  bool negative = false;
  int point = 0;
  int count = 0;
  int places = 0;
  char digits[kMaxDigits];

  bool is_zero() const { return count == 0; }
};

// The text-to-number rules above.
DigitString digits_from_text(std::string_view text);
DigitString digits_from_long(int64_t value);
// Fifteen significant digits, rounded half up; infinities and NaN give 0.
DigitString digits_from_real(double value);

double text_to_real(std::string_view text);
// The integer part, truncated toward zero, saturating at the 32-bit range.
int32_t text_to_long(std::string_view text);
double digits_to_real(const DigitString& d);

// Decimal digits, "-" in front of negatives, no padding. Returns the length
// written to `out` (at least 21 bytes).
size_t long_to_text(int64_t value, char* out);
std::string long_to_text(int64_t value);
// Fifteen significant digits in plain decimal form ("0.1", "-2.5", "100");
// values of 10^31 and above, or with digits below 10^-32, use an exponent
// ("1.5E+40").
std::string real_to_text(double value);
// A digit string in plain decimal form with its places.
std::string digits_to_text(const DigitString& d);

}  // namespace vrt::core
