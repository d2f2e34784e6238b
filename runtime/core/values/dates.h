// Standard dates and times.
//
// A standard date is a signed day count: 4 is 1 January 1801, 2994626 is
// 31 December 9999, 0 is "no date", anything else outside 4..2994626 is
// invalid. A standard time is hundredths of a second since midnight plus
// one: 1 is 00:00:00.00, 8640000 is 23:59:59.99, 0 is "no time".
#pragma once
#include <cstdint>
#include <string>

namespace vrt::core {

inline constexpr int32_t kFirstDate = 4;
inline constexpr int32_t kLastDate = 2994626;
inline constexpr int32_t kLastTime = 8640000;
inline constexpr int kCenturyWindow = 80;

struct DateParts {
  int32_t year;
  uint8_t day;
  uint8_t month;
};

struct TimeParts {
  uint8_t hour, minute, second, hundredths;
};

// Two-digit years: the year ending in y that lies in C - w .. C - w + 99,
// where C is the current year.
int32_t expand_year(int32_t two_digit_year, int window, int32_t current_year);
int32_t expand_year(int32_t two_digit_year, int window = kCenturyWindow);
// The current year, read from the clock once per process.
int32_t current_year();

bool is_leap_year(int32_t year);
int month_length(int32_t year, int month);

// The strict conversion: -1 unless year (after expansion), month and day
// name a real date in 1801..9999.
int32_t date_from_ymd(int32_t year, int month, int day);

// The language's DATE(month, day, year): months above 12 and days beyond
// the month carry into the next month and year.
int32_t date_from_parts(int32_t month, int32_t day, int32_t year);

// False (with all parts 0) for an invalid date.
bool date_parts(int32_t date, DateParts* parts);
int32_t date_year(int32_t date);
int32_t date_month(int32_t date);
int32_t date_day(int32_t date);
// 0 when valid, -1 when not.
int date_valid(int32_t date);
// 0 Sunday .. 6 Saturday.
int day_of_week(int32_t date);

// 0 when all four are 0; -1 when a part is out of range.
int32_t time_from_parts(int hour, int minute, int second, int hundredths);
// False (with all parts 0) outside 1..8640000.
bool time_parts(int32_t time, TimeParts* parts);

int32_t today();
int32_t clock_time();

// The 4-byte DATE and TIME storage forms.
int32_t date_from_storage(const uint8_t bytes[4]);
void date_to_storage(int32_t date, uint8_t bytes[4]);
int32_t time_from_storage(const uint8_t bytes[4]);
void time_to_storage(int32_t time, uint8_t bytes[4]);

// "<n> DAYS", "<n> MOS" or "<n> YRS"; 255 asterisks when the birth date is
// after the base even a century earlier, or invalid.
std::string age(int32_t birth, int32_t base);
std::string age(int32_t birth);

// Hundredths of a second since the last reset of the tick base.
uint32_t elapsed_hundredths();
void reset_elapsed();

}  // namespace vrt::core
