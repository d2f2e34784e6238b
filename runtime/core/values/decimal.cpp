#include "runtime/core/values/decimal.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/values/number_text.h"

namespace vrt::core {

namespace {

constexpr int kTop = kDecimalDigits - 1;

// Sets `high` to the highest non-zero digit (at least the units) and clears
// the sign of zero, so every value has one form.
void normalise(Decimal* d) {
  int h = kTop;
  while (h > kDecimalUnits && d->digit[h] == 0) --h;
  d->high = static_cast<uint8_t>(h);
  if (d->low > kDecimalUnits) d->low = kDecimalUnits;
  if (decimal_is_zero(*d)) d->negative = 0;
}

int compare_magnitudes(const Decimal& a, const Decimal& b) {
  for (int i = kTop; i >= 0; --i)
    if (a.digit[i] != b.digit[i]) return a.digit[i] < b.digit[i] ? -1 : 1;
  return 0;
}

// |a| + |b|; false when a carry leaves the top digit.
bool add_magnitudes(const Decimal& a, const Decimal& b, Decimal* r) {
  int low = a.low < b.low ? a.low : b.low;
  int carry = 0;
  for (int i = low; i <= kTop; ++i) {
    int s = a.digit[i] + b.digit[i] + carry;
    carry = s >= 10;
    r->digit[i] = static_cast<uint8_t>(carry ? s - 10 : s);
  }
  r->low = static_cast<uint8_t>(low);
  return carry == 0;
}

// |a| - |b| with |a| >= |b|.
void subtract_magnitudes(const Decimal& a, const Decimal& b, Decimal* r) {
  int low = a.low < b.low ? a.low : b.low;
  int borrow = 0;
  for (int i = low; i <= kTop; ++i) {
    int s = a.digit[i] - b.digit[i] - borrow;
    borrow = s < 0;
    r->digit[i] = static_cast<uint8_t>(borrow ? s + 10 : s);
  }
  r->low = static_cast<uint8_t>(low);
}

// a + b, with b's sign given separately so subtraction shares the code.
DecimalStatus add_signed(const Decimal& a, const Decimal& b, uint8_t b_negative, Decimal* result) {
  Decimal r = decimal_zero();
  DecimalStatus status = DecimalStatus::kOk;
  if (a.negative == b_negative) {
    if (!add_magnitudes(a, b, &r)) status = DecimalStatus::kOverflow;
    r.negative = a.negative;
  } else if (compare_magnitudes(a, b) >= 0) {
    subtract_magnitudes(a, b, &r);
    r.negative = a.negative;
  } else {
    subtract_magnitudes(b, a, &r);
    r.negative = b_negative;
  }
  normalise(&r);
  *result = r;
  return status;
}

// Adds one unit at index `at` to the magnitude; false on a carry out.
bool add_unit(Decimal* d, int at) {
  for (int i = at; i <= kTop; ++i) {
    if (d->digit[i] < 9) {
      ++d->digit[i];
      return true;
    }
    d->digit[i] = 0;
  }
  return false;
}

}  // namespace

Decimal decimal_zero() {
  Decimal d;
  std::memset(&d, 0, sizeof d);
  d.low = kDecimalUnits;
  d.high = kDecimalUnits;
  return d;
}

Decimal decimal_from_unsigned(uint64_t value) {
  Decimal d = decimal_zero();
  for (int i = kDecimalUnits; value && i <= kTop; ++i, value /= 10) d.digit[i] = static_cast<uint8_t>(value % 10);
  normalise(&d);
  return d;
}

Decimal decimal_from_long(int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  Decimal d = decimal_from_unsigned(magnitude);
  d.negative = value < 0;
  return d;
}

Decimal decimal_from_digits(const DigitString& s) {
  Decimal d = decimal_zero();
  for (int i = 0; i < s.count; ++i) {
    int index = kDecimalUnits + s.point - 1 - i;
    if (index >= 0 && index <= kTop) d.digit[index] = static_cast<uint8_t>(s.digits[i] - '0');
  }
  int low = kDecimalUnits - s.places;
  if (low < 0) low = 0;
  // The lowest digit held must stay inside [low, units] even when the
  // source wrote fewer places than it has digits (15-digit reals).
  for (int i = 0; i < low; ++i)
    if (d.digit[i]) {
      low = i;
      break;
    }
  d.low = static_cast<uint8_t>(low);
  d.negative = s.negative;
  normalise(&d);
  return d;
}

DigitString digits_from_decimal(const Decimal& d) {
  DigitString s;
  s.negative = d.negative;
  s.places = kDecimalUnits - d.low;
  int i = d.high;
  while (i >= d.low && d.digit[i] == 0) --i;
  if (i < d.low) {
    s.negative = false;
    return s;
  }
  s.point = i - kDecimalUnits + 1;
  int last = d.low;
  while (d.digit[last] == 0) ++last;
  for (; i >= last; --i) s.digits[s.count++] = static_cast<char>('0' + d.digit[i]);
  return s;
}

Decimal decimal_from_real(double value) { return decimal_from_digits(digits_from_real(value)); }

Decimal decimal_from_text(const char* text, size_t length) {
  return decimal_from_digits(digits_from_text(std::string_view(text, length)));
}

Decimal decimal_from_text(const std::string& text) { return decimal_from_text(text.data(), text.size()); }

bool decimal_is_zero(const Decimal& d) {
  for (int i = d.low; i <= d.high; ++i)
    if (d.digit[i]) return false;
  return true;
}

uint8_t decimal_sign(const Decimal& d) {
  if (decimal_is_zero(d)) return 0;
  return d.negative ? 255 : 1;
}

int decimal_compare(const Decimal& a, const Decimal& b) {
  bool a_zero = decimal_is_zero(a), b_zero = decimal_is_zero(b);
  int sa = a_zero ? 0 : (a.negative ? -1 : 1);
  int sb = b_zero ? 0 : (b.negative ? -1 : 1);
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  int m = compare_magnitudes(a, b);
  return sa < 0 ? -m : m;
}

DecimalStatus decimal_add(const Decimal& a, const Decimal& b, Decimal* result) {
  return add_signed(a, b, b.negative, result);
}

DecimalStatus decimal_subtract(const Decimal& a, const Decimal& b, Decimal* result) {
  return add_signed(a, b, b.negative ? 0 : 1, result);
}

DecimalStatus decimal_multiply(const Decimal& a, const Decimal& b, Decimal* result) {
  // product[k] collects the digit pairs whose indices sum to k; the value of
  // index k is 10^(k - 64), so result index = k - 32.
  uint32_t product[2 * kDecimalDigits] = {};
  for (int i = a.low; i <= a.high; ++i) {
    if (!a.digit[i]) continue;
    for (int j = b.low; j <= b.high; ++j) product[i + j] += a.digit[i] * b.digit[j];
  }
  uint32_t carry = 0;
  for (int k = 0; k < 2 * kDecimalDigits; ++k) {
    uint32_t v = product[k] + carry;
    product[k] = v % 10;
    carry = v / 10;
  }
  Decimal r = decimal_zero();
  DecimalStatus status = carry ? DecimalStatus::kOverflow : DecimalStatus::kOk;
  for (int k = kDecimalUnits; k < 2 * kDecimalDigits; ++k) {
    if (k - kDecimalUnits <= kTop)
      r.digit[k - kDecimalUnits] = static_cast<uint8_t>(product[k]);
    else if (product[k])
      status = DecimalStatus::kOverflow;
  }
  int low = a.low + b.low - kDecimalUnits;
  r.low = static_cast<uint8_t>(low < 0 ? 0 : low);
  r.negative = a.negative ^ b.negative;
  normalise(&r);
  *result = r;
  return status;
}

DecimalStatus decimal_divide(const Decimal& a, const Decimal& b, Decimal* result) {
  if (decimal_is_zero(b)) {
    *result = decimal_zero();
    return DecimalStatus::kDivideByZero;
  }
  // Long division of |a| x 10^32 by |b|, both as integers in units of
  // 10^-32: quotient digit s has the value 10^(s - 32).
  constexpr int kWide = 2 * kDecimalDigits;
  uint8_t rem[kWide] = {};
  for (int i = 0; i < kDecimalDigits; ++i) rem[i + kDecimalUnits] = a.digit[i];
  int b_high = b.high, b_low = 0;
  while (b.digit[b_low] == 0) ++b_low;
  uint8_t quotient[kWide] = {};
  // rem >= b x 10^s, compared from the top.
  auto fits = [&](int s) {
    for (int i = kWide - 1; i >= b_low + s; --i) {
      int bd = (i - s >= 0 && i - s <= b_high) ? b.digit[i - s] : 0;
      if (rem[i] != bd) return rem[i] > bd;
    }
    return true;
  };
  for (int s = kWide - 1 - b_high; s >= 0; --s) {
    while (fits(s)) {
      int borrow = 0;
      for (int i = b_low + s; i < kWide; ++i) {
        int bd = (i - s <= b_high) ? b.digit[i - s] : 0;
        int v = rem[i] - bd - borrow;
        borrow = v < 0;
        rem[i] = static_cast<uint8_t>(borrow ? v + 10 : v);
        if (i - s > b_high && !borrow) break;
      }
      ++quotient[s];
    }
  }
  Decimal r = decimal_zero();
  DecimalStatus status = DecimalStatus::kOk;
  for (int s = 0; s < kWide; ++s) {
    if (s <= kTop)
      r.digit[s] = quotient[s];
    else if (quotient[s])
      status = DecimalStatus::kOverflow;
  }
  // Half up at 10^-31 (index 1), then drop the 10^-32 digit.
  constexpr int kCut = kDecimalUnits - kDecimalDivisionPlaces;
  bool up = r.digit[kCut - 1] >= 5;
  for (int i = 0; i < kCut; ++i) r.digit[i] = 0;
  if (up && !add_unit(&r, kCut)) status = DecimalStatus::kOverflow;
  int low = kCut;
  while (low < kDecimalUnits && r.digit[low] == 0) ++low;
  r.low = static_cast<uint8_t>(low);
  r.negative = a.negative ^ b.negative;
  normalise(&r);
  *result = r;
  return status;
}

DecimalStatus decimal_power(const Decimal& a, int32_t n, Decimal* result) {
  int64_t e = n;
  uint64_t remaining = static_cast<uint64_t>(e < 0 ? -e : e);
  Decimal r = decimal_from_long(1);
  Decimal base = a;
  DecimalStatus status = DecimalStatus::kOk;
  while (remaining) {
    if (remaining & 1) {
      DecimalStatus s = decimal_multiply(r, base, &r);
      if (s != DecimalStatus::kOk) status = s;
    }
    remaining >>= 1;
    if (remaining) {
      DecimalStatus s = decimal_multiply(base, base, &base);
      if (s != DecimalStatus::kOk) status = s;
    }
    if (status != DecimalStatus::kOk) break;
  }
  if (status == DecimalStatus::kOk && e < 0) status = decimal_divide(decimal_from_long(1), r, &r);
  *result = r;
  return status;
}

Decimal decimal_abs(const Decimal& a) {
  Decimal r = a;
  r.negative = 0;
  return r;
}

Decimal decimal_negate(const Decimal& a) {
  Decimal r = a;
  r.negative = decimal_is_zero(a) ? 0 : !a.negative;
  return r;
}

DecimalStatus decimal_round(Decimal* d, int places) {
  if (places < 0) places = 0;
  if (places > kDecimalMaxFraction) places = kDecimalMaxFraction;
  int cut = kDecimalUnits - places;
  bool up = cut > 0 && d->digit[cut - 1] >= 5;
  for (int i = 0; i < cut; ++i) d->digit[i] = 0;
  DecimalStatus status = DecimalStatus::kOk;
  if (up && !add_unit(d, cut)) status = DecimalStatus::kOverflow;
  d->low = static_cast<uint8_t>(cut);
  normalise(d);
  return status;
}

int32_t decimal_integer_part(const Decimal& d) {
  int64_t v = 0;
  for (int i = d.high; i >= kDecimalUnits; --i) {
    v = v * 10 + d.digit[i];
    if (v > INT64_C(1) << 40) break;  // far beyond 32 bits: saturate below
  }
  if (d.negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

double decimal_to_real(const Decimal& d) { return digits_to_real(digits_from_decimal(d)); }

size_t decimal_to_text(const Decimal& d, char* out) {
  size_t n = 0;
  if (decimal_is_zero(d)) {
    out[n++] = '0';
    return n;
  }
  if (d.negative) out[n++] = '-';
  int i = d.high;
  while (i > kDecimalUnits && d.digit[i] == 0) --i;
  for (; i >= kDecimalUnits; --i) out[n++] = static_cast<char>('0' + d.digit[i]);
  if (d.low < kDecimalUnits) {
    out[n++] = '.';
    for (int k = kDecimalUnits - 1; k >= d.low; --k) out[n++] = static_cast<char>('0' + d.digit[k]);
  }
  return n;
}

std::string decimal_to_text(const Decimal& d) {
  char buf[kDecimalTextSize];
  return std::string(buf, decimal_to_text(d, buf));
}

}  // namespace vrt::core
