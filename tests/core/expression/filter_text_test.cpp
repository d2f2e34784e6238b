#include "runtime/core/expression/filter_text.h"

#include <gtest/gtest.h>

#include "runtime/core/expression/evaluate.h"

namespace vrt::core {
namespace {

class FilterText : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_bindings();
    for (const char* name : {"CUS:NAME", "CUS:ID", "CUS:CITY"}) Bind(name, [] { return ExprValue::of_string("x"); });
  }
  void TearDown() override { reset_bindings(); }
  static std::string filter(const std::string& text) {
    Expression e;
    if (!e.compile(text)) return "error";
    return filter_text(*e.tree());
  }
  static std::string order(const std::string& text) {
    std::vector<ExprTree> items;
    if (!parse_expression_list(text, &items)) return "error";
    return order_text(items);
  }
};

TEST_F(FilterText, SpacedOperatorsAndParentheses) {
  EXPECT_EQ(filter("cus:id>=5 and cus:id<9"), "CUS:ID >= 5 AND CUS:ID < 9");
  EXPECT_EQ(filter("(CUS:ID=1 OR CUS:ID=2) AND CUS:NAME<>'a'"), "(CUS:ID = 1 OR CUS:ID = 2) AND CUS:NAME <> 'a'");
  EXPECT_EQ(filter("CUS:ID - (1 - 2)"), "CUS:ID - (1 - 2)");
  EXPECT_EQ(filter("CUS:ID - 1 - 2"), "CUS:ID - 1 - 2");
  EXPECT_EQ(filter("NOT CUS:ID = 1"), "NOT CUS:ID = 1");
  EXPECT_EQ(filter("-CUS:ID ~= 0FFh"), "-CUS:ID <> 255");
  EXPECT_EQ(filter("CUS:NAME = 'O''Neil'"), "CUS:NAME = 'O''Neil'");
  EXPECT_EQ(filter("UPPER(CUS:NAME) & 'x' =< 'y'"), "UPPER(CUS:NAME) & 'x' <= 'y'");
}

TEST_F(FilterText, NullTests) {
  EXPECT_EQ(filter("NULL(CUS:CITY) = 1"), "CUS:CITY IS NULL ");
  EXPECT_EQ(filter("NULL(CUS:CITY) = 0"), "CUS:CITY IS NOT NULL ");
  EXPECT_EQ(filter("NULL(CUS:CITY) <> 0"), "CUS:CITY IS NULL ");
  EXPECT_EQ(filter("NULL(CUS:CITY) <> 1"), "CUS:CITY IS NOT NULL ");
  EXPECT_EQ(filter("NULL(CUS:CITY)"), "NULL(CUS:CITY)");
}

TEST_F(FilterText, LikePatterns) {
  EXPECT_EQ(filter("SUB(CUS:NAME, 1, 3) = 'Smi'"), "CUS:NAME LIKE 'Smi%'");
  EXPECT_EQ(filter("SUB(CUS:NAME, 1, 4) = 'Smi'"), "SUB(CUS:NAME, 1, 4) = 'Smi'");  // lengths differ
  EXPECT_EQ(filter("SUB(CUS:NAME, 2, 3) = 'Smi'"), "SUB(CUS:NAME, 2, 3) = 'Smi'");
  EXPECT_EQ(filter("INSTRING('o''k', CUS:NAME, 1, 1) <> 0"), "CUS:NAME LIKE '%o''k%'");
  EXPECT_EQ(filter("INSTRING('ok', CUS:NAME, 2, 1) <> 0"), "INSTRING('ok', CUS:NAME, 2, 1) <> 0");
}

TEST_F(FilterText, SortOrders) {
  EXPECT_EQ(order("-CUS:NAME, CUS:ID"), "CUS:NAME DESC, CUS:ID");
  EXPECT_EQ(order("CUS:CITY"), "CUS:CITY");
  EXPECT_EQ(order("CUS:CITY,"), "error");
}

}  // namespace
}  // namespace vrt::core
