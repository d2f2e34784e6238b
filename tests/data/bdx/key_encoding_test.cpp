// Key encodings of every type sort as raw bytes in the order of the values.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/base/environment.h"
#include "runtime/core/base/settings.h"
#include "runtime/data/bdx/key_encoding.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

struct OneField {
  FileDeclaration d;
  TableCollation c = TableCollation::from_settings();
  explicit OneField(const std::string& type, const std::string& attributes = "") {
    d = test::parse("FILE,DRIVER('BRINDLEX')\nKEY(" + std::string(attributes.find('-') == 0 ? "-" : "+") +
                    "F:X)" + (attributes.find("NOCASE") != std::string::npos ? ",NOCASE" : "") +
                    "\nRECORD\nF:X " + type + "\nEND\nEND\n");
  }
  std::string encode(const void* value) {
    std::string out;
    encode_key_value(d, d.keys[0], static_cast<const uint8_t*>(value), c, &out);
    return out;
  }
};

std::string hex(const std::string& s) {
  std::string out;
  char b[3];
  for (unsigned char ch : s) {
    std::snprintf(b, sizeof b, "%02X", ch);
    out += b;
  }
  return out;
}

TEST(KeyEncoding, SignedIntegersFlipTheSignBit) {
  OneField s("SHORT");
  int16_t minus_one = -1, zero = 0;
  EXPECT_EQ(hex(s.encode(&minus_one)), "7FFF");
  EXPECT_EQ(hex(s.encode(&zero)), "8000");
  OneField l("LONG");
  int32_t one = 1;
  EXPECT_EQ(hex(l.encode(&one)), "80000001");
  uint32_t u = 0x01020304;
  OneField ul("ULONG");
  EXPECT_EQ(hex(ul.encode(&u)), "01020304");
}

TEST(KeyEncoding, RealsSortNegativesFirst) {
  OneField r("REAL");
  double zero = 0.0, minus_half = -0.5, two = 2.0, minus_two = -2.0;
  EXPECT_EQ(hex(r.encode(&zero)), "8000000000000000");
  uint8_t raw[8];
  std::memcpy(raw, &minus_half, 8);
  std::string inverted;
  for (int i = 7; i >= 0; --i) inverted.push_back(static_cast<char>(~raw[i]));
  EXPECT_EQ(r.encode(&minus_half), inverted);
  EXPECT_LT(r.encode(&minus_two), r.encode(&minus_half));
  EXPECT_LT(r.encode(&minus_half), r.encode(&zero));
  EXPECT_LT(r.encode(&zero), r.encode(&two));
}

TEST(KeyEncoding, NegativeDecimalsSortBeforeNonNegative) {
  OneField dec("DECIMAL(5,2)");  // 3 bytes
  uint8_t minus_123_45[3] = {0xF1, 0x23, 0x45}, minus_1[3] = {0xF0, 0x01, 0x00};
  uint8_t zero[3] = {0, 0, 0}, plus_1[3] = {0x00, 0x01, 0x00}, plus_99[3] = {0x09, 0x90, 0x00};
  EXPECT_LT(dec.encode(minus_123_45), dec.encode(minus_1));
  EXPECT_LT(dec.encode(minus_1), dec.encode(zero));
  EXPECT_LT(dec.encode(zero), dec.encode(plus_1));
  EXPECT_LT(dec.encode(plus_1), dec.encode(plus_99));
  OneField down("DECIMAL(5,2)", "-");
  EXPECT_GT(down.encode(minus_123_45), down.encode(minus_1));
  EXPECT_GT(down.encode(minus_1), down.encode(plus_1));
  EXPECT_GT(down.encode(plus_1), down.encode(plus_99));
}

TEST(KeyEncoding, DescendingInvertsAndRealsToggle) {
  OneField l("LONG", "-");
  int32_t one = 1, two = 2;
  EXPECT_EQ(hex(l.encode(&one)), "7FFFFFFE");
  EXPECT_GT(l.encode(&one), l.encode(&two));
  OneField r("REAL", "-");
  double a = -1.0, b = 3.0;
  EXPECT_GT(r.encode(&a), r.encode(&b));
}

TEST(KeyEncoding, PstringDropsItsLengthByte) {
  OneField p("PSTRING(11)");  // length byte and 10 characters
  uint8_t v[11] = {3, 'a', 'b', 'c', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(p.encode(v), std::string("abc") + std::string(8, '\0'));
  OneField c("CSTRING(6)");
  char cs[6] = {'h', 'i', 0, 'z', 'z', 'z'};
  EXPECT_EQ(c.encode(cs), std::string("hi") + std::string(4, '\0'));
}

TEST(KeyEncoding, NocaseFoldsCaseAndCollationMaps) {
  OneField nocase("STRING(5)", "NOCASE");
  OneField exact("STRING(5)");
  EXPECT_EQ(nocase.encode("smith"), nocase.encode("SMITH"));
  EXPECT_NE(exact.encode("smith"), exact.encode("SMITH"));
  // A table's own weights decide the order: here 'b' sorts before 'a'.
  exact.c.block['a'] = 'c';
  EXPECT_LT(exact.encode("bbbbb"), exact.encode("aaaaa"));
}

TEST(KeyEncoding, DigraphExpandsWithinTheFieldSize) {
  OneField s("STRING(4)");
  uint8_t* digraphs = s.c.block + 1024;
  digraphs[0] = 0xDF;  // one character read as "ss"
  digraphs[1] = 's';
  digraphs[2] = 's';
  const char v[4] = {'a', static_cast<char>(0xDF), 'b', 'c'};
  EXPECT_EQ(s.encode(v), "assb");
}

TEST(KeyEncoding, OptEmptinessByType) {
  FileDeclaration d = test::parse(
      "FILE,DRIVER('BRINDLEX')\nKEY(+F:S,+F:C,+F:N),OPT\nRECORD\nF:S STRING(3)\nF:C CSTRING(3)\nF:N LONG\nEND\nEND\n");
  uint8_t rec[10] = {' ', ' ', ' ', 0, 'x', 'y', 0, 0, 0, 0};
  EXPECT_TRUE(key_fields_empty(d, d.keys[0], rec));
  rec[6] = 1;
  EXPECT_FALSE(key_fields_empty(d, d.keys[0], rec));
}

// A table that keeps its text in the OEM character set weighs its keys as
// they are stored, with the OEM weights: its non-ASCII keys sort as those
// of a table that keeps ANSI text.
TEST(KeyEncoding, OemAndAnsiTablesOrderNonAsciiKeysAlike) {
  test::TempDir dir;
  test::QuietBoxes boxes;
  const std::string u_ansi = "\xFC", u_oem = "\x81";  // u with diaeresis
  std::vector<std::string> orders;
  for (bool oem : {false, true}) {
    core::reset_settings();
    core::set_environment_value("ZORCHARSET", oem ? "OEM" : "ANSI");
    // The environment file of an OEM program writes its sequence in OEM.
    core::set_environment_value("ZORCOLSEQ", "a" + (oem ? u_oem : u_ansi) + "b");
    FileBlock f;
    test::make_file(f, "FILE,DRIVER('BRINDLEX')\nT:BYNAME KEY(+T:NAME),DUP\nRECORD\nT:NAME STRING(4)\nEND\nEND\n",
                    dir.file(oem ? "OEM.BDX" : "ANSI.BDX"));
    Create(f);
    Open(f);
    for (const std::string& name : {std::string("b"), "a" + u_ansi + "b", std::string("ab"), u_ansi, std::string("a")}) {
      test::set_string(f, "T:NAME", name);
      Add(f);
    }
    Set(f.declaration.keys[0]);
    std::string order;
    for (Next(f); core::error_code() == 0; Next(f)) order += test::get_string(f, "T:NAME") + ",";
    orders.push_back(order);
    Close(f);
  }
  core::reset_settings();
  EXPECT_EQ(orders[0], "a,a" + u_ansi + "b,ab," + u_ansi + ",b,");
  EXPECT_EQ(orders[1], orders[0]);
}

}  // namespace
}  // namespace vrt::data
