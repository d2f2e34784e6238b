// Type codes, the BFLOAT storage forms and the value objects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "runtime/core/values/bfloat.h"
#include "runtime/core/values/dates.h"
#include "runtime/core/base/fatal_error.h"
#include "runtime/core/values/type_codes.h"
#include "runtime/core/values/value.h"

namespace vrt::core {
namespace {

TEST(TypeCodes, PrintedNames) {
  EXPECT_STREQ(type_name(0), "END");
  EXPECT_STREQ(type_name(10), "DECIMAL");
  EXPECT_STREQ(type_name(17), "(17)");
  EXPECT_STREQ(type_name(30), "STDNUM");
  EXPECT_STREQ(type_name(31), "UNKNOWN");
  EXPECT_STREQ(type_name(-1), "UNKNOWN");
  EXPECT_EQ(fixed_storage_size(TypeCode::REAL), 8u);
  EXPECT_EQ(fixed_storage_size(TypeCode::DECIMAL), 0u);
}

TEST(BFloat, KnownBytes) {
  uint8_t b4[4], b8[8];
  real_to_bfloat4(1.0, b4);
  EXPECT_EQ(0, std::memcmp(b4, "\x00\x00\x00\x81", 4));
  real_to_bfloat4(-0.75, b4);  // -0.11b: exponent 0x80, sign set, mantissa .1
  EXPECT_EQ(0, std::memcmp(b4, "\x00\x00\xC0\x80", 4));
  real_to_bfloat8(0.0, b8);
  EXPECT_EQ(0, std::memcmp(b8, "\0\0\0\0\0\0\0\0", 8));
  real_to_bfloat8(1e-300, b8);  // too small for the format: zero
  EXPECT_EQ(b8[7], 0);
  real_to_bfloat8(1e300, b8);  // too large: the top exponent
  EXPECT_EQ(b8[7], 255);
}

TEST(BFloat, OverflowStoresTheLargestValueWithItsSign) {
  uint8_t b4[4];
  real_to_bfloat4(2e38, b4);
  EXPECT_EQ(0, std::memcmp(b4, "\xFF\xFF\x7F\xFF", 4));
  const double largest = bfloat4_to_real(b4);
  EXPECT_GT(largest, 1.7e38);  // not 9.99999968e37, the mantissa under a forced exponent
  real_to_bfloat4(1e39, b4);
  EXPECT_EQ(bfloat4_to_real(b4), largest);
  real_to_bfloat4(-2e38, b4);
  EXPECT_EQ(bfloat4_to_real(b4), -largest);
  real_to_bfloat4(HUGE_VAL, b4);
  EXPECT_EQ(bfloat4_to_real(b4), largest);
}

TEST(BFloat, RoundTrips) {
  for (double v : {1.0, -2.5, 3.14159265358979, 1e30, -1e-30}) {
    uint8_t b8[8], b4[4];
    real_to_bfloat8(v, b8);
    EXPECT_EQ(bfloat8_to_real(b8), v);  // all 52 mantissa bits are kept
    real_to_bfloat4(v, b4);
    EXPECT_NEAR(bfloat4_to_real(b4), v, std::fabs(v) * 1.2e-7);
  }
  uint8_t b4[4];
  real_to_bfloat4(1.0 + 1.0 / (1 << 24) * 1.9, b4);  // below the 23rd bit: cut off, not rounded
  EXPECT_EQ(bfloat4_to_real(b4), 1.0);
}

TEST(Values, IntegersWrapSaturateAndConvert) {
  uint8_t b[8] = {};
  auto byte = make_value(TypeCode::BYTE, b);
  byte->set_long(300);
  EXPECT_EQ(byte->get_long(), 44);
  auto shrt = make_value(TypeCode::SHORT, b);
  shrt->set_text("-12.9");
  EXPECT_EQ(shrt->get_long(), -12);
  EXPECT_EQ(b[0], 0xF4);
  EXPECT_EQ(b[1], 0xFF);
  auto ulong = make_value(TypeCode::ULONG, b);
  ulong->set_text("4000000000");
  EXPECT_EQ(ulong->get_text(), "4000000000");
  EXPECT_EQ(ulong->get_long(), INT32_MAX);
  auto lng = make_value(TypeCode::LONG, b);
  lng->set_real(1e300);  // no undefined conversion
  EXPECT_EQ(lng->get_long(), -1);  // INT64_MAX keeps its low four bytes
  lng->set_real(std::nan(""));
  EXPECT_EQ(lng->get_long(), 0);
}

TEST(Values, DatesAndTimesReadAsStandardValues) {
  uint8_t b[4];
  auto date = make_value(TypeCode::DATE, b);
  date->set_long(58015);  // 31 October 1959
  EXPECT_EQ(b[0], 31);
  EXPECT_EQ(b[1], 10);
  EXPECT_EQ(b[2] | b[3] << 8, 1959);
  EXPECT_EQ(date->get_text(), "58015");
  date->set_long(3);  // invalid: stores zeros
  EXPECT_EQ(date->get_long(), 0);
  auto time = make_value(TypeCode::TIME, b);
  time->set_long(time_from_parts(17, 30, 5, 2));
  EXPECT_EQ(b[3], 17);
  EXPECT_EQ(time->get_long(), time_from_parts(17, 30, 5, 2));
}

TEST(Values, PackedDecimalsKeepTheirPlaces) {
  uint8_t b[4] = {};
  auto d = make_value(TypeCode::DECIMAL, b, 3, 2);
  d->set_text("-123.45");
  EXPECT_EQ(d->get_text(), "-123.45");
  d->set_real(2.345);
  EXPECT_EQ(d->get_text(), "2.35");
  d->set_long(7);
  EXPECT_EQ(d->get_text(), "7.00");
  auto p = make_value(TypeCode::PDECIMAL, b, 3, 2);
  p->clear();
  EXPECT_EQ(b[2], 0x0F);  // zero is written positive
  EXPECT_EQ(p->get_text(), "0");
}

TEST(Values, TextTypes) {
  uint8_t b[6];
  auto s = make_value(TypeCode::STRING, b, 6);
  s->set_text("ab");
  EXPECT_EQ(s->get_text(), "ab    ");
  s->set_real(-1.5);
  EXPECT_EQ(s->get_long(), -1);
  auto c = make_value(TypeCode::CSTRING, b, 6);
  c->set_text("abcdefgh");
  EXPECT_EQ(c->get_text(), "abcde");
  auto p = make_value(TypeCode::PSTRING, b, 6);
  p->set_text("xyz");
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(p->get_text(), "xyz");
  b[0] = 200;  // a damaged length byte reads no further than the field
  EXPECT_EQ(p->get_text().size(), 5u);
}

TEST(Values, CompareByKind) {
  uint8_t s1[4], s2[6], r[8], l[4], d[3];
  auto a = make_value(TypeCode::STRING, s1, 4);
  auto b = make_value(TypeCode::STRING, s2, 6);
  a->set_text("abc");
  b->set_text("abc");
  EXPECT_EQ(a->compare(*b), 0);  // trailing blanks never decide
  auto real = make_value(TypeCode::REAL, r);
  auto lng = make_value(TypeCode::LONG, l);
  real->set_real(0.1 + 0.2);
  auto dec = make_value(TypeCode::DECIMAL, d, 3, 2);
  dec->set_text("0.3");
  EXPECT_EQ(real->compare(*dec), 0);  // within the real tolerance
  lng->set_long(-5);
  EXPECT_LT(lng->compare(*dec), 0);
}

int g_fatal_number = -1;
std::string g_fatal_text;
void record_fatal(int number, const std::string& text) {
  g_fatal_number = number;
  g_fatal_text = text;
}

TEST(Values, UnsupportedTypesRaiseTheTypingError) {
  FatalHandler old = set_fatal_handler(record_fatal);
  set_runtime_active(false);  // the error is reported without ending the process
  uint8_t b[4] = {};
  auto v = make_value(TypeCode::QUEUE, b, 4);
  EXPECT_EQ(v->get_long(), 0);
  EXPECT_TRUE(runtime_error_reported());
  set_fatal_handler(old);
}

}  // namespace
}  // namespace vrt::core

namespace vrt::core {
namespace {

// Clearing a text field hands set_text an empty view with no data behind
// it; nothing may be copied from it.
TEST(TextValues, ClearingWritesBlanksOrNothing) {
  uint8_t field[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  make_value(TypeCode::STRING, field, 6)->set_text(std::string_view());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 6), "      ");
  uint8_t c[4] = {'x', 'y', 'z', 0};
  make_value(TypeCode::CSTRING, c, 4)->set_text(std::string_view());
  EXPECT_EQ(c[0], 0);
  uint8_t p[4] = {3, 'x', 'y', 'z'};
  make_value(TypeCode::PSTRING, p, 4)->set_text(std::string_view());
  EXPECT_EQ(p[0], 0);
}

}  // namespace
}  // namespace vrt::core
