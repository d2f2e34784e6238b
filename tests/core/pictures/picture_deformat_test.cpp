// DEFORMAT through every picture kind, and FORMAT followed by DEFORMAT
// giving the value back.
#include <gtest/gtest.h>

#include "runtime/core/values/dates.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/settings.h"

namespace vrt::core {
namespace {

std::string DF(const char* picture, const char* text) { return Deformat(text, picture); }
std::string N(int32_t v) { return std::to_string(v); }

TEST(Deformat, Numbers) {
  EXPECT_EQ(DF("@N9.2", "1,234.50"), "1234.50");
  EXPECT_EQ(DF("@N9.2", " 1,234.50"), "1234.50");
  EXPECT_EQ(DF("@N9.2", "123"), "123");
  EXPECT_EQ(DF("@N-9.2", "-   12.50"), "-12.50");
  EXPECT_EQ(DF("@N(9.2)", "(  12.50)"), "-12.50");
  EXPECT_EQ(DF("@N12.`2", "1.234.567,50"), "1234567.50");
  EXPECT_EQ(DF("@N$10.2", "$ 1,234.50"), "1234.50");
  EXPECT_EQ(DF("@N9.2", "   0.00"), "0");
  EXPECT_EQ(DF("@N6v2", "  1234"), "12.34");
  EXPECT_EQ(DF("@N6v2", "1234"), "12.34");  // right-aligned as FORMAT shows it
  EXPECT_EQ(DF("@E12.3", " 12.346E+003"), "12346");
  EXPECT_EQ(DF("@E12.3", "-12.345E-005"), "-0.00012345");
}

TEST(Deformat, StringsReduceToANumber) {
  EXPECT_EQ(DF("@S20", "abc-12.5x"), "-12.5");
  EXPECT_EQ(DF("@S20", "$1,234.5.6"), "1234.56");
  EXPECT_EQ(DF("@S20", "1.5E-3 units"), "1.5E-3");
  EXPECT_EQ(DF("", "x1-2"), "12");
}

TEST(Deformat, PatternsAndKeyInKeepTheirCharacters) {
  EXPECT_EQ(DF("@P###-##-####P", "012-34-5678"), "012345678");
  EXPECT_EQ(DF("@P<<#P", "  7"), "007");
  EXPECT_EQ(DF("@K(###) ###-####K", "(555) 123-4567"), "5551234567");
  EXPECT_EQ(DF("@K@@@-###K", "AB1-234"), "AB1234");
}

TEST(Deformat, Dates) {
  const int32_t oct31 = date_from_ymd(1959, 10, 31);
  EXPECT_EQ(DF("@D4", "October 31, 1959"), N(oct31));
  EXPECT_EQ(DF("@D3", "oct 31,1959"), N(oct31));
  EXPECT_EQ(DF("@D2", "10/31/1959"), N(oct31));
  EXPECT_EQ(DF("@D2", "1/5/1959"), N(date_from_ymd(1959, 1, 5)));  // short fields end early
  EXPECT_EQ(DF("@D6.", "31.10.1959"), N(oct31));
  EXPECT_EQ(DF("@D14", "10/1959"), N(date_from_ymd(1959, 10, 1)));  // day 1 assumed
  EXPECT_EQ(DF("@D1", "  /  /  "), "0");
  EXPECT_EQ(DF("@D2", "02/30/1959"), N(date_from_ymd(1959, 3, 2)));  // days carry as DATE() does
  EXPECT_EQ(DF("@D2", "13/00/1959"), "-1");
}

TEST(Deformat, TwoDigitYearsUseThePicturesWindow) {
  int32_t c = current_year();
  int32_t y = c - 10;  // inside every window below
  char text[16];
  std::snprintf(text, sizeof text, "01/02/%02d", y % 100);
  EXPECT_EQ(DF("@D1", text), N(date_from_ymd(y, 1, 2)));
  std::snprintf(text, sizeof text, "01/02/%02d", (c + 20) % 100);
  EXPECT_EQ(DF("@D1", text), N(date_from_ymd(c - 80, 1, 2)));    // window 80: C-80 .. C+19
  EXPECT_EQ(DF("@D1<10", text), N(date_from_ymd(c + 20, 1, 2)));  // window 10: C-10 .. C+89
  EXPECT_EQ(DF("@D1<0", text), N(date_from_ymd(c - 80, 1, 2)));   // 0 gives 80
  EXPECT_EQ(DF("@D1>10", text), N(date_from_ymd(c - 80, 1, 2)));  // window 89: C-89 .. C+10
}

TEST(Deformat, Times) {
  EXPECT_EQ(DF("@T3", " 5:30PM"), N(time_from_parts(17, 30, 0, 0)));
  EXPECT_EQ(DF("@T3", "12:15am"), N(time_from_parts(0, 15, 0, 0)));
  EXPECT_EQ(DF("@T3", "12:15PM"), N(time_from_parts(12, 15, 0, 0)));
  EXPECT_EQ(DF("@T4", "23:59:59"), N(time_from_parts(23, 59, 59, 0)));
  EXPECT_EQ(DF("@T4", "24:00:00"), "-1");
  EXPECT_EQ(DF("@T1", "10:60"), "-1");
  EXPECT_EQ(DF("@T1", "00:00"), "0");
  EXPECT_EQ(DF("@T1", ""), "0");
}

TEST(Deformat, FormatThenDeformatGivesTheValueBack) {
  for (const char* picture : {"@N-11.2", "@N$(12.2)", "@N-*12.2", "@N12.`2-", "@N-014.2", "@N-9v2"})
    for (const char* value : {"0", "1", "-1", "12.5", "-1234.56", "999999.99"}) {
      CompiledPicture p = compile_picture(picture);
      std::string shown = Format(p, value);
      if (shown.find('#') != std::string::npos) continue;
      EXPECT_DOUBLE_EQ(text_to_real(Deformat(p, shown)), text_to_real(value)) << picture << " " << value;
    }
  for (int32_t date : {4, 58015, kLastDate})
    for (const char* picture : {"@D2", "@D3", "@D4", "@D6-", "@D8", "@D10", "@D12", "@D17", "@D18"}) {
      CompiledPicture p = compile_picture(picture);
      if (std::string(picture) == "@D17") continue;  // two-digit years
      EXPECT_EQ(Deformat(p, Format(p, N(date))), N(date)) << picture << " " << date;
    }
  for (int32_t time : {time_from_parts(0, 0, 1, 0), time_from_parts(12, 0, 0, 0), time_from_parts(23, 59, 59, 0)})
    for (const char* picture : {"@T4", "@T5", "@T6", "@T8"}) {
      CompiledPicture p = compile_picture(picture);
      EXPECT_EQ(Deformat(p, Format(p, N(time))), N(time)) << picture << " " << time;
    }
}

}  // namespace
}  // namespace vrt::core
