// The list format validator: 0 for a well-formed text, else where it went
// wrong; the columns it reads.
#include <gtest/gtest.h>

#include "runtime/window/controls/list_format.h"

namespace vrt::window {
namespace {

constexpr const char* kCustomers =
    "64R(2)|M~CusID~C(0)@n-14@80L(2)|M~Name~L(2)@s20@80R(2)|M~First Date~C(0)@D18B@80R(2)|M~First Time~C(0)@T8B@"
    "80L(2)|M~Suburb~L(2)@s20@80L(2)|M~Phone~L(2)@s20@80L(2)|M~Email~L(2)@s100@80L(2)|M~Web Site~L(2)@s200@";
constexpr const char* kAccounts = "80R(2)|M~Date~C(0)@D2@52D(20)|M~Amount~C(0)@N-11.2@";

TEST(ListFormat, WellFormedTextsAreZero) {
  for (const char* ok : {kCustomers, kAccounts, "", "64R(2)|M~CusID~C(0)@n-14@", "-5L", "20l(3)m|~h~r(1)",
                         "[20L30R](2)|M", "[20L~a~][30C]~group~C|M", "20LE(1,2,3,4)Z(5)Q'it''s'", "20Le(1)z(2)q\"x\"",
                         "20L#5#H(3)S(4)T(1BILR)", "20LTHS*FIJPY_/?", "20Dt(b)", "99999999999999999999L"})
    EXPECT_EQ(validate_list_format(ok), 0u) << ok;
}

TEST(ListFormat, ErrorsAreThePositionWhereTheyWereFound) {
  struct Case {
    const char* text;
    size_t position;
  } cases[] = {
      {"R(2)", 1},              // no width
      {"64X(2)", 3},            // not one of the four justifications
      {"-L", 2},                // a sign without digits
      {"64R(2", 6},             // the offset is not closed
      {"64R(x)", 5},
      {"64R@n-14", 9},          // a picture without its closing "@" runs to the end
      {"20L~Name", 9},          // so does a header
      {"20L!", 4},              // begins neither a modifier nor a column
      {"20L30", 6},             // a second column without its justification
      {"[]", 2},                // a group without a column
      {"[20L", 5},              // a group not closed
      {"[20L(2)30R", 11},
      {"20L#5", 6},             // "#" needs its closing "#"
      {"20L#x#", 5},
      {"20LE(1,2,3,4,5)", 13},  // at most four numbers
      {"20LE1", 5},             // "E" needs its "("
      {"20LE(1", 7},
      {"20LE(1)E(2)", 8},       // at most once
      {"20LZ(1)z(2)", 8},
      {"20LQ'a'Q'b'", 8},
      {"20LQx", 5},
      {"20LQ'it''s", 11},
      {"20LT(1X)", 7},
      {"20LT()", 6},
      {"20LH(", 6},
  };
  for (const Case& c : cases) EXPECT_EQ(validate_list_format(c.text), c.position) << c.text;
}

TEST(ListFormat, ColumnsCarryWhatTheTextSays) {
  ListFormat f = parse_list_format(kCustomers);
  ASSERT_EQ(f.error, 0u);
  ASSERT_EQ(f.columns.size(), 8u);
  const ListColumn& id = f.columns[0];
  EXPECT_EQ(id.width, 64);
  EXPECT_EQ(id.justify, Justify::Right);
  EXPECT_EQ(id.offset, 2);
  EXPECT_EQ(id.header, "CusID");
  EXPECT_EQ(id.header_justify, Justify::Centre);
  EXPECT_EQ(id.picture, "@n-14");
  EXPECT_TRUE(id.line);
  EXPECT_TRUE(id.resizable);
  EXPECT_EQ(f.columns[1].header_offset, 2);
  EXPECT_EQ(f.columns[7].picture, "@s200");

  ListFormat amounts = parse_list_format(kAccounts);
  ASSERT_EQ(amounts.columns.size(), 2u);
  EXPECT_EQ(amounts.columns[1].justify, Justify::Decimal);
  EXPECT_EQ(amounts.columns[1].offset, 20);

  ListFormat plain = parse_list_format("40L");
  ASSERT_EQ(plain.columns.size(), 1u);
  EXPECT_EQ(plain.columns[0].picture, "@S30");  // no picture: thirty characters of text
  EXPECT_FALSE(plain.columns[0].line);
  EXPECT_FALSE(plain.columns[0].resizable);

  // A group's line and resizing belong to its last column.
  ListFormat group = parse_list_format("[20L30R]|M");
  ASSERT_EQ(group.columns.size(), 2u);
  EXPECT_FALSE(group.columns[0].line);
  EXPECT_TRUE(group.columns[1].line && group.columns[1].resizable);
}

// Hostile texts: every prefix of a well-formed text is read without running
// past its end (the sanitizer build watches), and is either well formed or
// fails within it or just past it.
TEST(ListFormat, PrefixesNeverReadPastTheEnd) {
  std::string text = std::string(kCustomers) + "[20LE(1,2)Z(3)Q'a''b'#4#T(1B)H(1)S(2)]";
  for (size_t n = 0; n <= text.size(); ++n) {
    std::string prefix = text.substr(0, n);  // a copy of its own, so reading past it is caught
    EXPECT_LE(validate_list_format(prefix), n + 1) << prefix;
  }
}

}  // namespace
}  // namespace vrt::window
