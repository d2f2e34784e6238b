// Exact decimal arithmetic, the packed field forms and the decimal stack.
#include <gtest/gtest.h>

#include "runtime/core/values/decimal.h"
#include "runtime/core/values/decimal_field.h"
#include "runtime/core/values/decimal_stack.h"

namespace vrt::core {
namespace {

Decimal D(const char* text) { return decimal_from_text(text); }
std::string T(const Decimal& d) { return decimal_to_text(d); }

std::string op(const char* a, DecimalStatus (*f)(const Decimal&, const Decimal&, Decimal*), const char* b) {
  Decimal r;
  f(D(a), D(b), &r);
  return T(r);
}

std::string hex(const uint8_t* b, int n) {
  std::string s;
  char buf[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", b[i]);
    s += buf;
  }
  return s;
}

TEST(Decimal, AddAndSubtractAlignOnThePointAndFollowTheLargerMagnitude) {
  EXPECT_EQ(op("1.5", decimal_add, "2.25"), "3.75");
  EXPECT_EQ(op("1.5", decimal_subtract, "2.25"), "-0.75");
  EXPECT_EQ(op("-1.5", decimal_add, "2.25"), "0.75");
  EXPECT_EQ(op("-1.5", decimal_add, "1.5"), "0");  // zero has no sign and no places
  EXPECT_EQ(op("99999999999999999999999999999999", decimal_add, "0.00000000000000000000000000000001"),
            "99999999999999999999999999999999.00000000000000000000000000000001");
}

TEST(Decimal, CarryOutOfTheTopDigitIsOverflow) {
  Decimal r;
  EXPECT_EQ(decimal_add(D("99999999999999999999999999999999"), D("1"), &r), DecimalStatus::kOverflow);
  EXPECT_EQ(decimal_multiply(D("10000000000000000"), D("10000000000000000"), &r), DecimalStatus::kOverflow);
}

TEST(Decimal, MultiplyIsExactDownToTheLastFractionDigit) {
  EXPECT_EQ(op("1.5", decimal_multiply, "-2"), "-3.0");
  EXPECT_EQ(op("123456789.123", decimal_multiply, "987654321.987"), "121932631355968601.347401");
  // Digits below 10^-32 are dropped, not rounded.
  EXPECT_EQ(op("0.0000000000000000000000000000001", decimal_multiply, "0.19"),
            "0.00000000000000000000000000000001");
}

TEST(Decimal, DivisionRoundsHalfUpTo31Places) {
  EXPECT_EQ(op("1", decimal_divide, "3"), "0." + std::string(31, '3'));
  EXPECT_EQ(op("2", decimal_divide, "3"), "0." + std::string(30, '6') + "7");
  EXPECT_EQ(op("1", decimal_divide, "4"), "0.25");
  EXPECT_EQ(op("-10", decimal_divide, "4"), "-2.5");
  EXPECT_EQ(op("123456789012345678901234567890", decimal_divide, "0.5"), "246913578024691357802469135780");
  Decimal r;
  EXPECT_EQ(decimal_divide(D("1"), D("0"), &r), DecimalStatus::kDivideByZero);
  EXPECT_EQ(T(r), "0");
}

TEST(Decimal, PowerByAnInteger) {
  Decimal r;
  decimal_power(D("1.5"), 2, &r);
  EXPECT_EQ(T(r), "2.25");
  decimal_power(D("2"), -2, &r);
  EXPECT_EQ(T(r), "0.25");
  decimal_power(D("7"), 0, &r);
  EXPECT_EQ(T(r), "1");
  EXPECT_EQ(decimal_power(D("10"), 40, &r), DecimalStatus::kOverflow);
  EXPECT_EQ(decimal_power(D("0"), -1, &r), DecimalStatus::kDivideByZero);
  EXPECT_EQ(decimal_power(D("1"), INT32_MIN, &r), DecimalStatus::kOk);
}

TEST(Decimal, RoundingActsOnTheMagnitude) {
  Decimal d = D("2.345");
  decimal_round(&d, 2);
  EXPECT_EQ(T(d), "2.35");
  d = D("-2.345");
  decimal_round(&d, 2);
  EXPECT_EQ(T(d), "-2.35");
  d = D("9.995");
  decimal_round(&d, 2);
  EXPECT_EQ(T(d), "10.00");
  d = D("2");
  decimal_round(&d, 2);
  EXPECT_EQ(T(d), "2.00");  // the value now carries the places
}

TEST(Decimal, SignCompareAndIntegerPart) {
  EXPECT_EQ(decimal_sign(D("0.00")), 0);
  EXPECT_EQ(decimal_sign(D("0.01")), 1);
  EXPECT_EQ(decimal_sign(D("-0.01")), 255);
  EXPECT_LT(decimal_compare(D("-2"), D("-1.5")), 0);
  EXPECT_EQ(decimal_compare(D("1.50"), D("1.5")), 0);
  EXPECT_EQ(decimal_compare(D("-0"), D("0")), 0);
  EXPECT_EQ(decimal_integer_part(D("-12.99")), -12);
  EXPECT_EQ(decimal_integer_part(D("99999999999")), INT32_MAX);
}

TEST(Decimal, RealsGoThroughFifteenSignificantDigits) {
  EXPECT_EQ(T(decimal_from_real(0.1)), "0.1");
  EXPECT_EQ(T(decimal_from_real(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(T(decimal_from_real(-2.5e-40)), "0");  // below the accumulator
  EXPECT_EQ(T(decimal_from_real(123456789.125)), "123456789.125");
  EXPECT_DOUBLE_EQ(decimal_to_real(D("-12.5")), -12.5);
}

TEST(DecimalField, SignFirstAndSignLastLayouts) {
  uint8_t b[3];
  decimal_to_field(D("-123.45"), b, 3, 2, false);
  EXPECT_EQ(hex(b, 3), "F1 23 45");
  decimal_to_field(D("-123.45"), b, 3, 2, true);
  EXPECT_EQ(hex(b, 3), "12 34 5D");
  decimal_to_field(D("123.45"), b, 3, 2, true);
  EXPECT_EQ(hex(b, 3), "12 34 5F");
  EXPECT_EQ(T(decimal_from_field(b, 3, 2, true)), "123.45");
}

TEST(DecimalField, ReadingAcceptsEveryStoredSign) {
  const uint8_t sign_first[2] = {0x71, 0x23};  // any non-zero sign nibble is negative
  EXPECT_EQ(T(decimal_from_field(sign_first, 2, 1, false)), "-12.3");
  const uint8_t sign_last[2] = {0x12, 0x3C};  // only D is negative
  EXPECT_EQ(T(decimal_from_field(sign_last, 2, 0, true)), "123");
  const uint8_t damaged[2] = {0x0F, 0xAB};  // digit nibbles above 9 read as 0
  EXPECT_EQ(T(decimal_from_field(damaged, 2, 0, false)), "0");
}

TEST(DecimalField, StoringRoundsAndLosesHighDigits) {
  uint8_t b[2];
  EXPECT_EQ(decimal_to_field(D("1.25"), b, 2, 1, false), DecimalStatus::kOk);
  EXPECT_EQ(hex(b, 2), "00 13");
  EXPECT_EQ(decimal_to_field(D("1234"), b, 2, 0, false), DecimalStatus::kOverflow);
  EXPECT_EQ(hex(b, 2), "02 34");
  uint8_t big[16];
  decimal_to_field(D("-1234567890123456789012345678901"), big, 16, 0, true);
  EXPECT_EQ(T(decimal_from_field(big, 16, 0, true)), "-1234567890123456789012345678901");
}

TEST(DecimalStack, OperationsPopTheirOperandsAndPushTheResult) {
  DecimalStack& s = decimal_stack();
  s.clear();
  s.push_text("10");
  s.push_long(4);
  EXPECT_EQ(s.Divide(), DecimalStatus::kOk);
  s.push_real(0.5);
  s.Add();
  EXPECT_EQ(s.depth(), 1);
  EXPECT_EQ(s.Sign(), 1);
  uint8_t field[3];
  s.pop_pdecimal_field(field, 3, 1);
  EXPECT_EQ(hex(field, 3), "00 03 0F");
  EXPECT_EQ(s.depth(), 0);
  EXPECT_EQ(T(s.pop()), "0");  // an empty stack gives zero

  s.push_unsigned(4000000000u);
  s.push_long(-1);
  EXPECT_GT(s.Compare(), 0);  // unsigned values keep their magnitude
  s.push_pdecimal_field(field, 3, 1);
  s.Power(2);
  EXPECT_EQ(s.pop_text(), "9.00");
}

}  // namespace
}  // namespace vrt::core
