// Compiling and formatting numeric pictures: @N, @E, @P and @K, with their
// rounding, overflow, grouping and sign rules.
#include <gtest/gtest.h>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {
namespace {

std::string F(const char* picture, const char* value) { return Format(value, picture); }

// The element row as "character/code" pairs, for layout checks.
std::string layout(const char* picture) {
  CompiledPicture p = compile_picture(picture);
  std::string s;
  for (int i = 0; i < p.count(); ++i) {
    s += p.element(i).ch;
    s += std::to_string(p.element(i).code);
    s += ' ';
  }
  return s;
}

TEST(PictureCompile, HeaderCarriesKindSubKindBlankAndCount) {
  CompiledPicture p = compile_picture("@N9.2B");
  EXPECT_EQ(p.kind(), kPictureNumber);
  EXPECT_EQ(p.sub_kind(), 3);
  EXPECT_TRUE(p.blank_when_zero());
  EXPECT_EQ(p.count(), 9);
  EXPECT_EQ(p.source, "@N9.2B");
  EXPECT_EQ(compile_picture("@s20").count(), 20);
  EXPECT_EQ(compile_picture("@E12.3").sub_kind(), 2);
  EXPECT_EQ(compile_picture("@D1").sub_kind(), 1);
}

TEST(PictureCompile, NumberLayouts) {
  EXPECT_EQ(layout("@N9.2"), " 4  4 ,1  4  4 03 .2 03 03 ");
  EXPECT_EQ(layout("@N$-6"), "$6 -5 ,1  4  4 03 ");
  EXPECT_EQ(layout("@N(5)"), "(5  4  4 03 )5 ");
  EXPECT_EQ(layout("@N05"), "03 03 03 03 03 ");  // a fill turns grouping off
  EXPECT_EQ(layout("@N_5"), " 4  4  4  4 03 ");
  EXPECT_EQ(layout("@N*6_"), "*3 *3  1 *3 *3 03 ");  // "_" given alone is the grouping character
  EXPECT_EQ(layout("@N7`2"), ".1  4  4 03 ,2 03 03 ");
  EXPECT_EQ(layout("@N10.`2"), " 4  4  4 .1  4  4 03 ,2 03 03 ");
  EXPECT_EQ(layout("@N7v2~DM~"), " 4  4 022 03 03 D6 M6 ");
}

TEST(PictureCompile, InvalidPicturesCompileToTheEmptyPicture) {
  for (const char* bad : {"", "@", "N9", "@X5", "@N", "@N(5", "@N5)", "@N-5-", "@N$5$", "@N3.2-", "@N~DM5",
                          "@S0", "@S256", "@S5x", "@D19", "@D0", "@D1x", "@T9", "@T1x", "@P###", "@P###p", "@K##",
                          "@E6", "@N255", "@Q"}) {
    CompiledPicture p = compile_picture(bad);
    EXPECT_TRUE(is_empty_picture(p)) << bad;
    EXPECT_EQ(p.count(), 255) << bad;
  }
  EXPECT_TRUE(is_empty_picture(compile_picture("@S" + std::string(300, '9'))));
  EXPECT_FALSE(is_empty_picture(compile_picture("@N254")));
}

TEST(FormatNumber, GroupingShowsOnlyBetweenDigitsAndGivesWayWhenNeeded) {
  EXPECT_EQ(F("@N9.2", "1234.5"), " 1,234.50");
  EXPECT_EQ(F("@N9.2", "123.5"), "   123.50");
  EXPECT_EQ(F("@N9.2", "123456"), "123456.00");
  EXPECT_EQ(F("@N9.2", "1234567"), "######.##");
  EXPECT_EQ(F("@N12", "1234567890"), "1234,567,890");  // the leftmost grouping gives way first
  EXPECT_EQ(F("@N12", "12345678901"), "12345678,901");
  EXPECT_EQ(F("@N12", "123456789012"), "123456789012");
  EXPECT_EQ(F("@N12", "1234567890123"), "############");
  EXPECT_EQ(F("@N12.`2", "1234567.5"), "1.234.567,50");
}

TEST(FormatNumber, RoundsHalfUpAtTheLastDecimal) {
  EXPECT_EQ(F("@N9.2", "2.345"), "     2.35");
  EXPECT_EQ(F("@N9.2", "-2.345"), "     2.35");  // no sign position: the sign is not shown
  EXPECT_EQ(F("@N-9.2", "-2.345"), "-    2.35");
  EXPECT_EQ(F("@N5", "999.5"), "1,000");  // the carry adds a leading digit
  EXPECT_EQ(F("@N3", "999.5"), "###");
  EXPECT_EQ(F("@N-5.2", "-0.001"), " 0.00");  // rounded to zero: no sign
  EXPECT_EQ(F("@N6.2", "0.004"), "  0.00");
  EXPECT_EQ(F("@N4.3", "0.0005"), ".001");
}

TEST(FormatNumber, SignsAndTheGroupingRule) {
  EXPECT_EQ(F("@N-5", "-123"), " -123");  // the sign moves into the grouping position
  EXPECT_EQ(F("@N-5", "-1234"), "-1234");
  EXPECT_EQ(F("@N-5", "123"), "  123");
  EXPECT_EQ(F("@N(6)", "-12"), " ( 12)");
  EXPECT_EQ(F("@N(6)", "12"), "   12 ");
  EXPECT_EQ(F("@N8.2-", "-12.5"), "  12.50-");
  EXPECT_EQ(F("@N-14", "-1234567"), "-    1,234,567");
}

TEST(FormatNumber, FillsAndCurrency) {
  EXPECT_EQ(F("@N*10.2", "12.5"), "*****12.50");
  EXPECT_EQ(F("@N*10_.2", "1234.5"), "**1 234.50");
  EXPECT_EQ(F("@N*8.`2", "1234"), "1.234,00");
  EXPECT_EQ(F("@N$10.2", "1234.5"), "$ 1,234.50");
  EXPECT_EQ(F("@N9.2~ DM~", "-5"), "  5.00 DM");
  EXPECT_EQ(F("@N010", "42"), "0000000042");
  EXPECT_EQ(F("@N_6", "0"), "     0");
}

TEST(FormatNumber, BlankWhenZero) {
  EXPECT_EQ(F("@N9.2B", "0"), "         ");
  EXPECT_EQ(F("@N9.2B", "0.01"), "     0.01");
  EXPECT_EQ(F("@P###-##P" "B", "0"), "      ");
}

TEST(FormatNumber, ImpliedDecimalMarkTakesTheUnitsDigit) {
  EXPECT_EQ(F("@N6v2", "12.34"), "  1234");
  EXPECT_EQ(F("@N6v2", "0.5"), "   050");
}

TEST(FormatNumber, Scientific) {
  EXPECT_EQ(F("@E12.3", "12345.678"), " 12.346E+003");
  EXPECT_EQ(F("@E12.3", "-0.00012345"), "-12.345E-005");
  EXPECT_EQ(F("@E10.2", "9.999"), " 1.00E+001");  // rounding moves the exponent
  EXPECT_EQ(F("@E9.2", "0.5"), " .50E+000");  // no integer positions
  EXPECT_EQ(F("@E12.3", "0"), " 00.000E+000");
  EXPECT_EQ(F("@E9.2", "1E2000"), " .10E+###");
}

TEST(FormatNumber, PatternsAndKeyIn) {
  EXPECT_EQ(F("@P###-##-####P", "123456789"), "123-45-6789");
  EXPECT_EQ(F("@P(###)<##-####P", "5551234"), "(000)555-1234");
  EXPECT_EQ(F("@P<<#P", "7"), "  7");
  EXPECT_EQ(F("@P##P", "12345"), "##");
  EXPECT_EQ(F("@PABCP", "12345"), "ABC");  // no digit positions: exempt from "#"
  EXPECT_EQ(F("@K(###) ###-####K", "5551234567"), "(555) 123-4567");
  EXPECT_EQ(F("@K@@@-\\###K", "AB12"), "AB1-#2 ");
}

TEST(FormatNumber, StringsCutAndPad) {
  EXPECT_EQ(F("@S5", "abcdefg"), "abcde");
  EXPECT_EQ(F("@S5", "ab"), "ab   ");
  EXPECT_EQ(F("nonsense", "ab").size(), 255u);
}

}  // namespace
}  // namespace vrt::core
