// Formatting dates, times and texts, and the FORMAT entry points.
#include <cstring>

#include "runtime/core/values/dates.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

// Pictures whose month names show as stored rather than in upper case.
bool names_as_stored(int number) { return number == 4 || number == 18; }
// Time pictures that use the system's AM/PM texts.
bool system_am_pm(int number) { return number == 7 || number == 8; }

int run_length(const CompiledPicture& p, int i) {
  int j = i;
  while (j < p.count() && p.elements[j].code == p.elements[i].code) ++j;
  return j - i;
}

// A number right-aligned in `width` positions; positions left of its digits
// show their elements' characters. At least one digit is shown.
void put_field(const PictureElement* e, int width, int value, char* out) {
  for (int k = width - 1; k >= 0; --k) {
    bool digit = k == width - 1 || value > 0;
    out[k] = digit ? static_cast<char>('0' + value % 10) : e[k].ch;
    value /= 10;
  }
}

int power_of_ten(int digits) {
  int v = 1;
  for (int i = 0; i < digits && i < 9; ++i) v *= 10;
  return v;
}

bool has_key_in_positions(const CompiledPicture& p) {
  for (int i = 0; i < p.count(); ++i)
    if (p.elements[i].code >= kCodeKeyAt && p.elements[i].code <= kCodeKeyQuestion) return true;
  return false;
}

// Key-in templates with character positions take the value's characters in
// order, the inverse of DEFORMAT.
int format_key_in(const CompiledPicture& p, std::string_view text, char* out) {
  size_t next = 0;
  for (int i = 0; i < p.count(); ++i) {
    const PictureElement& e = p.elements[i];
    bool takes = e.code == kCodeDigit || e.code == kCodeDigitBlank ||
                 (e.code >= kCodeKeyAt && e.code <= kCodeKeyQuestion);
    if (takes)
      out[i] = next < text.size() ? text[next++] : ' ';
    else
      out[i] = e.code == kCodeLiteral ? e.ch : ' ';
  }
  return p.count();
}

}  // namespace

int format_text(const CompiledPicture& p, std::string_view text, char* out) {
  size_t n = static_cast<size_t>(p.count());
  size_t copy = text.size() < n ? text.size() : n;
  std::memcpy(out, text.data(), copy);
  std::memset(out + copy, ' ', n - copy);
  return p.count();
}

int format_date(const CompiledPicture& p, int32_t date, char* out) {
  if (p.kind() != kPictureDate) {
    if (p.kind() == kPictureTime) return format_time(p, date, out);
    return format_number(p, digits_from_long(date), out);
  }
  int n = p.count();
  std::memset(out, ' ', static_cast<size_t>(n));
  if (p.blank_when_zero() && date == 0) return n;
  DateParts parts;
  bool valid = date_parts(date, &parts);
  const Settings& s = settings();
  int o = 0;  // month names shorter than their elements close the text up
  for (int i = 0; i < n;) {
    const PictureElement& e = p.elements[i];
    int r = 1;
    switch (e.code) {
      case kCodeMonth:
      case kCodeDay:
      case kCodeYear: {
        r = run_length(p, i);
        int v = e.code == kCodeMonth ? parts.month
                : e.code == kCodeDay ? parts.day
                                     : static_cast<int>(parts.year % power_of_ten(r));
        if (valid) put_field(&e, r, v, out + o);
        o += r;
        break;
      }
      case kCodeMonthName: {
        r = run_length(p, i);
        if (!valid) {
          o += r;
          break;
        }
        const char* name = r == 3 ? s.month_abbrevs[parts.month - 1] : s.month_names[parts.month - 1];
        bool upper = !names_as_stored(p.number);
        for (int k = 0; k < r && name[k]; ++k) {
          auto c = static_cast<uint8_t>(name[k]);
          out[o++] = static_cast<char>(upper ? to_upper(c) : c);
        }
        break;
      }
      default: out[o++] = e.ch; break;
    }
    i += r;
  }
  return n;
}

int format_time(const CompiledPicture& p, int32_t time, char* out) {
  if (p.kind() != kPictureTime) {
    if (p.kind() == kPictureDate) return format_date(p, time, out);
    return format_number(p, digits_from_long(time), out);
  }
  int n = p.count();
  std::memset(out, ' ', static_cast<size_t>(n));
  if (p.blank_when_zero() && time == 0) return n;
  TimeParts parts;
  bool valid = time_parts(time, &parts);
  bool twelve_hour = false;
  for (int i = 0; i < n; ++i) twelve_hour = twelve_hour || p.elements[i].code == kCodeAmPm;
  int hour = parts.hour;
  if (twelve_hour) hour = hour % 12 == 0 ? 12 : hour % 12;
  const Settings& s = settings();
  const char* am_pm = (system_am_pm(p.number) ? s.windows_am_pm : s.am_pm)[parts.hour >= 12 ? 1 : 0];
  for (int i = 0; i < n;) {
    const PictureElement& e = p.elements[i];
    int r = 1;
    switch (e.code) {
      case kCodeHour:
      case kCodeMinute:
      case kCodeSecond: {
        r = run_length(p, i);
        int v = e.code == kCodeHour ? hour : (e.code == kCodeMinute ? parts.minute : parts.second);
        if (valid) put_field(&e, r, v, out + i);
        break;
      }
      case kCodeAmPm:
        // The first letter here, the second in the next element.
        if (valid) {
          out[i] = am_pm[0] ? am_pm[0] : ' ';
          if (i + 1 < n) out[i + 1] = am_pm[0] && am_pm[1] ? am_pm[1] : ' ';
        }
        r = i + 1 < n ? 2 : 1;
        break;
      default: out[i] = e.ch; break;
    }
    i += r;
  }
  return n;
}

std::string Format(const CompiledPicture& p, std::string_view value) {
  std::string out(static_cast<size_t>(p.count()), ' ');
  switch (p.kind()) {
    case kPictureString: format_text(p, value, out.data()); break;
    case kPictureDate: format_date(p, text_to_long(value), out.data()); break;
    case kPictureTime: format_time(p, text_to_long(value), out.data()); break;
    case kPictureKeyIn:
      if (has_key_in_positions(p)) {
        format_key_in(p, value, out.data());
        break;
      }
      [[fallthrough]];
    default: format_number(p, digits_from_text(value), out.data()); break;
  }
  return out;
}

std::string Format(std::string_view value, std::string_view picture_text) {
  return Format(compile_picture(picture_text), value);
}

}  // namespace vrt::core
