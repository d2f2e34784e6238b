#include "runtime/data/view/view_key_ranges.h"

#include "runtime/core/expression/evaluate.h"
#include "runtime/core/base/string_compare.h"

namespace vrt::data {

namespace {

using core::ExprNode;
using core::Op;

bool is_comparison(Op op) { return op >= Op::Equal && op <= Op::GreaterEqual; }

// The operator with its sides swapped: 5 < F is F > 5.
Op mirrored(Op op) {
  switch (op) {
    case Op::Less: return Op::Greater;
    case Op::Greater: return Op::Less;
    case Op::LessEqual: return Op::GreaterEqual;
    case Op::GreaterEqual: return Op::LessEqual;
    default: return op;
  }
}

// A comparison of the field with a value: the operator as seen from the
// field, and the value's side.
bool field_comparison(const ExprNode& n, int field, bool nocase, const FieldResolver& resolve, Op* op,
                      const ExprNode** value) {
  if (n.kind != ExprNode::Kind::Binary || !is_comparison(n.op)) return false;
  const ExprNode& a = *n.kids[0];
  const ExprNode& b = *n.kids[1];
  if (node_field(a, nocase, resolve) == field && independent_of_view(b, resolve)) {
    *op = n.op;
    *value = &b;
    return true;
  }
  if (node_field(b, nocase, resolve) == field && independent_of_view(a, resolve)) {
    *op = mirrored(n.op);
    *value = &a;
    return true;
  }
  return false;
}

bool constrains(const ExprNode& top, int field, bool nocase, const FieldResolver& resolve, bool negated) {
  const ExprNode* n = &top;
  while (n->kind == ExprNode::Kind::Unary && n->op == Op::Not) {
    negated = !negated;
    n = n->kids[0].get();
  }
  if (n->kind == ExprNode::Kind::Binary && (n->op == Op::And || n->op == Op::Or)) {
    // A chain of ANDs and ORs is folded from its left end in a loop.
    std::vector<const ExprNode*> chain;
    for (; n->kind == ExprNode::Kind::Binary && (n->op == Op::And || n->op == Op::Or); n = n->kids[0].get())
      chain.push_back(n);
    bool a = constrains(*n, field, nocase, resolve, negated);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      bool b = constrains(*(*it)->kids[1], field, nocase, resolve, negated);
      bool either = ((*it)->op == Op::And) != negated;
      a = either ? a || b : a && b;
    }
    return a;
  }
  Op op;
  const ExprNode* value;
  return field_comparison(*n, field, nocase, resolve, &op, &value);
}

// Keeps the tighter of two bounds on one side.
void tighten(core::ExprValue* bound, bool* has, bool* inclusive, const core::ExprValue& v, bool v_inclusive,
             bool lower) {
  if (!*has) {
    *bound = v;
    *has = true;
    *inclusive = v_inclusive;
    return;
  }
  int c = compare_bound_values(v, *bound);
  if ((lower && c > 0) || (!lower && c < 0)) {
    *bound = v;
    *inclusive = v_inclusive;
  } else if (c == 0) {
    *inclusive = *inclusive && v_inclusive;
  }
}

void apply(ComponentRange* r, Op op, const core::ExprValue& v) {
  switch (op) {
    case Op::Equal:
      tighten(&r->low, &r->has_low, &r->low_inclusive, v, true, true);
      tighten(&r->high, &r->has_high, &r->high_inclusive, v, true, false);
      break;
    case Op::Greater: tighten(&r->low, &r->has_low, &r->low_inclusive, v, false, true); break;
    case Op::GreaterEqual: tighten(&r->low, &r->has_low, &r->low_inclusive, v, true, true); break;
    case Op::Less: tighten(&r->high, &r->has_high, &r->high_inclusive, v, false, false); break;
    case Op::LessEqual: tighten(&r->high, &r->has_high, &r->high_inclusive, v, true, false); break;
    default: break;  // <> bounds nothing
  }
}

// The comparisons joined by the top-level ANDs, in their order; walked with
// a stack of our own, as a program's filter may chain thousands of them.
void conjuncts(const ExprNode& top, std::vector<const ExprNode*>* out) {
  std::vector<const ExprNode*> todo{&top};
  while (!todo.empty()) {
    const ExprNode* n = todo.back();
    todo.pop_back();
    if (n->kind == ExprNode::Kind::Binary && n->op == Op::And) {
      todo.push_back(n->kids[1].get());
      todo.push_back(n->kids[0].get());
    } else {
      out->push_back(n);
    }
  }
}

}  // namespace

int node_field(const ExprNode& n, bool nocase, const FieldResolver& resolve) {
  if (n.kind == ExprNode::Kind::Variable && n.kids.empty()) {
    int f = resolve(n.text);
    return f > 0 ? f : 0;
  }
  if (nocase && n.kind == ExprNode::Kind::Function && n.kids.size() == 1 &&
      (n.builtin->code == core::Builtin::Upper || n.builtin->code == core::Builtin::Lower))
    return node_field(*n.kids[0], false, resolve);
  return 0;
}

bool independent_of_view(const ExprNode& top, const FieldResolver& resolve) {
  std::vector<const ExprNode*> todo{&top};
  while (!todo.empty()) {
    const ExprNode* n = todo.back();
    todo.pop_back();
    if (n->kind == ExprNode::Kind::Variable && resolve(n->text) != kNotAField) return false;
    for (const auto& k : n->kids) todo.push_back(k.get());
  }
  return true;
}

bool filter_constrains(const ExprNode& filter, int field, bool nocase, const FieldResolver& resolve) {
  return constrains(filter, field, nocase, resolve, false);
}

bool ComponentRange::fixed() const {
  return has_low && has_high && low_inclusive && high_inclusive && compare_bound_values(low, high) == 0;
}

int compare_bound_values(const core::ExprValue& a, const core::ExprValue& b) {
  if (a.type == core::ExprType::String && b.type == core::ExprType::String) return core::compare_strings(a.text, b.text);
  if (a.type == core::ExprType::Integer && b.type == core::ExprType::Integer)
    return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
  return core::compare_reals(a.as_real(), b.as_real());
}

std::vector<ComponentRange> key_ranges(const ExprNode& filter, const std::vector<int>& fields, bool nocase,
                                       const FieldResolver& resolve) {
  std::vector<ComponentRange> ranges(fields.size());
  std::vector<const ExprNode*> parts;
  conjuncts(filter, &parts);
  for (size_t i = 0; i < fields.size(); ++i)
    for (const ExprNode* part : parts) {
      Op op;
      const ExprNode* value;
      if (!field_comparison(*part, fields[i], nocase, resolve, &op, &value)) continue;
      core::ExprValue v;
      if (!core::evaluate_node(*value, &v)) continue;
      apply(&ranges[i], op, v);
    }
  return ranges;
}

}  // namespace vrt::data
