// The four layouts of the system's international settings, compiled into
// pictures once at start-up: short date (@D17), long date (@D18), short time
// (@T7) and long time (@T8).
#include "runtime/core/pictures/windows_layouts.h"

#include <atomic>
#include <mutex>

#include "runtime/core/pictures/picture.h"
#include "runtime/core/pictures/picture_builder.h"

namespace vrt::core {

using picture_detail::ElementRow;

namespace {

constexpr int kDateTimeSubKind = 1;
constexpr int kMonthNameShort = 3, kMonthNameLong = 9;

struct Layouts {
  CompiledPicture short_date, long_date, short_time, long_time;
};

Layouts g_layouts;
std::once_flag g_defaults;
std::atomic<bool> g_compiled{false};

CompiledPicture make(PictureKind kind, int number, const ElementRow& row, const char* source) {
  CompiledPicture p;
  row.store(&p, kind, kDateTimeSubKind, false);
  p.number = static_cast<uint8_t>(number);
  p.source = source;
  return p;
}

// A run of one date letter ("MMMM", "dd", "yyyy") in a format text.
struct Component {
  char letter;
  int length;
};

void add_component(const Component& c, ElementRow* row) {
  switch (c.letter) {
    case 'y': row->add('0', kCodeYear, c.length > 4 ? 4 : c.length); break;
    case 'd':
      row->add(c.length == 1 ? ' ' : '0', kCodeDay);
      row->add('0', kCodeDay);
      break;
    case 'M':
      if (c.length <= 2) {
        row->add(c.length == 1 ? ' ' : '0', kCodeMonth);
        row->add('0', kCodeMonth);
      } else {
        row->add(' ', kCodeMonthName, c.length == 3 ? kMonthNameShort : kMonthNameLong);
      }
      break;
  }
}

// The order in which the first component's letter lays out the date.
const char* order_for(char first) {
  if (first == 'd') return "dMy";
  if (first == 'y') return "yMd";
  return "Mdy";
}

}  // namespace

namespace picture_detail {

void build_short_date(std::string_view f, ElementRow* row) {
  char day_fill = f.find("dd") != std::string_view::npos ? '0' : ' ';
  char month_fill = f.find("MM") != std::string_view::npos ? '0' : ' ';
  int year_digits = f.find("yyy") != std::string_view::npos ? 4 : 2;
  // The separator is the character after the last "M" ("/" when the month
  // ends the layout). A day or year letter there means the layout has no
  // separator at all ("yyyyMMdd" is 19591031), not that letter as one.
  char separator = '/';
  size_t last_m = f.rfind('M');
  if (last_m != std::string_view::npos && last_m + 1 < f.size()) {
    char c = f[last_m + 1];
    separator = c == 'd' || c == 'y' ? '\0' : c;
  }
  const char* order = order_for(f.empty() ? 'M' : f[0]);
  for (int k = 0; k < 3; ++k) {
    if (k > 0 && separator) row->add(separator, kCodeSeparator);
    switch (order[k]) {
      case 'd': row->add(day_fill, kCodeDay); row->add('0', kCodeDay); break;
      case 'M': row->add(month_fill, kCodeMonth); row->add('0', kCodeMonth); break;
      case 'y': row->add('0', kCodeYear, year_digits); break;
    }
  }
}

void build_long_date(std::string_view f, ElementRow* row) {
  // Components in the order written (the first of each letter), with the
  // text between consecutive ones; quoted text counts as text.
  Component found[3];
  std::string between[3];  // between[k]: text before found[k]
  int count = 0;
  std::string pending;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    if (c == '\'') {
      size_t end = f.find('\'', i + 1);
      if (end == std::string_view::npos) end = f.size();
      pending.append(f.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if (c == 'M' || c == 'd' || c == 'y') {
      size_t j = i;
      while (j < f.size() && f[j] == c) ++j;
      int length = static_cast<int>(j - i);
      i = j;
      if (c == 'd' && length >= 3) continue;  // the day of the week is not shown
      bool seen = false;
      for (int k = 0; k < count; ++k) seen = seen || found[k].letter == c;
      if (seen) continue;
      between[count] = pending;
      found[count++] = Component{c, length};
      pending.clear();
      continue;
    }
    pending += c;
    ++i;
  }
  if (count == 0) return;
  const char* order = order_for(found[0].letter);
  int emitted = 0;
  for (int k = 0; k < 3; ++k)
    for (int m = 0; m < count; ++m)
      if (found[m].letter == order[k]) {
        if (emitted > 0) row->add_text(between[emitted], kCodeSeparator);
        add_component(found[m], row);
        ++emitted;
      }
}

void build_time_layout(const IntlSettings& intl, bool long_time, ElementRow* row) {
  row->add(intl.itlzero ? '0' : ' ', kCodeHour);
  row->add('0', kCodeHour);
  row->add_text(intl.stime, kCodeSeparator);
  row->add('0', kCodeMinute, 2);
  if (long_time) {
    row->add_text(intl.stime, kCodeSeparator);
    row->add('0', kCodeSecond, 2);
  }
  if (intl.itime == 0) {
    row->add(' ', kCodeLiteral);
    row->add('X', kCodeAmPm);
    row->add('M', kCodeLiteral);
  }
}

}  // namespace picture_detail

void compile_windows_layouts(const IntlSettings& intl) {
  ElementRow short_date, long_date, short_time, long_time;
  picture_detail::build_short_date(intl.short_date, &short_date);
  picture_detail::build_long_date(intl.long_date, &long_date);
  picture_detail::build_time_layout(intl, false, &short_time);
  picture_detail::build_time_layout(intl, true, &long_time);
  g_layouts.short_date = make(kPictureDate, 17, short_date, "@D17");
  g_layouts.long_date = make(kPictureDate, 18, long_date, "@D18");
  g_layouts.short_time = make(kPictureTime, 7, short_time, "@T7");
  g_layouts.long_time = make(kPictureTime, 8, long_time, "@T8");
  g_compiled = true;
}

const CompiledPicture& windows_layout(PictureKind kind, int number) {
  // Before start-up has read the settings, the defaults serve.
  if (!g_compiled) std::call_once(g_defaults, [] {
      if (!g_compiled) compile_windows_layouts(IntlSettings{});
    });
  if (kind == kPictureDate) return number == 18 ? g_layouts.long_date : g_layouts.short_date;
  return number == 8 ? g_layouts.long_time : g_layouts.short_time;
}

}  // namespace vrt::core
