#include "runtime/data/view/view_key_ranges.h"

#include <gtest/gtest.h>

#include "runtime/core/expression/evaluate.h"

namespace vrt::data {
namespace {

// The primary file has fields 1 NAME, 2 CITY, 3 ID; ORD:TOTAL belongs to
// another file of the view; LIMIT is a variable outside the view.
class KeyRanges : public ::testing::Test {
 protected:
  void SetUp() override {
    core::reset_bindings();
    for (const char* name : {"CUS:NAME", "CUS:CITY", "CUS:ID", "ORD:TOTAL"})
      core::Bind(name, [] { return core::ExprValue::of_string(""); });
    core::Bind("LIMIT", [] { return core::ExprValue::of_integer(50); });
    resolve = [](const std::string& n) {
      if (n == "CUS:NAME") return 1;
      if (n == "CUS:CITY") return 2;
      if (n == "CUS:ID") return 3;
      if (n == "ORD:TOTAL") return kOtherViewField;
      return kNotAField;
    };
  }
  void TearDown() override { core::reset_bindings(); }
  const core::ExprNode& parse(const std::string& text) {
    EXPECT_TRUE(filter.compile(text)) << text;
    return *filter.tree();
  }
  core::Expression filter;
  FieldResolver resolve;
};

TEST_F(KeyRanges, WhichFiltersConstrainAField) {
  EXPECT_TRUE(filter_constrains(parse("CUS:ID = 5"), 3, false, resolve));
  EXPECT_TRUE(filter_constrains(parse("5 <= CUS:ID"), 3, false, resolve));
  EXPECT_TRUE(filter_constrains(parse("CUS:ID > LIMIT + 1"), 3, false, resolve));
  EXPECT_FALSE(filter_constrains(parse("CUS:ID > ORD:TOTAL"), 3, false, resolve));  // depends on the view
  EXPECT_TRUE(filter_constrains(parse("CUS:ID = 5 AND CUS:CITY = 'York'"), 3, false, resolve));
  EXPECT_FALSE(filter_constrains(parse("CUS:ID = 5 OR CUS:CITY = 'York'"), 3, false, resolve));
  EXPECT_TRUE(filter_constrains(parse("CUS:ID = 5 OR CUS:ID = 9"), 3, false, resolve));
  // Under NOT an AND needs both sides, an OR either.
  EXPECT_FALSE(filter_constrains(parse("NOT (CUS:ID = 5 AND CUS:CITY = 'York')"), 3, false, resolve));
  EXPECT_TRUE(filter_constrains(parse("NOT (CUS:ID = 5 OR CUS:CITY = 'York')"), 3, false, resolve));
  // A case-converting function counts only for a NOCASE key.
  EXPECT_FALSE(filter_constrains(parse("UPPER(CUS:NAME) = 'SMITH'"), 1, false, resolve));
  EXPECT_TRUE(filter_constrains(parse("UPPER(CUS:NAME) = 'SMITH'"), 1, true, resolve));
}

TEST_F(KeyRanges, BoundsFromTheTopLevelAndChain) {
  auto r = key_ranges(parse("CUS:NAME = 'Smith' AND CUS:CITY >= 'B' AND CUS:CITY < 'M' AND 'C' <= CUS:CITY"),
                      {1, 2, 3}, false, resolve);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_TRUE(r[0].fixed());
  EXPECT_EQ(r[0].low.text, "Smith");
  EXPECT_FALSE(r[1].fixed());
  EXPECT_EQ(r[1].low.text, "C");  // the tighter of >= 'B' and >= 'C'
  EXPECT_TRUE(r[1].low_inclusive);
  EXPECT_EQ(r[1].high.text, "M");
  EXPECT_FALSE(r[1].high_inclusive);
  EXPECT_FALSE(r[2].has_low);
  EXPECT_FALSE(r[2].has_high);
}

TEST_F(KeyRanges, OrNotAndInequalityGiveNoBounds) {
  auto r = key_ranges(parse("CUS:ID = 5 OR CUS:ID = 9"), {3}, false, resolve);
  EXPECT_FALSE(r[0].has_low || r[0].has_high);
  r = key_ranges(parse("NOT CUS:ID = 5"), {3}, false, resolve);
  EXPECT_FALSE(r[0].has_low || r[0].has_high);
  r = key_ranges(parse("CUS:ID <> 5"), {3}, false, resolve);
  EXPECT_FALSE(r[0].has_low || r[0].has_high);
}

TEST_F(KeyRanges, ValuesAreEvaluatedAndMirrored) {
  auto r = key_ranges(parse("LIMIT * 2 > CUS:ID AND CUS:ID > 10"), {3}, false, resolve);
  EXPECT_TRUE(r[0].has_high);
  EXPECT_EQ(r[0].high.as_real(), 100);
  EXPECT_FALSE(r[0].high_inclusive);
  EXPECT_EQ(r[0].low.as_integer(), 10);
  EXPECT_FALSE(r[0].low_inclusive);
  // Equal bounds from > and >= keep the stricter one.
  r = key_ranges(parse("CUS:ID >= 10 AND CUS:ID > 10"), {3}, false, resolve);
  EXPECT_FALSE(r[0].low_inclusive);
}

}  // namespace
}  // namespace vrt::data
