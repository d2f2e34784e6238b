#include "runtime/core/values/dates.h"

#include <gtest/gtest.h>

namespace vrt::core {
namespace {

TEST(DateRange, EndsAreValidAndNeighboursAreNot) {
  EXPECT_EQ(date_from_ymd(1801, 1, 1), 4);
  EXPECT_EQ(date_from_ymd(9999, 12, 31), 2994626);
  EXPECT_EQ(date_valid(4), 0);
  EXPECT_EQ(date_valid(2994626), 0);
  EXPECT_EQ(date_valid(3), -1);
  EXPECT_EQ(date_valid(2994627), -1);
  DateParts p;
  EXPECT_FALSE(date_parts(2994627, &p));
  EXPECT_EQ(p.year, 0);
  EXPECT_FALSE(date_parts(0, &p));
  EXPECT_EQ(date_year(3), 0);
}

TEST(DateRange, LeapCenturies) {
  EXPECT_EQ(date_from_ymd(1900, 2, 29), -1);
  EXPECT_NE(date_from_ymd(2000, 2, 29), -1);
  EXPECT_EQ(date_from_ymd(2000, 3, 1) - date_from_ymd(2000, 2, 28), 2);
  EXPECT_EQ(date_from_ymd(1900, 3, 1) - date_from_ymd(1900, 2, 28), 1);
}

TEST(DateRoundTrip, EveryDayBreaksDownToItsOwnParts) {
  // Walking the whole range catches off-by-one errors at every month and
  // year boundary, leap rules included.
  int32_t expected = 4;
  for (int32_t y = 1801; y <= 9999; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= month_length(y, m); ++d) {
        ASSERT_EQ(date_from_ymd(y, m, d), expected) << y << "-" << m << "-" << d;
        DateParts p;
        ASSERT_TRUE(date_parts(expected, &p));
        ASSERT_EQ(p.year, y);
        ASSERT_EQ(p.month, m);
        ASSERT_EQ(p.day, d);
        ++expected;
      }
  EXPECT_EQ(expected - 1, kLastDate);
}

TEST(DateFromParts, CarriesMonthsAndDays) {
  EXPECT_EQ(date_from_parts(14, 1, 2003), date_from_ymd(2004, 2, 1));
  EXPECT_EQ(date_from_parts(2, 30, 2004), date_from_ymd(2004, 3, 1));
  EXPECT_EQ(date_from_parts(12, 32, 2003), date_from_ymd(2004, 1, 1));
  EXPECT_EQ(date_from_parts(2, 29, 2003), date_from_ymd(2003, 3, 1));
  EXPECT_EQ(date_from_parts(0, 1, 2003), -1);
  EXPECT_EQ(date_from_parts(1, 0, 2003), -1);
  EXPECT_EQ(date_from_parts(12, 31, 9999), kLastDate);
  EXPECT_EQ(date_from_parts(12, 32, 9999), -1);
  // Huge parts end quickly and invalid, never in a long loop.
  EXPECT_EQ(date_from_parts(2147483647, 2147483647, 2147483647), -1);
  EXPECT_EQ(date_from_parts(-5, -5, -2147483647), -1);
}

TEST(CenturyWindow, TwoDigitYearsAroundTheCurrentYear) {
  EXPECT_EQ(expand_year(44, 80, 2024), 1944);
  EXPECT_EQ(expand_year(43, 80, 2024), 2043);
  EXPECT_EQ(expand_year(24, 80, 2024), 2024);
  EXPECT_EQ(expand_year(0, 80, 2000), 2000);
  EXPECT_EQ(expand_year(99, 80, 2000), 1999);
  EXPECT_EQ(expand_year(19, 80, 2000), 2019);
  EXPECT_EQ(expand_year(20, 80, 2000), 1920);
  for (int y = 0; y < 100; ++y) {
    int32_t e = expand_year(y, 80, 2024);
    EXPECT_GE(e, 2024 - 80);
    EXPECT_LE(e, 2024 - 80 + 99);
    EXPECT_EQ(e % 100, y);
  }
}

TEST(Times, PartsAndLimits) {
  EXPECT_EQ(time_from_parts(23, 59, 59, 99), 8640000);
  EXPECT_EQ(time_from_parts(0, 0, 0, 0), 0);
  EXPECT_EQ(time_from_parts(0, 0, 0, 1), 2);
  EXPECT_EQ(time_from_parts(24, 0, 0, 0), -1);
  EXPECT_EQ(time_from_parts(0, 60, 0, 0), -1);
  EXPECT_EQ(time_from_parts(0, 0, 0, 100), -1);
  EXPECT_EQ(time_from_parts(-1, 0, 0, 0), -1);
  TimeParts t;
  ASSERT_TRUE(time_parts(1, &t));
  EXPECT_EQ(t.hour + t.minute + t.second + t.hundredths, 0);
  ASSERT_TRUE(time_parts(8640000, &t));
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 59);
  EXPECT_EQ(t.hundredths, 99);
  EXPECT_FALSE(time_parts(8640001, &t));
  EXPECT_FALSE(time_parts(0, &t));
}

TEST(Storage, DateBytesOrderLikeDates) {
  uint8_t b[4];
  int32_t d = date_from_ymd(1959, 10, 31);
  date_to_storage(d, b);
  EXPECT_EQ(b[0], 31);
  EXPECT_EQ(b[1], 10);
  EXPECT_EQ(b[2] | (b[3] << 8), 1959);
  EXPECT_EQ(date_from_storage(b), d);
  uint32_t earlier, later;
  date_to_storage(d, b);
  earlier = b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
  date_to_storage(d + 40, b);
  later = b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
  EXPECT_LT(earlier, later);

  date_to_storage(0, b);
  EXPECT_EQ(b[0] | b[1] | b[2] | b[3], 0);
  EXPECT_EQ(date_from_storage(b), 0);
  const uint8_t big_year[4] = {1, 1, 0xFF, 0xFF};
  EXPECT_EQ(date_from_storage(big_year), kLastDate);
  const uint8_t bad_month[4] = {1, 13, 0xD0, 0x07};  // month 13 of 2000 carries over
  EXPECT_EQ(date_from_storage(bad_month), date_from_ymd(2001, 1, 1));
  const uint8_t day_zero[4] = {0, 5, 0xD0, 0x07};
  EXPECT_EQ(date_from_storage(day_zero), 0);
}

TEST(Storage, TimeBytes) {
  uint8_t b[4];
  int32_t t = time_from_parts(13, 14, 15, 16);
  time_to_storage(t, b);
  EXPECT_EQ(b[0], 16);
  EXPECT_EQ(b[1], 15);
  EXPECT_EQ(b[2], 14);
  EXPECT_EQ(b[3], 13);
  EXPECT_EQ(time_from_storage(b), t);
  const uint8_t bad[4] = {0, 0, 0, 24};
  EXPECT_EQ(time_from_storage(bad), 0);
}

TEST(Age, DaysMonthsYearsAndStars) {
  int32_t base = date_from_ymd(2003, 3, 3);
  EXPECT_EQ(age(base - 60, base), "60 DAYS");
  EXPECT_EQ(age(date_from_ymd(2003, 1, 1), base), "2 MOS");  // 61 days
  EXPECT_EQ(age(base, base), "0 DAYS");
  EXPECT_EQ(age(date_from_ymd(2001, 3, 3), base), "24 MOS");
  EXPECT_EQ(age(date_from_ymd(2001, 3, 4), base), "23 MOS");
  EXPECT_EQ(age(date_from_ymd(2001, 2, 3), base), "2 YRS");
  EXPECT_EQ(age(date_from_ymd(1959, 10, 31), base), "43 YRS");
  // A birth date after the base is read a century earlier.
  EXPECT_EQ(age(date_from_ymd(2050, 3, 3), base), "53 YRS");
  EXPECT_EQ(age(date_from_ymd(2150, 3, 3), base), std::string(255, '*'));
  EXPECT_EQ(age(0, base), std::string(255, '*'));
}

TEST(Weekday, KnownDays) {
  EXPECT_EQ(day_of_week(4), 4);                           // 1 January 1801, a Thursday
  EXPECT_EQ(day_of_week(date_from_ymd(2026, 12, 8)), 2);  // a Tuesday
}

}  // namespace
}  // namespace vrt::core
