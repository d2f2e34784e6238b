#include "runtime/core/expression/evaluate.h"

#include <gtest/gtest.h>

#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/expression_builtins.h"
#include "runtime/core/expression/filter_text.h"
#include "runtime/core/base/fatal_error.h"
#include "runtime/core/pictures/picture.h"

namespace vrt::core {
namespace {

class Evaluation : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_bindings();
    clear_error();
  }
  void TearDown() override { reset_bindings(); }
  // The result text, or "error N" when evaluation fails.
  static std::string eval(const std::string& text) {
    clear_error();
    std::string r = Evaluate(text);
    if (error_code() != 0) return "error " + std::to_string(error_code());
    return r;
  }
};

TEST_F(Evaluation, NestingIsBoundedForSmallStacks) {
  // 32 levels, the whole expression among them.
  EXPECT_EQ(eval(std::string(31, '(') + "1" + std::string(31, ')')), "1");
  EXPECT_EQ(eval(std::string(32, '(') + "1" + std::string(32, ')')), "error 800");
  std::string calls;
  for (int i = 0; i < 31; ++i) calls += "ABS(";
  EXPECT_EQ(eval(calls + "-2" + std::string(31, ')')), "2");
}

TEST_F(Evaluation, ProgramBuiltSelectionsOfThousandsOfRecords) {
  Bind("ID", [] { return ExprValue::of_integer(1999); });
  std::string filter = "ID = 0";
  for (int i = 1; i < 2000; ++i) filter += " OR ID = " + std::to_string(i);
  EXPECT_EQ(eval(filter), "1");
  EXPECT_EQ(eval("NOT (" + filter + ")"), "0");
  Expression e;
  ASSERT_TRUE(e.compile(filter));
  std::string text = filter_text(*e.tree());
  EXPECT_EQ(text.substr(0, 19), "ID = 0 OR ID = 1 OR");
  EXPECT_TRUE(text.ends_with(" OR ID = 1998 OR ID = 1999")) << text.substr(text.size() - 40);
}

TEST_F(Evaluation, RealsBeyondTheRangeAreNoLiterals) {
  EXPECT_EQ(eval("1.0e309"), "error 800");
  EXPECT_EQ(eval("1.0e309 = 1.0e309"), "error 800");
  EXPECT_EQ(eval(std::string(400, '9')), "error 800");
  EXPECT_EQ(eval("1.5e308 > 1"), "1");
}

TEST_F(Evaluation, DeformatWithoutAPictureUsesTheEmptyPicture) {
  EXPECT_EQ(eval("DEFORMAT('$1,234.56')"), "1234.56");
  EXPECT_EQ(eval("DEFORMAT('$1,234.56') = DEFORMAT('$1,234.56', '')"), "1");
}

TEST_F(Evaluation, PrecedenceAndAssociativity) {
  EXPECT_EQ(eval("1+2*3"), "7");
  EXPECT_EQ(eval("(1+2)*3"), "9");
  EXPECT_EQ(eval("-2^2"), "4");
  EXPECT_EQ(eval("2^3^2"), "64");
  EXPECT_EQ(eval("10-4-3"), "3");
  EXPECT_EQ(eval("64/4/2"), "8");
  EXPECT_EQ(eval("7%4*2"), "6");
  EXPECT_EQ(eval("--3"), "3");
  EXPECT_EQ(eval("-+-3"), "3");
  EXPECT_EQ(eval("1+1 & 'x'"), "2x");  // & binds looser than +
  EXPECT_EQ(eval("1 OR 0 AND 0"), "1");  // AND binds tighter than OR
  EXPECT_EQ(eval("NOT 1 = 2"), "1");     // NOT applies to the comparison
  EXPECT_EQ(eval("NOT NOT 1"), "1");
  EXPECT_EQ(eval("~ ~ ~ 0"), "1");
  EXPECT_EQ(eval("1 XOR 1"), "0");
  EXPECT_EQ(eval("1 XOR 0"), "1");
}

TEST_F(Evaluation, LiteralsInEveryBase) {
  EXPECT_EQ(eval("1A2h"), "418");
  EXPECT_EQ(eval("0FFh"), "255");
  EXPECT_EQ(eval("17o"), "15");
  EXPECT_EQ(eval("101b"), "5");
  EXPECT_EQ(eval("101B + 1"), "6");
  EXPECT_EQ(eval("19o"), "error 800");
  EXPECT_EQ(eval("12b"), "error 800");
  EXPECT_EQ(eval("1.5e2"), "150");
  EXPECT_EQ(eval("2.5E-1"), "0.25");
  EXPECT_EQ(eval("'it''s'"), "it's");
  EXPECT_EQ(eval("'unterminated"), "error 800");
  EXPECT_EQ(eval("1FFFFFFFFh"), "error 800");  // beyond 32 bits
  EXPECT_EQ(eval("99999999999999999999999 = 1.0e23"), "1");  // too big for an integer: a real
}

TEST_F(Evaluation, RelationsWithOneOrTwoCharacters) {
  EXPECT_EQ(eval("3 =< 4"), "1");
  EXPECT_EQ(eval("3 ~> 4"), "1");
  EXPECT_EQ(eval("3 ~= 3"), "0");
  EXPECT_EQ(eval("3 <> 3"), "0");
  EXPECT_EQ(eval("4 => 4"), "1");
  EXPECT_EQ(eval("4 ~< 5"), "0");
  EXPECT_EQ(eval("5 > 4"), "1");
  EXPECT_EQ(eval("3 ~ 4"), "error 800");
}

TEST_F(Evaluation, ComparisonsFollowTheOperandTypes) {
  EXPECT_EQ(eval("'abc' = 'abc   '"), "1");  // trailing blanks never decide
  EXPECT_EQ(eval("'10' < '9'"), "1");         // two texts compare as texts
  EXPECT_EQ(eval("'10' < 9"), "0");           // a text and a number as reals
  EXPECT_EQ(eval("0.1 + 0.2 = 0.3"), "1");    // reals agree to 15 digits
  EXPECT_EQ(eval("1 = 1.0000001"), "0");
  EXPECT_EQ(eval("LEN('ab') = 2"), "1");
}

TEST_F(Evaluation, EachRelationAtItsBoundary) {
  // Each operator on equal, lower and higher operands: one that took its
  // neighbour's rule would differ on at least one row.
  const char* ops[] = {"=", "<>", "<", ">", "<=", ">="};
  const char* expected[][3] = {{"1", "0", "0"}, {"0", "1", "1"}, {"0", "1", "0"},
                               {"0", "0", "1"}, {"1", "1", "0"}, {"1", "0", "1"}};
  for (int o = 0; o < 6; ++o) {
    EXPECT_EQ(eval(std::string("2 ") + ops[o] + " 2"), expected[o][0]) << ops[o];
    EXPECT_EQ(eval(std::string("1 ") + ops[o] + " 2"), expected[o][1]) << ops[o];
    EXPECT_EQ(eval(std::string("3 ") + ops[o] + " 2"), expected[o][2]) << ops[o];
    EXPECT_EQ(eval(std::string("'b' ") + ops[o] + " 'b'"), expected[o][0]) << ops[o];
  }
}

TEST_F(Evaluation, TruthOfTexts) {
  EXPECT_EQ(eval("'   ' OR 0"), "0");
  EXPECT_EQ(eval("' a ' AND 1"), "1");
  EXPECT_EQ(eval("NOT ''"), "1");
}

TEST_F(Evaluation, ArithmeticFailuresAreErrors) {
  EXPECT_EQ(eval("1/0"), "error 800");
  EXPECT_EQ(eval("5%0"), "error 800");
  EXPECT_EQ(eval("SQRT(-1)"), "error 800");
  EXPECT_EQ(eval("LOGE(0)"), "error 800");
  EXPECT_EQ(eval("10^400"), "error 800");
  EXPECT_EQ(eval("1/3"), "0.333333333333333");
  EXPECT_EQ(eval("-7%3"), "-1");
}

TEST_F(Evaluation, SyntaxErrorsAndLeftovers) {
  for (const char* bad : {"", "1 2", "1 +", "(1", "1)", "*1", "SUB('a'", "SUB", "ABS(1,2)", "LEN()", ".5",
                          "1 = = 2", "'a' #", "[1]"}) {
    EXPECT_EQ(eval(bad), "error 800") << bad;
  }
}

TEST_F(Evaluation, HostileTextNeverOverflowsTheStack) {
  EXPECT_EQ(eval(std::string(100000, '(') + "1" + std::string(100000, ')')), "error 800");
  EXPECT_EQ(eval(std::string(100000, '-') + "1"), "1");  // signs fold into one
  std::string chain = "1";
  for (int i = 0; i < 50000; ++i) chain += "+1";
  EXPECT_EQ(eval(chain), "50001");  // a chain is long, not deep
  EXPECT_EQ(eval("(" + chain + ")*2"), "100002");
  std::string nested;
  for (int i = 0; i < 5000; ++i) nested += "ABS(";
  EXPECT_EQ(eval(nested + "1" + std::string(5000, ')')), "error 800");
  EXPECT_EQ(eval("'" + std::string(1 << 20, 'x') + "' = ''"), "0");
  EXPECT_EQ(eval(std::string(1000, '9') + ".5 > 1"), "error 800");  // beyond the range of a real
}

TEST_F(Evaluation, ChainsWithinChainsEachKeepTheirOwnOrder) {
  // A chain's right sides hold chains of their own, evaluated while the
  // outer chain waits; a failure half way leaves nothing behind for the next.
  EXPECT_EQ(eval("10 - (2 * (3 + 4) - 1) - 5 * 2 - 1"), "-14");
  EXPECT_EQ(eval("100 / (2 + 3 * (4 - 2 - 1)) / 2 - (1 - 2 - 3)"), "14");
  EXPECT_EQ(eval("1 + (2 * Nowhere - 3) + 4"), "error 801");
  EXPECT_EQ(eval("1 - 2 - (3 - 4 - 5) * 2"), "11");
}

TEST_F(Evaluation, UnboundNamesNameThemselves) {
  clear_error();
  EXPECT_EQ(Evaluate("Cus:Name = 'x'"), "");
  EXPECT_EQ(error_code(), 801);
  EXPECT_EQ(error_text(), "No BIND on variable (Cus:Name)");
}

TEST_F(Evaluation, BoundVariablesAndProcedures) {
  std::string name = "Smith";
  int32_t id = 41;
  Bind("CUS:NAME", [&] { return ExprValue::of_string(name); });
  Bind("cus:id", [&] { return ExprValue::of_integer(id); });
  BindProcedure("Twice", [](const std::vector<ExprValue>& a) {
    return ExprValue::of_integer(a.empty() ? 0 : a[0].as_integer() * 2);
  });
  Expression filter;
  ASSERT_TRUE(filter.compile("cus:name = 'Smith' AND CUS:ID + 1 = 42"));
  EXPECT_TRUE(filter.test());
  id = 7;  // a compiled filter reads the variable anew each time
  EXPECT_FALSE(filter.test());
  EXPECT_EQ(eval("TWICE(21)"), "42");
  EXPECT_EQ(eval("CUS:NAME[2:4]"), "mit");
  EXPECT_EQ(eval("CUS:NAME[5]"), "h");
  EXPECT_EQ(eval("CUS:NAME[4:99]"), "th");
  EXPECT_EQ(eval("CUS:NAME[3:2] & '|'"), "|");
}

TEST_F(Evaluation, ScopesHideAndRestore) {
  Bind("A", [] { return ExprValue::of_integer(1); });
  PushScope(false);
  EXPECT_EQ(eval("A"), "1");  // an open scope sees the names outside it
  Bind("A", [] { return ExprValue::of_integer(2); });
  EXPECT_EQ(eval("A"), "2");
  PushScope(true);
  EXPECT_EQ(eval("A"), "error 801");  // a closed scope stops the search
  PopScope();
  EXPECT_EQ(eval("A"), "2");
  PopScope();
  EXPECT_EQ(eval("A"), "1");
}

TEST_F(Evaluation, UnmatchedPopIsFatal) {
  EXPECT_DEATH(
      {
        set_runtime_active(true);
        PopScope();
      },
      "Mismatched PUSHSCOPE/POPSCOPE : Mismatched POPSCOPE");
}

TEST_F(Evaluation, BuiltinBoundaries) {
  EXPECT_EQ(eval("SUB('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(eval("SUB('abcdef', 0, 2)"), "ab");
  EXPECT_EQ(eval("SUB('abcdef', -2, 5)"), "ef");
  EXPECT_EQ(eval("SUB('abcdef', -10, 2)"), "ab");
  EXPECT_EQ(eval("SUB('abcdef', 7, 2) & '|'"), "|");
  EXPECT_EQ(eval("SUB('abcdef', 3)"), "cdef");
  EXPECT_EQ(eval("LEFT('  ab', 5) & '|'"), "ab   |");
  EXPECT_EQ(eval("RIGHT('ab  ', 5) & '|'"), "   ab|");
  EXPECT_EQ(eval("CENTER(' ab ', 5) & '|'"), " ab  |");
  EXPECT_EQ(eval("LEFT('  ab') & '|'"), "ab  |");
  EXPECT_EQ(eval("CLIP('ab  ') & '|'"), "ab|");
  EXPECT_EQ(eval("LEN(ALL('ab'))"), "255");
  EXPECT_EQ(eval("ALL('ab', 5)"), "ababa");
  EXPECT_EQ(eval("INRANGE(5, 1, 5)"), "1");
  EXPECT_EQ(eval("INRANGE(5.0000001, 1, 5)"), "0");
  EXPECT_EQ(eval("INT(-2.7)"), "-2");
  EXPECT_EQ(eval("INT(2.7)"), "2");
  EXPECT_EQ(eval("BAND(0Fh, 3Ch)"), "12");
  EXPECT_EQ(eval("BOR(1, 2)"), "3");
  EXPECT_EQ(eval("BXOR(6, 3)"), "5");
  EXPECT_EQ(eval("BSHIFT(1, 4)"), "16");
  EXPECT_EQ(eval("BSHIFT(-1, -28)"), "15");  // zeros come in from the left
  EXPECT_EQ(eval("BSHIFT(1, 32)"), "0");
  EXPECT_EQ(eval("BSHIFT(1, -32)"), "0");
  EXPECT_EQ(eval("BSHIFT(-2147483648, -31)"), "1");
  EXPECT_EQ(eval("CHOOSE(1, 'a', 'b', 'c')"), "a");
  EXPECT_EQ(eval("CHOOSE(3, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(eval("CHOOSE(0, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(eval("CHOOSE(9, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(eval("INLIST('b', 'a', 'b')"), "2");
  EXPECT_EQ(eval("INLIST(3, 1, 2)"), "0");
  EXPECT_EQ(eval("ROUND(5.555, 0.01)"), "5.56");
  EXPECT_EQ(eval("ROUND(-2.5, 1)"), "-3");
  EXPECT_EQ(eval("ROUND(1234, 100)"), "1200");
  EXPECT_EQ(eval("CHR(65) & VAL('a')"), "A97");
  EXPECT_EQ(eval("UPPER('abc') & LOWER('DEF')"), "ABCdef");
  EXPECT_EQ(eval("NUMERIC(' -12.5 ') & NUMERIC('1e5') & NUMERIC('12a') & NUMERIC('')"), "1100");
  EXPECT_EQ(eval("MATCH('abc', 'A*', 17)"), "1");
  EXPECT_EQ(eval("MATCH('abc', 'a*')"), "1");  // wildcard when the mode is left out
  EXPECT_EQ(eval("DATE(14, 1, 2003) = DATE(2, 1, 2004)"), "1");
  EXPECT_EQ(eval("YEAR(4) & '-' & MONTH(4) & '-' & DAY(4)"), "1801-1-1");
  EXPECT_EQ(eval("AGE(100, 160)"), "60 DAYS");
  EXPECT_EQ(eval("TODAY() > 80000 AND CLOCK() > 0"), "1");
  EXPECT_EQ(eval("TODAY > 80000"), "1");
}

TEST_F(Evaluation, InstringSteps) {
  EXPECT_EQ(eval("INSTRING('c', 'abcabc', 1, 1)"), "3");
  EXPECT_EQ(eval("INSTRING('c', 'abcabc', 1, 4)"), "6");
  EXPECT_EQ(eval("INSTRING('ab', 'xxabab', 2, 1)"), "2");  // offset 2 div 2 + 1
  EXPECT_EQ(eval("INSTRING('ab', 'xabab', 2, 1)"), "0");   // only even offsets are tried
  EXPECT_EQ(eval("INSTRING('ab', 'xxab', 0, 1)"), "2");    // step 0 is the length of sub
  EXPECT_EQ(eval("INSTRING('', 'abc', 1, 1)"), "0");
  EXPECT_EQ(eval("INSTRING('a', 'abc', 1, 0)"), "0");
  EXPECT_EQ(eval("INSTRING('abcd', 'abc', 1, 1)"), "0");
}

TEST_F(Evaluation, PicturesAsLiterals) {
  EXPECT_EQ(eval("FORMAT(1234.5, @n-12.2)"), "    1,234.50");
  EXPECT_EQ(eval("FORMAT(DATE(10, 31, 1959), @D4)"), "October 31, 1959     ");
  EXPECT_EQ(eval("DEFORMAT('1,234.50', @n-12.2) + 1"), "1235.5");
  EXPECT_EQ(eval("FORMAT(5551234567, @P(###)###-####P)"), "(555)123-4567");
  // The currency text may hold a blank without ending the picture.
  EXPECT_EQ(eval("FORMAT(-5, @n~DM ~-9.2)"), Format("-5", "@n~DM ~-9.2"));
}

TEST_F(Evaluation, LongInstringScansAgreeWithTheDirectScan) {
  // Texts of 257 characters and more use the skip table; compare it with a
  // plain search over many subs and positions.
  std::string text;
  uint32_t x = 5;
  for (int i = 0; i < 3000; ++i) {
    x = x * 1103515245 + 12345;
    text += "abcde"[(x >> 16) % 5];
  }
  Bind("T", [&] { return ExprValue::of_string(text); });
  for (int i = 0; i < 300; ++i) {
    x = x * 1103515245 + 12345;
    size_t at = (x >> 8) % (text.size() - 300);
    size_t len = 5 + (x >> 4) % 270;
    std::string sub = text.substr(at, len);
    if (i % 3 == 0) sub[len / 2] = 'z';  // sometimes nowhere to be found
    size_t expected = text.find(sub);
    Bind("S", [&] { return ExprValue::of_string(sub); });
    ASSERT_EQ(eval("INSTRING(S, T, 1, 1)"), std::to_string(expected == std::string::npos ? 0 : expected + 1));
  }
}

TEST_F(Evaluation, RandomStaysInRange) {
  seed_random(42);
  for (int i = 0; i < 1000; ++i) {
    int64_t r = random_between(-3, 3);
    ASSERT_GE(r, -3);
    ASSERT_LE(r, 3);
  }
  EXPECT_EQ(random_between(9, 9), 9);
  EXPECT_EQ(eval("RANDOM(5, 5)"), "5");
  int64_t wide = random_between(INT32_MIN, INT32_MAX);
  EXPECT_GE(wide, INT32_MIN);
  EXPECT_LE(wide, INT32_MAX);
}

}  // namespace
}  // namespace vrt::core
