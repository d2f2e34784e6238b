// Date and time pictures, and the layouts compiled from the system's
// international settings.
#include <gtest/gtest.h>

#include "runtime/core/values/dates.h"
#include "runtime/core/base/environment.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/windows_layouts.h"

namespace vrt::core {
namespace {

const int32_t kOct31_1959 = date_from_ymd(1959, 10, 31);
const int32_t kJan1_1801 = 4;

std::string FD(const char* picture, int32_t date) { return Format(compile_picture(picture), std::to_string(date)); }
int32_t T(int h, int m, int s = 0) { return time_from_parts(h, m, s, 0); }

class DatePictureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    reset_settings();
    compile_windows_layouts(IntlSettings{});
  }
};

TEST_F(DatePictureTest, NumberedLayouts) {
  EXPECT_EQ(FD("@D1", kJan1_1801), " 1/01/01");
  EXPECT_EQ(FD("@D01", kJan1_1801), "01/01/01");
  EXPECT_EQ(FD("@D2", kJan1_1801), " 1/01/1801");
  EXPECT_EQ(FD("@D3", kOct31_1959), "OCT 31,1959");
  EXPECT_EQ(FD("@D4", kOct31_1959), "October 31, 1959     ");
  EXPECT_EQ(FD("@D5", kOct31_1959), "31/10/59");
  EXPECT_EQ(FD("@D7", kOct31_1959), "31 OCT 59");
  EXPECT_EQ(FD("@D8", kOct31_1959), "31 OCT 1959");
  EXPECT_EQ(FD("@D10", kOct31_1959), "1959/10/31");
  EXPECT_EQ(FD("@D12", kOct31_1959), "19591031");
  EXPECT_EQ(FD("@D14", kOct31_1959), "10/1959");
  EXPECT_EQ(FD("@D16", kOct31_1959), "1959/10");
}

TEST_F(DatePictureTest, SeparatorsFillsAndShortNames) {
  EXPECT_EQ(FD("@D6.", kOct31_1959), "31.10.1959");
  EXPECT_EQ(FD("@D6-", kOct31_1959), "31-10-1959");
  EXPECT_EQ(FD("@D6_", kOct31_1959), "31 10 1959");
  EXPECT_EQ(FD("@D3`", kOct31_1959), "OCT 31,1959");
  EXPECT_EQ(FD("@D*1", date_from_ymd(2005, 3, 7)), "*3/*7/*5");
  EXPECT_EQ(FD("@D4", date_from_ymd(2000, 5, 2)), "May  2, 2000         ");
}

TEST_F(DatePictureTest, NoDateAndInvalidDates) {
  EXPECT_EQ(FD("@D1", 0), "  /  /  ");
  EXPECT_EQ(FD("@D1B", 0), "        ");
  EXPECT_EQ(FD("@D3", 3), "      ,    ");
  EXPECT_EQ(FD("@D4", kLastDate + 1).size(), 21u);
}

TEST_F(DatePictureTest, MonthNamesComeFromTheSettings) {
  set_environment_value("ZORMONTH", "Januar,Februar,März,April,Mai,Juni,Juli,August,September,Oktober");
  set_environment_value("ZORMON", "JAN,FEB,MRZ,APR,MAI,JUN,JUL,AUG,SEP,OKT");
  EXPECT_EQ(FD("@D4", kOct31_1959), "Oktober 31, 1959     ");
  EXPECT_EQ(FD("@D3", kOct31_1959), "OKT 31,1959");
}

TEST_F(DatePictureTest, TimeLayouts) {
  EXPECT_EQ(FD("@T1", T(17, 30)), "17:30");
  EXPECT_EQ(FD("@T2", T(7, 5)), " 705");
  EXPECT_EQ(FD("@T3", T(17, 30)), " 5:30PM");
  EXPECT_EQ(FD("@T3", T(0, 15)), "12:15AM");
  EXPECT_EQ(FD("@T3", T(12, 0)), "12:00PM");
  EXPECT_EQ(FD("@T4", T(9, 8, 7)), " 9:08:07");
  EXPECT_EQ(FD("@T05", T(9, 8, 7)), "090807");
  EXPECT_EQ(FD("@T6.", T(23, 59, 59)), "11.59.59PM");
  EXPECT_EQ(FD("@T1", 0), "  :  ");
  EXPECT_EQ(FD("@T1B", 0), "     ");
  EXPECT_EQ(FD("@T4", kLastTime + 1), "  :  :  ");
}

TEST_F(DatePictureTest, AmPmTextsFollowTheirSettings) {
  set_environment_value("ZORAMPM", "vm,nm");
  EXPECT_EQ(FD("@T3", T(17, 30)), " 5:30nm");
  EXPECT_EQ(FD("@T7", T(17, 30)), "05:30 PM");  // the system layouts keep the system's texts
}

TEST_F(DatePictureTest, SystemLayoutsFromTheDefaultSettings) {
  compile_windows_layouts(IntlSettings{});
  EXPECT_EQ(FD("@D17", kOct31_1959), "10/31/59");
  EXPECT_EQ(FD("@D18", kOct31_1959), "October 31, 1959  ");
  EXPECT_EQ(FD("@T7", T(13, 5)), "01:05 PM");
  EXPECT_EQ(FD("@T8", T(13, 5, 9)), "01:05:09 PM");
  EXPECT_EQ(FD("@D17-B", 0), "        ");
  EXPECT_EQ(FD("@D17-", kOct31_1959), "10-31-59");
}

TEST_F(DatePictureTest, SystemLayoutsFromOtherSettings) {
  IntlSettings intl;
  intl.short_date = "d.M.yyyy";
  intl.long_date = "dddd, d'. 'MMMM yyyy";
  intl.itime = 1;
  intl.itlzero = 0;
  intl.stime = ".";
  compile_windows_layouts(intl);
  EXPECT_EQ(FD("@D17", date_from_ymd(2004, 3, 7)), " 7. 3.2004");
  EXPECT_EQ(FD("@D18", date_from_ymd(2004, 3, 7)), " 7. March 2004    ");
  EXPECT_EQ(FD("@T7", T(9, 5)), " 9.05");
  EXPECT_EQ(FD("@T8", T(21, 5, 1)), "21.05.01");

  intl.short_date = "yyyy-MM-dd";
  intl.long_date = "yyyy MMM d";
  compile_windows_layouts(intl);
  EXPECT_EQ(FD("@D17", date_from_ymd(2004, 3, 7)), "2004-03-07");
  EXPECT_EQ(FD("@D18", date_from_ymd(2004, 3, 7)), "2004 Mar  7");  // @D18 shows names as stored
}

}  // namespace
}  // namespace vrt::core
