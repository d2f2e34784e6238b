#include "runtime/core/values/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vrt::core {

namespace {

// Exponents beyond this are far outside every numeric type; clamping keeps
// the arithmetic on them in range.
constexpr int kExponentLimit = 100000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// 10^k for the scaling of reals, k in 0..kPowers-1, built once.
constexpr int kPowers = 360;
const long double* powers_of_ten() {
  static const auto* table = [] {
    auto* t = new long double[kPowers];
    for (int k = 0; k < kPowers; ++k) t[k] = powl(10.0L, k);
    return t;
  }();
  return table;
}

long double scale_by_ten(long double x, int k) {
  const long double* p = powers_of_ten();
  while (k >= kPowers) {
    x *= p[kPowers - 1];
    k -= kPowers - 1;
  }
  while (k <= -kPowers) {
    x /= p[kPowers - 1];
    k += kPowers - 1;
  }
  return k >= 0 ? x * p[k] : x / p[-k];
}

void append(DigitString& d, char c) {
  if (d.count < DigitString::kMaxDigits) d.digits[d.count++] = c;
}

}  // namespace

DigitString digits_from_text(std::string_view text) {
  DigitString d;
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  if (i < n && text[i] == '-') {
    d.negative = true;
    ++i;
  }
  int integer_digits = 0;  // significant integer digits, dropped ones included
  for (; i < n && is_digit(text[i]); ++i) {
    if (integer_digits == 0 && text[i] == '0') continue;
    append(d, text[i]);
    ++integer_digits;
  }
  int point = integer_digits;
  int places = 0;
  if (i < n && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < n && is_digit(text[i]); ++i) {
      ++places;
      if (d.count == 0 && text[i] == '0') {
        --point;  // 0.0x: the first significant digit moves right
        continue;
      }
      append(d, text[i]);
    }
  }
  int exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    size_t j = i + 1;
    bool negative_exponent = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) negative_exponent = text[j++] == '-';
    for (; j < n && is_digit(text[j]); ++j)
      if (exponent < kExponentLimit) exponent = exponent * 10 + (text[j] - '0');
    if (negative_exponent) exponent = -exponent;
  }
  // Trailing zeros carry nothing once the places are known.
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) return DigitString{false, 0, 0, places > exponent ? places - exponent : 0, {}};
  d.point = point + exponent;
  d.places = places > exponent ? places - exponent : 0;
  return d;
}

DigitString digits_from_long(int64_t value) {
  DigitString d;
  if (value == 0) return d;
  d.negative = value < 0;
  uint64_t magnitude = d.negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char rev[20];
  int n = 0;
  while (magnitude) {
    rev[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  d.point = n;
  int zeros = 0;  // trailing zeros carry nothing
  while (rev[zeros] == '0') ++zeros;
  for (int i = n - 1; i >= zeros; --i) d.digits[d.count++] = rev[i];
  return d;
}

DigitString digits_from_real(double value) {
  DigitString d;
  if (!std::isfinite(value) || value == 0) return d;
  d.negative = value < 0;
  long double x = std::fabs(static_cast<long double>(value));
  int e10 = static_cast<int>(std::floor(std::log10(static_cast<double>(x))));
  constexpr uint64_t kLow = 100000000000000ULL;  // 10^14
  constexpr uint64_t kHigh = kLow * 10;          // 10^15
  uint64_t m = static_cast<uint64_t>(llroundl(scale_by_ten(x, 14 - e10)));
  if (m >= kHigh) {
    ++e10;
    m = static_cast<uint64_t>(llroundl(scale_by_ten(x, 14 - e10)));
  } else if (m < kLow) {
    --e10;
    m = static_cast<uint64_t>(llroundl(scale_by_ten(x, 14 - e10)));
  }
  if (m >= kHigh) {  // rounding carried into a sixteenth digit: 9.99..95
    m /= 10;
    ++e10;
  }
  char buf[24];
  std::snprintf(buf, sizeof buf, "%015llu", static_cast<unsigned long long>(m));
  for (int i = 0; i < 15; ++i) append(d, buf[i]);
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  d.point = e10 + 1;
  d.places = d.count > d.point ? d.count - d.point : 0;
  return d;
}

double digits_to_real(const DigitString& d) {
  if (d.count == 0) return 0;
  char buf[DigitString::kMaxDigits + 32];
  int n = 0;
  if (d.negative) buf[n++] = '-';
  buf[n++] = '.';
  std::memcpy(buf + n, d.digits, static_cast<size_t>(d.count));
  n += d.count;
  std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), "e%d", d.point);
  return std::strtod(buf, nullptr);
}

double text_to_real(std::string_view text) { return digits_to_real(digits_from_text(text)); }

int32_t text_to_long(std::string_view text) {
  DigitString d = digits_from_text(text);
  if (d.point > 10) return d.negative ? INT32_MIN : INT32_MAX;
  int64_t v = 0;
  for (int i = 0; i < d.point; ++i) v = v * 10 + (i < d.count ? d.digits[i] - '0' : 0);
  if (d.negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

size_t long_to_text(int64_t value, char* out) {
  char rev[24];
  size_t n = 0;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    rev[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  size_t len = 0;
  if (value < 0) out[len++] = '-';
  while (n) out[len++] = rev[--n];
  return len;
}

std::string long_to_text(int64_t value) {
  char buf[24];
  return std::string(buf, long_to_text(value, buf));
}

std::string digits_to_text(const DigitString& d) {
  if (d.count == 0) return "0";
  std::string s;
  if (d.negative) s += '-';
  if (d.point <= 0)
    s += '0';
  else
    for (int i = 0; i < d.point; ++i) s += i < d.count ? d.digits[i] : '0';
  int fraction = d.count - d.point;
  if (fraction < d.places) fraction = d.places;
  if (fraction > 0) {
    s += '.';
    for (int k = 0; k < fraction; ++k) {
      int i = d.point + k;  // index of the digit of 10^-(k+1)
      s += i >= 0 && i < d.count ? d.digits[i] : '0';
    }
  }
  return s;
}

std::string real_to_text(double value) {
  DigitString d = digits_from_real(value);
  if (d.count == 0) return "0";
  if (d.point <= 31 && d.point - d.count >= -32) return digits_to_text(d);
  std::string s;
  if (d.negative) s += '-';
  s += d.digits[0];
  if (d.count > 1) {
    s += '.';
    s.append(d.digits + 1, static_cast<size_t>(d.count - 1));
  }
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%+d", d.point - 1);
  return s + exp;
}

}  // namespace vrt::core
