// Text to number and number to text.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/core/values/number_text.h"

namespace vrt::core {
namespace {

TEST(NumberText, TextToNumberRules) {
  EXPECT_DOUBLE_EQ(text_to_real(" -12,5"), -12.5);  // a comma is a decimal mark too
  EXPECT_DOUBLE_EQ(text_to_real("1.5E3"), 1500);
  EXPECT_DOUBLE_EQ(text_to_real("25e-1x"), 2.5);
  EXPECT_DOUBLE_EQ(text_to_real("12E"), 12);
  EXPECT_DOUBLE_EQ(text_to_real("3.4.5"), 3.4);  // reading stops at the second mark
  EXPECT_DOUBLE_EQ(text_to_real("abc"), 0);
  EXPECT_DOUBLE_EQ(text_to_real("+5"), 0);  // only "-" is a sign
  EXPECT_DOUBLE_EQ(text_to_real(""), 0);
  EXPECT_EQ(text_to_real("1E999999999999"), HUGE_VAL);  // huge exponents clamp, no overflow
}

TEST(NumberText, DigitStringsKeepThePlacesWritten) {
  DigitString d = digits_from_text("0012.50");
  EXPECT_EQ(std::string(d.digits, static_cast<size_t>(d.count)), "125");
  EXPECT_EQ(d.point, 2);
  EXPECT_EQ(d.places, 2);
  EXPECT_EQ(digits_to_text(d), "12.50");
  EXPECT_EQ(digits_to_text(digits_from_text("-0.005")), "-0.005");
  EXPECT_EQ(digits_to_text(digits_from_text("1.5e2")), "150");
  EXPECT_EQ(digits_to_text(digits_from_text("-0")), "0");
}

TEST(NumberText, IntegersTruncateAndSaturate) {
  EXPECT_EQ(text_to_long("-12.9"), -12);
  EXPECT_EQ(text_to_long("99999999999"), INT32_MAX);
  EXPECT_EQ(text_to_long("-99999999999"), INT32_MIN);
  EXPECT_EQ(long_to_text(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(long_to_text(0), "0");
}

TEST(NumberText, RealsShowFifteenSignificantDigits) {
  EXPECT_EQ(real_to_text(0.1 + 0.2), "0.3");
  EXPECT_EQ(real_to_text(-2.5), "-2.5");
  EXPECT_EQ(real_to_text(100), "100");
  EXPECT_EQ(real_to_text(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(real_to_text(0.999999999999999999), "1");
  EXPECT_EQ(real_to_text(1.5e40), "1.5E+40");
  EXPECT_EQ(real_to_text(std::nan("")), "0");
  EXPECT_EQ(real_to_text(5e-324), "4.94065645841247E-324");
}

}  // namespace
}  // namespace vrt::core
