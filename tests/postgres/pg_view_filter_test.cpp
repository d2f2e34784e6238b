// What of a view's filter reaches the server: integer comparisons, kept
// only where leaving the rest out can drop no row the whole filter admits.
#include "runtime/data/postgres/pg_view_filter.h"

#include <gtest/gtest.h>

#include "runtime/core/expression/expression_tree.h"
#include "runtime/data/view/field_binding.h"
#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

using namespace vrt::data;

const char* kOrders = R"(FILE,DRIVER('POSTGRESQL'),NAME('ORDERS')
RECORD
ORD:ID LONG
ORD:QTY SHORT
ORD:NOTE STRING(10)
ORD:PRICE REAL
END
END
)";

TEST(ServerCondition, KeepsIntegerComparisonsWhereTheyCannotDropARow) {
  FileBlock f;
  make_pg_file(f, kOrders, "orders");
  bind_record_fields(f);
  std::vector<PgColumn> columns = columns_of(f.declaration);
  struct Case {
    const char* filter;
    const char* sql;  // with the values placed after one parameter already used
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"ORD:ID >= 10 AND ORD:ID < 20", "(\"id\" >= $2::bigint AND \"id\" < $3::bigint)", {"10", "20"}},
      {"5 <= ORD:QTY", "\"qty\" >= $2::bigint", {"5"}},
      {"ORD:ID = 3 + 4", "\"id\" = $2::bigint", {"7"}},
      // Texts and reals are the runtime's to compare; an AND keeps its other
      // side, an OR or a NOT over them keeps nothing.
      {"ORD:ID > 1 AND ORD:NOTE = 'x'", "\"id\" > $2::bigint", {"1"}},
      {"ORD:ID > 1 OR ORD:NOTE = 'x'", "", {}},
      {"NOT (ORD:ID > 1 AND ORD:PRICE > 2)", "", {}},
      {"NOT (ORD:ID > 1 OR ORD:QTY = 2)", "NOT ((\"id\" > $2::bigint OR \"qty\" = $3::bigint))", {"1", "2"}},
      {"ORD:ID < 2.5", "", {}},
      {"ORD:ID + 1 = 3", "", {}},
      {"ORD:ID = ORD:QTY", "", {}},
  };
  for (const Case& c : cases) {
    core::ExprTree tree = core::parse_expression(c.filter);
    ASSERT_TRUE(tree) << c.filter;
    ServerCondition condition = server_condition(*tree, f.declaration, columns);
    std::vector<PgParam> params{{"first", false}};
    EXPECT_EQ(condition.placed(&params), c.sql) << c.filter;
    std::vector<std::string> values;
    for (size_t i = 1; i < params.size(); ++i) values.push_back(params[i].text);
    EXPECT_EQ(values, c.values) << c.filter;
  }
}

TEST(ServerCondition, AColumnNameNeverHoldsControlCharacters) {
  // An external name is the declaration's to choose: one with control
  // characters becomes a plain column name, and the filter's values are
  // still the statement's parameters.
  FileBlock f;
  make_pg_file(f, kOrders, "orders");
  f.declaration.fields[0].external_name = std::string("i\x01") + "0\x01d\n";
  bind_record_fields(f);
  std::vector<PgColumn> columns = columns_of(f.declaration);
  EXPECT_EQ(columns[0].name, "f1");
  core::ExprTree tree = core::parse_expression("ORD:ID >= 10");
  ASSERT_TRUE(tree);
  std::vector<PgParam> params;
  EXPECT_EQ(server_condition(*tree, f.declaration, columns).placed(&params), "\"f1\" >= $1::bigint");
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].text, "10");
}

}  // namespace
}  // namespace vrt::test
