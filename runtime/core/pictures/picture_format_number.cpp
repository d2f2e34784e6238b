// Formatting numbers through @N, @E, @P and @K pictures.
//
// The value arrives as its significant digits with the position of the
// decimal point. It is rounded half up at the last decimal position, its
// integer digits fill the digit elements right-aligned at the decimal point
// (grouping positions give way to digits from the left when needed, and
// every digit position shows "#" when even that is not enough), then each
// grouping element looks at the character written just before it.
#include <cstring>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {

namespace {

constexpr int kMaxInteger = 2 * kMaxPictureElements + 8;
constexpr int kScientificTail = 5;
constexpr int kExponentDigits = 3;

bool is_digit_code(uint8_t code) { return code == kCodeDigit || code == kCodeDigitBlank; }

// The value rounded half up to `places` fraction digits: the integer digits
// without leading zeros and exactly `places` fraction digits, both pointing
// into `all`. False when the integer part is far too long for any picture.
struct Rounded {
  char all[kMaxInteger + kMaxPictureElements + 1];
  const char* integer;
  int integer_count;
  const char* fraction;
  bool negative;
};

bool round_value(const DigitString& v, int places, Rounded* r) {
  int whole = v.point > 0 ? v.point : 0;
  if (whole > kMaxPictureElements) return false;
  char* all = r->all;
  int total = whole + places;
  int shift = v.point - whole;  // digit index of all[1]
  all[0] = '0';                 // room for a carry
  int k = 0;
  for (; k < total && k + shift < 0; ++k) all[k + 1] = '0';
  int stored = v.count - shift < total ? v.count - shift : total;
  for (; k < stored; ++k) all[k + 1] = v.digits[k + shift];
  for (; k < total; ++k) all[k + 1] = '0';
  int next = v.point + places;  // the first digit dropped
  if (next >= 0 && next < v.count && v.digits[next] >= '5') {
    k = total;
    while (all[k] == '9') all[k--] = '0';
    ++all[k];
  }
  int first = 0;
  while (first <= whole && all[first] == '0') ++first;
  r->integer = all + first;
  r->integer_count = whole + 1 - first;
  r->fraction = all + whole + 1;
  bool nonzero = r->integer_count > 0;
  for (k = 0; k < places && !nonzero; ++k) nonzero = r->fraction[k] != '0';
  r->negative = v.negative && nonzero;
  return true;
}

// Lays the value into elements [0, end): the whole row of @N, @P and @K,
// the mantissa of @E.
void format_fixed(const CompiledPicture& p, const DigitString& v, int end, char* out) {
  const PictureElement* e = p.elements;
  const int point = p.point, places = p.places, digit_positions = p.digit_positions, groupings = p.groupings;

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
  if (overflow) {
    for (int i = 0; i < end; ++i) {
      uint8_t code = e[i].code;
      if (is_digit_code(code) || code == kCodeGrouping || code == kCodeImpliedPoint)
        out[i] = '#';
      else if (code == kCodeSign)
        out[i] = v.negative ? e[i].ch : ' ';
      else
        out[i] = code == kCodeLiteral || code == kCodeCurrency || code == kCodeDecimalPoint ? e[i].ch : ' ';
    }
    return;
  }

  // Right to left: fraction digits, then integer digits from the point.
  int k = r.integer_count;
  int f = places;
  int groupings_left = groupings;  // the leftmost `converted` ones take digits
  int waiting[kMaxPictureElements];  // grouping elements, right to left
  int waiting_count = 0;
  for (int i = end - 1; i >= 0; --i) {
    const PictureElement& el = e[i];
    switch (el.code) {
      case kCodeDigit:
      case kCodeDigitBlank:
        if (point >= 0 && i > point)
          out[i] = r.fraction[--f];
        else
          out[i] = k > 0 ? r.integer[--k] : el.ch;
        break;
      case kCodeImpliedPoint: out[i] = k > 0 ? r.integer[--k] : el.ch; break;
      case kCodeGrouping:
        if (groupings_left-- <= converted) {
          out[i] = k > 0 ? r.integer[--k] : el.ch;
        } else {
          out[i] = ' ';
          waiting[waiting_count++] = i;
        }
        break;
      case kCodeSign: out[i] = r.negative ? el.ch : ' '; break;
      case kCodeLiteral:
      case kCodeCurrency:
      case kCodeDecimalPoint: out[i] = el.ch; break;
      default: out[i] = ' '; break;
    }
  }
  // Left to right, each grouping element looks at the character before it.
  while (waiting_count > 0) {
    int i = waiting[--waiting_count];
    char before = i > 0 ? out[i - 1] : ' ';
    if (before >= '0' && before <= '9') {
      out[i] = e[i].ch;
    } else if (before == '*') {
      out[i] = '*';
    } else if (i > 0 && e[i - 1].code == kCodeSign && (before == '-' || before == '(')) {
      out[i] = before;  // the sign moves next to the digits
      out[i - 1] = ' ';
    }
  }
}

// @E: the mantissa fills every integer digit position; the exponent takes
// the last three digit elements.
void format_scientific(const CompiledPicture& p, const DigitString& v, char* out) {
  int n = p.count();
  int end = n - kScientificTail;
  int integer_positions = p.digit_positions, places = p.places;
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
  if (p.blank_when_zero() && v.is_zero()) {
    std::memset(out, ' ', static_cast<size_t>(n));
    return n;
  }
  if (p.kind() == kPictureScientific)
    format_scientific(p, v, out);
  else
    format_fixed(p, v, n, out);
  return n;
}

}  // namespace vrt::core
