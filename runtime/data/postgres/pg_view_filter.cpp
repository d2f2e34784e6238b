#include "runtime/data/postgres/pg_view_filter.h"

#include <cmath>
#include <optional>

#include "runtime/core/expression/evaluate.h"
#include "runtime/data/driver/record_layout.h"

namespace vrt::data {

namespace {

using core::ExprNode;
using core::Op;

constexpr char kMark = '\x01';

class Writer {
 public:
  Writer(const FileDeclaration& d, const std::vector<PgColumn>& columns) : d_(d), columns_(columns) {}

  // A condition that holds for every row for which the node is true, and
  // whether it holds for no other (only then may NOT turn it round).
  struct Part {
    std::string sql;  // "" stands for TRUE
    bool exact = false;
  };

  Part write(const ExprNode& n) {
    if (n.kind == ExprNode::Kind::Unary && n.op == Op::Not && n.kids.size() == 1) {
      Part inner = write(*n.kids[0]);
      if (!inner.exact || inner.sql.empty()) return {};
      return {"NOT (" + inner.sql + ")", true};
    }
    if (n.kind != ExprNode::Kind::Binary || n.kids.size() != 2) return {};
    if (n.op == Op::And || n.op == Op::Or) {
      Part a = write(*n.kids[0]), b = write(*n.kids[1]);
      if (n.op == Op::And) {
        if (a.sql.empty() || b.sql.empty()) return {a.sql.empty() ? b.sql : a.sql, false};
        return {"(" + a.sql + " AND " + b.sql + ")", a.exact && b.exact};
      }
      if (a.sql.empty() || b.sql.empty()) return {};
      return {"(" + a.sql + " OR " + b.sql + ")", a.exact && b.exact};
    }
    return comparison(n);
  }

  std::vector<PgParam> params;

 private:
  const char* sql_op(Op op, bool mirrored) {
    switch (op) {
      case Op::Equal: return " = ";
      case Op::NotEqual: return " <> ";
      case Op::Less: return mirrored ? " > " : " < ";
      case Op::Greater: return mirrored ? " < " : " > ";
      case Op::LessEqual: return mirrored ? " >= " : " <= ";
      case Op::GreaterEqual: return mirrored ? " <= " : " >= ";
      default: return nullptr;
    }
  }

  // The integer column a plain variable names, or null.
  const PgColumn* integer_column(const ExprNode& n) {
    if (n.kind != ExprNode::Kind::Variable || !n.kids.empty()) return nullptr;
    int field = find_field(d_, n.text);
    if (field == 0) return nullptr;
    const PgColumn* c = column_of_field(columns_, field - 1);
    return c && (c->kind == ColumnKind::kSigned || c->kind == ColumnKind::kUnsigned) ? c : nullptr;
  }

  bool uses_file(const ExprNode& n) {
    if (n.kind == ExprNode::Kind::Variable && find_field(d_, n.text) != 0) return true;
    for (const auto& k : n.kids)
      if (k && uses_file(*k)) return true;
    return false;
  }

  // An integral value of a node that does not depend on the file.
  std::optional<int64_t> integer_value(const ExprNode& n) {
    if (uses_file(n)) return std::nullopt;
    core::ExprValue v;
    if (!core::evaluate_node(n, &v)) return std::nullopt;
    if (v.type == core::ExprType::Integer) return v.integer;
    if (v.type == core::ExprType::Real && std::isfinite(v.real) && std::trunc(v.real) == v.real &&
        std::fabs(v.real) < 9e15)
      return static_cast<int64_t>(v.real);
    return std::nullopt;
  }

  Part comparison(const ExprNode& n) {
    for (int side = 0; side < 2; ++side) {
      const PgColumn* c = integer_column(*n.kids[static_cast<size_t>(side)]);
      const char* op = sql_op(n.op, side == 1);
      if (!c || !op) continue;
      std::optional<int64_t> value = integer_value(*n.kids[static_cast<size_t>(1 - side)]);
      if (!value) continue;
      // A value is marked by its index; placed() numbers the ones kept.
      std::string mark = kMark + std::to_string(params.size()) + kMark;
      params.push_back({std::to_string(*value), false});
      return {quote_identifier(c->name) + op + mark + "::bigint", true};
    }
    return {};
  }

  const FileDeclaration& d_;
  const std::vector<PgColumn>& columns_;
};

}  // namespace

ServerCondition server_condition(const ExprNode& filter, const FileDeclaration& declaration,
                                 const std::vector<PgColumn>& columns) {
  Writer w(declaration, columns);
  Writer::Part p = w.write(filter);
  return {p.sql, w.params};
}

std::string ServerCondition::placed(std::vector<PgParam>* statement_params) const {
  std::string out;
  for (size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] != kMark) {
      out += sql[i];
      continue;
    }
    size_t end = sql.find(kMark, i + 1);
    size_t index = std::stoul(sql.substr(i + 1, end - i - 1));
    statement_params->push_back(params[index]);
    out += "$" + std::to_string(statement_params->size());
    i = end;
  }
  return out;
}

}  // namespace vrt::data
