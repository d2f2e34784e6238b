// DEFORMAT: reading a formatted text back into a value through a picture.
#include "runtime/core/values/dates.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Strings and the empty picture: digits, the first ".", the first "E", a
// "-" at the start or right after the "E", a "+" right after the "E".
std::string reduce_to_number(std::string_view text) {
  std::string out;
  bool point = false, exponent = false;
  for (char c : text) {
    bool after_e = !out.empty() && (out.back() == 'E' || out.back() == 'e');
    if (is_digit(c)) {
      out += c;
    } else if (c == '.' && !point) {
      point = true;
      out += c;
    } else if ((c == 'E' || c == 'e') && !exponent) {
      exponent = true;
      out += c;
    } else if ((c == '-' && (out.empty() || after_e)) || (c == '+' && after_e)) {
      out += c;
    }
  }
  return out;
}

// @N and @E with a visible decimal mark: digits wherever they stand, the
// picture's mark as the decimal point, "-" or "(" for negative values, and
// for @E the exponent after "E".
std::string read_free_number(const CompiledPicture& p, std::string_view text) {
  char mark = '.';
  for (int i = 0; i < p.count(); ++i)
    if (p.elements[i].code == kCodeDecimalPoint) mark = p.elements[i].ch;
  bool scientific = p.kind() == kPictureScientific;
  std::string digits;
  bool negative = false, point = false, exponent = false;
  for (char c : text) {
    if (is_digit(c)) {
      digits += c;
    } else if (exponent && (c == '-' || c == '+') && (digits.back() == 'e')) {
      digits += c;
    } else if (c == '-' || c == '(') {
      negative = true;
    } else if (c == '+') {
      negative = false;
    } else if (c == mark && !point && !exponent) {
      point = true;
      digits += '.';
    } else if (scientific && !exponent && (c == 'E' || c == 'e')) {
      exponent = true;
      digits += 'e';
    }
  }
  // The plain decimal form: no leading zeros, the places as written.
  DigitString d = digits_from_text(digits);
  d.negative = negative && !d.is_zero();
  return digits_to_text(d);
}

// Patterns, key-in templates and implied marks: the text is walked with
// the elements, position by position.
std::string read_positions(const CompiledPicture& p, std::string_view text) {
  std::string out;
  bool negative = false;
  for (int i = 0; i < p.count(); ++i) {
    char c = static_cast<size_t>(i) < text.size() ? text[static_cast<size_t>(i)] : ' ';
    uint8_t code = p.elements[i].code;
    switch (code) {
      case kCodeGrouping:
      case kCodeDigit:
      case kCodeDigitBlank:
      case kCodeSign:
        if (c == ' ' && code == kCodeDigitBlank) out += '0';
        else if (is_digit(c)) out += c;
        else if (c == '-' || c == '(') negative = true;
        else if (c == '+') negative = false;
        break;
      case kCodeDecimalPoint: out += '.'; break;
      case kCodeImpliedPoint:
        out += is_digit(c) ? c : '0';
        out += '.';
        break;
      case kCodeExponentSign:
        out += 'e';
        out += c == '-' ? '-' : '+';
        break;
      case kCodeKeyAt:
      case kCodeKeyCaret:
      case kCodeKeyUnderscore:
      case kCodeKeyQuestion: out += c; break;
      default: break;
    }
  }
  return negative ? "-" + out : out;
}

// The implied mark reads digits by position, with the number right-aligned
// in the picture as FORMAT shows it.
std::string read_implied(const CompiledPicture& p, std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  auto n = static_cast<size_t>(p.count());
  if (text.size() > n) text = text.substr(text.size() - n);
  std::string aligned(n - text.size(), ' ');
  aligned.append(text);
  DigitString d = digits_from_text(read_positions(p, aligned));
  return digits_to_text(d);
}

struct DateTimeFields {
  int value[kCodeSecond + 1] = {};
  bool read[kCodeSecond + 1] = {};
  bool pm = false, am = false;
};

// Dates and times: digits collected over each run of one code; a non-digit
// ends the field early and the rest of its run is passed over.
DateTimeFields read_date_time(const CompiledPicture& p, std::string_view text) {
  DateTimeFields f;
  const Settings& s = settings();
  const char(*am_pm)[3] = (p.number == 7 || p.number == 8) ? s.windows_am_pm : s.am_pm;
  size_t t = 0;
  auto at = [&](size_t k) { return k < text.size() ? text[k] : '\0'; };
  for (int i = 0; i < p.count();) {
    const PictureElement& e = p.elements[i];
    int r = 1;
    while (i + r < p.count() && p.elements[i + r].code == e.code) ++r;
    switch (e.code) {
      case kCodeMonth:
      case kCodeDay:
      case kCodeYear:
      case kCodeHour:
      case kCodeMinute:
      case kCodeSecond: {
        int v = 0, digits = 0;
        for (int k = 0; k < r; ++k) {
          char c = at(t);
          if (is_digit(c)) {
            v = v * 10 + (c - '0');
            ++digits;
            ++t;
          } else if (digits == 0 && c != '\0' && (c == ' ' || c == p.elements[i + k].ch)) {
            ++t;  // a leading fill
          } else {
            break;
          }
        }
        if (digits) {
          f.value[e.code] = v;
          f.read[e.code] = true;
        }
        break;
      }
      case kCodeMonthName: {
        while (at(t) == ' ') ++t;
        for (int m = 0; m < 12; ++m) {
          bool same = true;
          for (size_t k = 0; k < 3 && same; ++k)
            same = to_upper(static_cast<uint8_t>(at(t + k))) == to_upper(static_cast<uint8_t>(s.month_abbrevs[m][k]));
          if (same && at(t) != '\0') {
            f.value[kCodeMonth] = m + 1;
            f.read[kCodeMonth] = true;
            t += 3;
            while (s.case_kind[static_cast<uint8_t>(at(t))] & (kCaseUpper | kCaseLower)) ++t;
            break;
          }
        }
        break;
      }
      case kCodeAmPm: {
        auto c = to_upper(static_cast<uint8_t>(at(t)));
        if (c && c == to_upper(static_cast<uint8_t>(am_pm[1][0]))) f.pm = true;
        else if (c && c == to_upper(static_cast<uint8_t>(am_pm[0][0]))) f.am = true;
        if (at(t)) ++t;
        r = 1;
        break;
      }
      default:
        r = 1;
        if (at(t)) ++t;
        break;
    }
    i += r;
  }
  return f;
}

int32_t date_result(const CompiledPicture& p, const DateTimeFields& f) {
  bool month = f.read[kCodeMonth], day = f.read[kCodeDay], year = f.read[kCodeYear];
  if (!month && !day && !year) return 0;
  int d = f.value[kCodeDay];
  if (p.number >= 13 && p.number <= 16 && month && year && !day) d = 1;
  int y = f.value[kCodeYear];
  if (y < 100) y = expand_year(y, p.window);
  return date_from_parts(f.value[kCodeMonth], d, y);
}

int32_t time_result(const DateTimeFields& f) {
  int h = f.value[kCodeHour], m = f.value[kCodeMinute], s = f.value[kCodeSecond];
  if (f.pm && h != 12) h += 12;
  if (f.am && h == 12) h = 0;
  if (h >= 24 || m >= 60 || s >= 60) return -1;
  if (h == 0 && m == 0 && s == 0) return 0;
  return h * 360000 + m * 6000 + s * 100 + 1;
}

bool has_implied_point(const CompiledPicture& p) {
  for (int i = 0; i < p.count(); ++i)
    if (p.elements[i].code == kCodeImpliedPoint) return true;
  return false;
}

}  // namespace

std::string Deformat(const CompiledPicture& p, std::string_view text) {
  switch (p.kind()) {
    case kPictureString: return reduce_to_number(text);
    case kPictureNumber:
    case kPictureScientific:
      return has_implied_point(p) ? read_implied(p, text) : read_free_number(p, text);
    case kPictureDate: return long_to_text(date_result(p, read_date_time(p, text)));
    case kPictureTime: return long_to_text(time_result(read_date_time(p, text)));
    default: return read_positions(p, text);
  }
}

std::string Deformat(std::string_view text, std::string_view picture_text) {
  return Deformat(compile_picture(picture_text), text);
}

}  // namespace vrt::core
