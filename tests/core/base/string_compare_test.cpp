// String comparison by the loaded collation, digraphs and case; the REAL
// equality tolerance.
#include <gtest/gtest.h>

#include "runtime/core/base/environment.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/base/string_compare.h"

namespace vrt::core {
namespace {

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

class StringCompareTest : public ::testing::Test {
 protected:
  void TearDown() override { reset_settings(); }
};

TEST_F(StringCompareTest, TrailingBlanksNeverDecide) {
  EXPECT_EQ(compare_strings("abc", "abc   "), 0);
  EXPECT_EQ(compare_strings("", "  "), 0);
  EXPECT_LT(compare_strings("ab", "ab!"), 0);  // "!" weighs above a blank
  EXPECT_LT(compare_strings("ab\x01", "ab"), 0);  // a control character weighs below a blank
  EXPECT_EQ(compare_cstrings("abc", "abc "), 0);
}

TEST_F(StringCompareTest, WithoutACollationTheCodesDecide) {
  EXPECT_LT(compare_strings("B", "a"), 0);
  EXPECT_GT(compare_strings("\xE9", "z"), 0);
  EXPECT_EQ(sign(compare_strings("abc", "abd")), -1);
}

TEST_F(StringCompareTest, TheCollationSequenceReordersListedCharacters) {
  set_environment_value("ZORCOLSEQ", "aAbB");
  EXPECT_LT(compare_strings("a", "A"), 0);
  EXPECT_LT(compare_strings("A", "b"), 0);
  EXPECT_LT(compare_strings("Ab", "B"), 0);
}

TEST_F(StringCompareTest, DigraphsCompareAsTheirTwoCharacters) {
  set_environment_value("ZORDIGRAPH", "\xC4" "AE");
  EXPECT_EQ(compare_strings("\xC4", "AE"), 0);
  EXPECT_LT(compare_strings("\xC4" "X", "AF"), 0);
  EXPECT_GT(compare_strings("\xC4" "X", "AEW"), 0);
  EXPECT_EQ(compare_strings("\xC4 ", "AE"), 0);
}

TEST_F(StringCompareTest, NoCaseMapsThroughTheCaseTable) {
  EXPECT_EQ(compare_strings("abc", "ABC", true), 0);
  EXPECT_NE(compare_strings("abc", "ABC"), 0);
}

TEST(RealEquality, ToleratesRoundingOnly) {
  EXPECT_TRUE(reals_equal(0.1 + 0.2, 0.3));
  EXPECT_TRUE(reals_equal(1e20, 1e20 + 1e4));
  EXPECT_FALSE(reals_equal(1e20, 1e20 + 1e6));
  EXPECT_FALSE(reals_equal(1.0, 1.0 + 1e-12));
  EXPECT_TRUE(reals_equal(0.0, 1e-16));  // zero counts with the exponent of 1.0
  EXPECT_FALSE(reals_equal(0.0, 1e-14));
  EXPECT_EQ(compare_reals(2, 1), 1);
  EXPECT_EQ(compare_reals(1, 1 + 1e-17), 0);
}

}  // namespace
}  // namespace vrt::core
