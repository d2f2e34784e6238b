#include "runtime/core/values/dates.h"

#include <atomic>

#include "runtime/platform/os/clock.h"

namespace vrt::core {

namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Leap years up to and including n.
int64_t leaps_through(int64_t n) { return n / 4 + n / 400 - n / 100; }

// Days before year y on the standard-date scale less 4.
int64_t days_before_year(int64_t y) { return 365 * y + leaps_through(y - 1); }

std::atomic<uint32_t> g_tick_base{0};

}  // namespace

int32_t expand_year(int32_t y, int window, int32_t current) {
  int32_t d = current % 100 - y;
  int32_t year = current - d;
  if (d <= window - 100)
    year -= 100;
  else if (d > window)
    year += 100;
  return year;
}

int32_t current_year() {
  static const int32_t year = platform::GetLocalTime().year;
  return year;
}

int32_t expand_year(int32_t y, int window) { return expand_year(y, window, current_year()); }

bool is_leap_year(int32_t year) {
  if (year >= 0 && year < 100) year = expand_year(year);
  return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0);
}

int month_length(int32_t year, int month) {
  if (month < 1 || month > 12) return 0;
  if (month == 2) return is_leap_year(year) ? 29 : 28;
  return kMonthLength[month - 1];
}

int32_t date_from_ymd(int32_t year, int month, int day) {
  if (year >= 0 && year < 100) year = expand_year(year);
  if (year < 1801 || year > 9999 || month < 1 || month > 12 || day < 1 || day > month_length(year, month))
    return -1;
  int64_t date = int64_t{year - 1801} * 365 + kDaysBeforeMonth[month - 1] + day + 3 + leaps_through(year) -
                 leaps_through(1800);
  if (month <= 2 && is_leap_year(year)) --date;
  return static_cast<int32_t>(date);
}

int32_t date_from_parts(int32_t month, int32_t day, int32_t year) {
  if (year >= 0 && year < 100) year = expand_year(year);
  // Far-out parts cannot make a valid date; stop before the loops run long.
  if (month > 12 * 10000 || day > 3660000 || year > 9999 || year < -100000) return -1;
  while (month > 12) {
    month -= 12;
    ++year;
  }
  while (month >= 1 && day > month_length(year, month)) {
    day -= month_length(year, month);
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return date_from_ymd(year, month, day);
}

bool date_parts(int32_t date, DateParts* parts) {
  *parts = {0, 0, 0};
  if (date < kFirstDate || date > kLastDate) return false;
  int64_t n = date + days_before_year(1801) - 4;
  int64_t year = n / 365;
  while (days_before_year(year) > n) --year;
  int day_of_year = static_cast<int>(n - days_before_year(year)) + 1;
  int month = 1;
  while (day_of_year > month_length(static_cast<int32_t>(year), month)) {
    day_of_year -= month_length(static_cast<int32_t>(year), month);
    ++month;
  }
  *parts = {static_cast<int32_t>(year), static_cast<uint8_t>(day_of_year), static_cast<uint8_t>(month)};
  return true;
}

int32_t date_year(int32_t date) {
  DateParts p;
  date_parts(date, &p);
  return p.year;
}
int32_t date_month(int32_t date) {
  DateParts p;
  date_parts(date, &p);
  return p.month;
}
int32_t date_day(int32_t date) {
  DateParts p;
  date_parts(date, &p);
  return p.day;
}
int date_valid(int32_t date) { return date >= kFirstDate && date <= kLastDate ? 0 : -1; }

// Day 4 (1 January 1801) was a Thursday.
int day_of_week(int32_t date) { return static_cast<int>(((int64_t{date} % 7) + 7) % 7); }

int32_t time_from_parts(int hour, int minute, int second, int hundredths) {
  if (hour == 0 && minute == 0 && second == 0 && hundredths == 0) return 0;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || hundredths < 0 ||
      hundredths > 99)
    return -1;
  return hour * 360000 + minute * 6000 + second * 100 + hundredths + 1;
}

bool time_parts(int32_t time, TimeParts* parts) {
  *parts = {0, 0, 0, 0};
  if (time < 1 || time > kLastTime) return false;
  int32_t t = time - 1;
  *parts = {static_cast<uint8_t>(t / 360000), static_cast<uint8_t>(t % 360000 / 6000),
            static_cast<uint8_t>(t % 6000 / 100), static_cast<uint8_t>(t % 100)};
  return true;
}

int32_t today() {
  platform::LocalTime now = platform::GetLocalTime();
  return date_from_ymd(now.year, now.month, now.day);
}

int32_t clock_time() {
  platform::LocalTime now = platform::GetLocalTime();
  return now.hour * 360000 + now.minute * 6000 + now.second * 100 + now.millisecond / 10 + 1;
}

int32_t date_from_storage(const uint8_t b[4]) {
  int32_t year = b[2] | (b[3] << 8);
  if (year > 9999) return kLastDate;
  int32_t date = date_from_parts(b[1], b[0], year);
  return date == -1 ? 0 : date;
}

void date_to_storage(int32_t date, uint8_t b[4]) {
  DateParts p;
  date_parts(date, &p);
  b[0] = p.day;
  b[1] = p.month;
  b[2] = static_cast<uint8_t>(p.year & 0xFF);
  b[3] = static_cast<uint8_t>((p.year >> 8) & 0xFF);
}

int32_t time_from_storage(const uint8_t b[4]) {
  int32_t t = time_from_parts(b[3], b[2], b[1], b[0]);
  return t == -1 ? 0 : t;
}

void time_to_storage(int32_t time, uint8_t b[4]) {
  TimeParts p;
  time_parts(time, &p);
  b[0] = p.hundredths;
  b[1] = p.second;
  b[2] = p.minute;
  b[3] = p.hour;
}

std::string age(int32_t birth, int32_t base) {
  const std::string stars(255, '*');
  DateParts b, n;
  if (!date_parts(base, &n) || !date_parts(birth, &b)) return stars;
  if (birth > base) {
    birth = date_from_ymd(b.year - 100, b.month, b.day);
    if (birth == -1 || birth > base || !date_parts(birth, &b)) return stars;
  }
  int32_t days = base - birth;
  if (days < 61) return std::to_string(days) + " DAYS";
  int32_t months = (n.year - b.year) * 12 + n.month - b.month;
  if (n.day < b.day) --months;
  if (months <= 24) return std::to_string(months) + " MOS";
  int32_t years = n.year - b.year;
  if (n.month < b.month || (n.month == b.month && n.day < b.day)) --years;
  return std::to_string(years) + " YRS";
}

std::string age(int32_t birth) { return age(birth, today()); }

uint32_t elapsed_hundredths() { return platform::tick_count() - g_tick_base; }
void reset_elapsed() { g_tick_base = platform::tick_count(); }

}  // namespace vrt::core
