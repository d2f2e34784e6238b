#include "runtime/core/pictures/typed_date_time.h"

#include <vector>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/entry_check.h"
#include "runtime/core/values/dates.h"

namespace vrt::core {

namespace {

enum Field { kMonth, kDay, kYear };

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return settings().case_kind[static_cast<uint8_t>(c)] & (kCaseUpper | kCaseLower); }
bool is_separator(char c) { return !is_digit(c) && !is_letter(c); }

// The fields the text holds, in the order they are typed.
std::vector<Field> date_fields(const CompiledPicture& p, DateOrder profile) {
  if (p.number == 17 || p.number == 18) {
    switch (profile) {
      case DateOrder::DayMonthYear: return {kDay, kMonth, kYear};
      case DateOrder::YearMonthDay: return {kYear, kMonth, kDay};
      case DateOrder::MonthDayYear: break;
    }
    return {kMonth, kDay, kYear};
  }
  std::vector<Field> order;
  auto add = [&](Field f) {
    for (Field seen : order)
      if (seen == f) return;
    order.push_back(f);
  };
  for (int i = 0; i < p.count(); ++i) {
    uint8_t code = p.element(i).code;
    if (code == kCodeMonth || code == kCodeMonthName) add(kMonth);
    else if (code == kCodeDay) add(kDay);
    else if (code == kCodeYear) add(kYear);
  }
  return order;
}

int year_width(const CompiledPicture& p) {
  int n = 0;
  for (int i = 0; i < p.count(); ++i) n += p.element(i).code == kCodeYear;
  return n;
}

// A month name: its first three letters against the abbreviations, the
// rest of its letters passed over. 0 when none matches.
int read_month_name(std::string_view text, size_t* at) {
  const Settings& s = settings();
  size_t end = *at;
  while (end < text.size() && is_letter(text[end])) ++end;
  if (end - *at >= 3)
    for (int m = 0; m < 12; ++m) {
      bool same = true;
      for (size_t k = 0; k < 3 && same; ++k)
        same = to_upper(static_cast<uint8_t>(text[*at + k])) == to_upper(static_cast<uint8_t>(s.month_abbrevs[m][k]));
      if (same) {
        *at = end;
        return m + 1;
      }
    }
  return 0;
}

// One or two digits, the second only while the number stays within `most`.
int read_up_to(std::string_view text, size_t* at, int most) {
  int v = text[(*at)++] - '0';
  if (*at < text.size() && is_digit(text[*at]) && v * 10 + (text[*at] - '0') <= most)
    v = v * 10 + (text[(*at)++] - '0');
  return v;
}

size_t digits_from(std::string_view text, size_t at) {
  size_t n = 0;
  while (at + n < text.size() && is_digit(text[at + n])) ++n;
  return n;
}

}  // namespace

int read_typed_date(const CompiledPicture& p, std::string_view text, DateOrder profile, int32_t* date) {
  *date = 0;
  size_t at = 0;
  while (at < text.size() && is_separator(text[at])) ++at;
  if (at == text.size()) return kEntryAccepted;  // no date
  int month = 0, day = 0, year = 0;
  bool long_year = false;
  std::vector<Field> fields = date_fields(p, profile);
  for (Field f : fields) {
    while (at < text.size() && is_separator(text[at])) ++at;
    if (at == text.size()) return kReasonDateIncomplete;
    if (is_letter(text[at])) {
      if (f != kMonth || (month = read_month_name(text, &at)) == 0) return kReasonDateLetter;
      continue;
    }
    switch (f) {
      case kMonth: month = read_up_to(text, &at, 12); break;
      case kDay: day = read_up_to(text, &at, month ? month_length(2000, month) : 31); break;
      case kYear: {
        // Four digits in a row are a four-digit year, unless the digits run
        // on into the next fields ("591031"): then the picture's width holds.
        size_t run = digits_from(text, at);
        long_year = run == 4 || (run > 4 && (f == fields.back() || year_width(p) == 4));
        year = read_up_to(text, &at, 99);
        if (long_year) year = year * 100 + read_up_to(text, &at, 99);
        break;
      }
    }
  }
  while (at < text.size() && is_separator(text[at])) ++at;
  if (at < text.size()) return kReasonDateExtra;
  if (fields.size() == 2) day = 1;  // month and year only
  if (!long_year) year = expand_year(year, p.window);
  int32_t d = date_from_ymd(year, month, day);
  if (d <= 0) return kReasonDateInvalid;
  *date = d;
  return kEntryAccepted;
}

int read_typed_time(const CompiledPicture& p, std::string_view text, int32_t* time) {
  *time = 0;
  size_t at = 0;
  auto skip_blanks = [&] {
    while (at < text.size() && text[at] == ' ') ++at;
  };
  skip_blanks();
  if (at == text.size()) return kEntryAccepted;
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    // A separator between the numbers, or none ("0930").
    if (i > 0)
      while (at < text.size() && is_separator(text[at])) ++at;
    if (at == text.size() || !is_digit(text[at])) {
      if (i == 0) return kReasonTimeCharacter;
      break;
    }
    parts[i] = text[at++] - '0';
    if (at < text.size() && is_digit(text[at])) parts[i] = parts[i] * 10 + (text[at++] - '0');
  }
  skip_blanks();
  const Settings& s = settings();
  const char(*am_pm)[3] = (p.number == 7 || p.number == 8) ? s.windows_am_pm : s.am_pm;
  int marker = -1;  // 0 AM, 1 PM
  if (at < text.size()) {
    auto c = to_upper(static_cast<uint8_t>(text[at]));
    for (int k = 0; k < 2; ++k)
      if (am_pm[k][0] && c == to_upper(static_cast<uint8_t>(am_pm[k][0]))) marker = k;
    if (marker < 0) return kReasonTimeCharacter;
    ++at;
    // The rest of the marker's text, when typed.
    for (size_t k = 1; k < 3 && am_pm[marker][k] && at < text.size(); ++k)
      if (to_upper(static_cast<uint8_t>(text[at])) == to_upper(static_cast<uint8_t>(am_pm[marker][k]))) ++at;
    skip_blanks();
    if (at < text.size()) return kReasonTimeCharacter;
  }
  int h = parts[0], m = parts[1], sec = parts[2];
  if (marker >= 0) {
    if (h < 1 || h > 12) return kReasonTimeRange;
    if (marker == 1 && h != 12) h += 12;
    if (marker == 0 && h == 12) h = 0;
  }
  if (h >= 24 || m >= 60 || sec >= 60) return kReasonTimeRange;
  *time = (h == 0 && m == 0 && sec == 0) ? 0 : h * 360000 + m * 6000 + sec * 100 + 1;
  return kEntryAccepted;
}

}  // namespace vrt::core
