// Formatting numbers through @N, @E, @P and @K pictures.
//
// The value arrives as its significant digits with the position of the
// decimal point. It is rounded half up at the last decimal position, its
// integer digits fill the digit elements right-aligned at the decimal point
// (grouping positions give way to digits from the left when needed, and
// every digit position shows "#" when even that is not enough), then each
// grouping element looks at the character written just before it.
#include <cstring>

#include "runtime/core/picture.h"

namespace vrt::core {

namespace {

constexpr int kMaxInteger = 2 * kMaxPictureElements + 8;
constexpr int kScientificTail = 5;
constexpr int kExponentDigits = 3;

bool is_digit_code(uint8_t code) { return code == kCodeDigit || code == kCodeDigitBlank; }

// The value rounded half up to `places` fraction digits: the integer digits
// without leading zeros and exactly `places` fraction digits. False when the
// integer part is far too long for any picture.
struct Rounded {
  char integer[kMaxInteger];
  int integer_count = 0;
  char fraction[kMaxPictureElements];
  bool negative = false;
};

bool round_value(const DigitString& v, int places, Rounded* r) {
  int whole = v.point > 0 ? v.point : 0;
  if (whole > kMaxPictureElements) return false;
  char all[kMaxInteger + kMaxPictureElements + 1];
  int total = whole + places;
  int shift = v.point - whole;  // digit index of all[0]
  for (int k = 0; k < total; ++k) {
    int j = k + shift;
    all[k + 1] = j >= 0 && j < v.count ? v.digits[j] : '0';
  }
  all[0] = '0';  // room for a carry
  int next = v.point + places;
  if (next >= 0 && next < v.count && v.digits[next] >= '5') {
    int k = total;
    while (all[k] == '9') all[k--] = '0';
    ++all[k];
  }
  int first = 0;
  while (first <= whole && all[first] == '0') ++first;  // leading zeros of the integer part
  r->integer_count = whole + 1 - first;
  std::memcpy(r->integer, all + first, static_cast<size_t>(r->integer_count));
  std::memcpy(r->fraction, all + whole + 1, static_cast<size_t>(places));
  bool nonzero = r->integer_count > 0;
  for (int k = 0; k < places && !nonzero; ++k) nonzero = r->fraction[k] != '0';
  r->negative = v.negative && nonzero;
  return true;
}

// Lays the value into elements [0, end): the whole row of @N, @P and @K,
// the mantissa of @E.
void format_fixed(const CompiledPicture& p, const DigitString& v, int end, char* out) {
  const PictureElement* e = p.elements;
  int point = -1;  // the decimal point or implied point element
  for (int i = 0; i < end && point < 0; ++i)
    if (e[i].code == kCodeDecimalPoint || e[i].code == kCodeImpliedPoint) point = i;
  int integer_end = point < 0 ? end : point;
  int places = 0, digit_positions = 0, groupings = 0;
  for (int i = point + 1; point >= 0 && i < end; ++i) places += is_digit_code(e[i].code);
  for (int i = 0; i < integer_end; ++i) {
    digit_positions += is_digit_code(e[i].code);
    groupings += e[i].code == kCodeGrouping;
  }
  if (point >= 0 && e[point].code == kCodeImpliedPoint) ++digit_positions;  // it holds the units digit

  Rounded r;
  bool overflow = !round_value(v, places, &r);
  int converted = 0;  // leftmost grouping positions used as digits
  if (!overflow && r.integer_count > digit_positions) {
    converted = r.integer_count - digit_positions;
    bool exempt = p.kind() != kPictureNumber && p.kind() != kPictureScientific && digit_positions + groupings == 0;
    if (converted > groupings) {
      overflow = !exempt;
      converted = 0;
    }
  }

  for (int i = 0; i < end; ++i) {
    switch (e[i].code) {
      case kCodeLiteral:
      case kCodeCurrency:
      case kCodeDecimalPoint: out[i] = e[i].ch; break;
      case kCodeSign: out[i] = r.negative ? e[i].ch : ' '; break;
      default: out[i] = ' '; break;
    }
  }
  if (overflow) {
    for (int i = 0; i < end; ++i)
      if (is_digit_code(e[i].code) || e[i].code == kCodeGrouping || e[i].code == kCodeImpliedPoint) out[i] = '#';
    return;
  }

  // Integer digits, right to left from the point.
  int k = r.integer_count;
  auto put = [&](int i) { out[i] = k > 0 ? r.integer[--k] : e[i].ch; };
  if (point >= 0 && e[point].code == kCodeImpliedPoint) put(point);
  int groupings_left = groupings;  // counted from the right: the leftmost ones convert
  for (int i = integer_end - 1; i >= 0; --i) {
    if (is_digit_code(e[i].code)) {
      put(i);
    } else if (e[i].code == kCodeGrouping) {
      if (groupings_left-- <= converted) put(i);
    }
  }
  // Fraction digits, left to right.
  int f = 0;
  for (int i = point + 1; point >= 0 && i < end; ++i)
    if (is_digit_code(e[i].code)) out[i] = r.fraction[f++];
  // Grouping elements not used as digits look at the character before them.
  int seen = 0;
  for (int i = 0; i < integer_end; ++i) {
    if (e[i].code != kCodeGrouping || ++seen <= converted) continue;
    char before = i > 0 ? out[i - 1] : ' ';
    if (before >= '0' && before <= '9') {
      out[i] = e[i].ch;
    } else if (before == '*') {
      out[i] = '*';
    } else if (i > 0 && e[i - 1].code == kCodeSign && (before == '-' || before == '(')) {
      out[i] = before;  // the sign moves next to the digits
      out[i - 1] = ' ';
    } else {
      out[i] = ' ';
    }
  }
}

// @E: the mantissa fills every integer digit position; the exponent takes
// the last three digit elements.
void format_scientific(const CompiledPicture& p, const DigitString& v, char* out) {
  int n = p.count();
  int end = n - kScientificTail;
  int integer_positions = 0, places = 0;
  bool after_point = false;
  for (int i = 0; i < end; ++i) {
    if (p.elements[i].code == kCodeDecimalPoint) after_point = true;
    if (is_digit_code(p.elements[i].code)) (after_point ? places : integer_positions)++;
  }
  DigitString m;
  m.negative = v.negative;
  int exponent = 0;
  int keep = integer_positions + places;
  if (!v.is_zero()) {
    exponent = v.point - integer_positions;
    m.count = keep < v.count ? keep : v.count;
    std::memcpy(m.digits, v.digits, static_cast<size_t>(m.count));
    if (keep < v.count && v.digits[keep] >= '5') {  // round here so a carry moves the exponent
      int k = m.count - 1;
      while (k >= 0 && m.digits[k] == '9') m.digits[k--] = '0';
      if (k >= 0) {
        ++m.digits[k];
      } else {  // all nines: 1 followed by zeros, one power of ten up
        m.digits[0] = '1';
        if (m.count == 0) m.count = 1;
        ++exponent;
      }
    }
    m.point = integer_positions;
  }
  format_fixed(p, m, end, out);
  out[end] = p.elements[end].ch;
  out[end + 1] = exponent < 0 ? '-' : '+';
  int magnitude = exponent < 0 ? -exponent : exponent;
  bool too_wide = magnitude > 999;
  for (int d = 0; d < kExponentDigits; ++d) {
    out[n - 1 - d] = too_wide ? '#' : static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
}

}  // namespace

int format_number(const CompiledPicture& p, const DigitString& v, char* out) {
  int n = p.count();
  switch (p.kind()) {
    case kPictureString: return format_text(p, digits_to_text(v), out);
    case kPictureDate: return format_date(p, text_to_long(digits_to_text(v)), out);
    case kPictureTime: return format_time(p, text_to_long(digits_to_text(v)), out);
    default: break;
  }
  std::memset(out, ' ', static_cast<size_t>(n));
  if (p.blank_when_zero() && v.is_zero()) return n;
  if (p.kind() == kPictureScientific)
    format_scientific(p, v, out);
  else
    format_fixed(p, v, n, out);
  return n;
}

}  // namespace vrt::core
