#include "runtime/data/postgres/pg_key_order.h"

#include <cstdlib>

#include "runtime/data/driver/field_types.h"

namespace vrt::data {

namespace {

std::string base_type(const std::string& sql_type) {
  size_t collate = sql_type.find(" COLLATE");
  return collate == std::string::npos ? sql_type : sql_type.substr(0, collate);
}

// The comparison that moves on in reading order for one part.
const char* onward(const KeyPart& p, bool forward, bool or_equal) {
  bool greater = forward != p.descending;
  if (or_equal) return greater ? " >= " : " <= ";
  return greater ? " > " : " < ";
}

}  // namespace

bool key_order(const FileDeclaration& d, const std::vector<PgColumn>& columns, int key, KeyOrder* order) {
  *order = KeyOrder{};
  KeyPart record{quote_identifier(kRecordColumn), "bigint", false, false, -1};
  if (key < 0) {
    order->parts.push_back(record);
    order->unique = true;
    return true;
  }
  const KeyBlock& k = d.keys[static_cast<size_t>(key)];
  std::vector<std::string> holds;
  for (int32_t component : k.components) {
    int field = std::abs(component) - 1;
    if (field < 0 || static_cast<size_t>(field) >= d.fields.size()) return false;
    const PgColumn* c = column_of_field(columns, field);
    if (!c) return false;
    KeyPart p{quote_identifier(c->name), base_type(c->sql_type), component < 0, false,
              static_cast<int>(c - columns.data())};
    if ((k.attributes & kKeyNocase) && c->kind == ColumnKind::kText) {
      p.expression = "upper(" + p.expression + ")";
      p.nocase = true;
    }
    order->parts.push_back(p);
    holds.push_back(holds_value_condition(*c, d.fields[static_cast<size_t>(field)]));
  }
  order->components = order->parts.size();
  order->unique = !(k.attributes & kKeyDup) && !k.dynamic_index();
  if (!order->unique) order->parts.push_back(record);
  if (k.attributes & kKeyOpt) {
    std::string any;
    for (const std::string& h : holds) any += (any.empty() ? "(" : " OR ") + h;
    order->holds = any + ")";
  }
  return true;
}

std::string index_statement(const std::string& table, const std::string& index_name, const KeyOrder& order) {
  std::string sql = std::string("CREATE ") + (order.unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
                    quote_identifier(index_name) + " ON " + quote_identifier(table) + " (";
  for (size_t i = 0; i < order.parts.size(); ++i) {
    const KeyPart& p = order.parts[i];
    sql += (i ? ", " : "") + (p.nocase ? "(" + p.expression + ")" : p.expression) + (p.descending ? " DESC" : "");
  }
  sql += ")";
  if (!order.holds.empty()) sql += " WHERE " + order.holds;
  return sql;
}

std::string part_of_param(const KeyPart& part, int n) {
  std::string param = "$" + std::to_string(n) + "::" + part.cast;
  return part.nocase ? "upper(" + param + ")" : param;
}

std::string equal_condition(const KeyOrder& order, int first) {
  std::string sql = "TRUE";
  for (size_t i = 0; i < order.components; ++i)
    sql += " AND " + order.parts[i].expression + " = " + part_of_param(order.parts[i], first + static_cast<int>(i));
  if (!order.holds.empty()) sql += " AND " + order.holds;
  return sql;
}

std::string order_clause(const KeyOrder& order, bool forward) {
  std::string sql = " ORDER BY ";
  for (size_t i = 0; i < order.parts.size(); ++i) {
    const KeyPart& p = order.parts[i];
    sql += (i ? ", " : "") + p.expression + (p.descending == forward ? " DESC" : "");
  }
  return sql;
}

std::string after_condition(const KeyOrder& order, size_t count, bool forward, bool inclusive, int first) {
  if (count == 0) return "TRUE";
  bool uniform = true;
  for (size_t i = 1; i < count; ++i) uniform = uniform && order.parts[i].descending == order.parts[0].descending;
  if (uniform) {
    // One row comparison, which an index on the parts serves directly.
    std::string left = "(", right = "(";
    for (size_t i = 0; i < count; ++i) {
      left += (i ? ", " : "") + order.parts[i].expression;
      right += (i ? ", " : "") + part_of_param(order.parts[i], first + static_cast<int>(i));
    }
    return left + ")" + onward(order.parts[0], forward, inclusive) + right + ")";
  }
  // Mixed directions: equal on the parts before i and onward on part i.
  std::string sql = "(";
  for (size_t i = 0; i < count; ++i) {
    std::string term;
    for (size_t j = 0; j < i; ++j)
      term += order.parts[j].expression + " = " + part_of_param(order.parts[j], first + static_cast<int>(j)) + " AND ";
    bool last = i + 1 == count;
    term += order.parts[i].expression + onward(order.parts[i], forward, inclusive && last) +
            part_of_param(order.parts[i], first + static_cast<int>(i));
    sql += (i ? " OR (" : "(") + term + ")";
  }
  return sql + ")";
}

}  // namespace vrt::data
