#include "runtime/core/expression/evaluate.h"

#include <cmath>
#include <vector>

#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/expression_builtins.h"
#include "runtime/core/base/string_compare.h"

namespace vrt::core {

namespace {

int compare_values(const ExprValue& a, const ExprValue& b) {
  if (a.type == ExprType::Integer && b.type == ExprType::Integer)
    return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
  if (a.type == ExprType::String && b.type == ExprType::String) return compare_strings(a.text, b.text);
  return compare_reals(a.as_real(), b.as_real());
}

bool relation_holds(Op op, int c) {
  switch (op) {
    case Op::Equal: return c == 0;
    case Op::NotEqual: return c != 0;
    case Op::Less: return c < 0;
    case Op::Greater: return c > 0;
    case Op::LessEqual: return c <= 0;
    case Op::GreaterEqual: return c >= 0;
    default: return false;
  }
}

bool arithmetic(Op op, double a, double b, ExprValue* out) {
  double r = 0;
  switch (op) {
    case Op::Add: r = a + b; break;
    case Op::Subtract: r = a - b; break;
    case Op::Multiply: r = a * b; break;
    case Op::Divide:
      if (b == 0) return false;
      r = a / b;
      break;
    case Op::Modulus:
      if (b == 0) return false;
      r = std::fmod(a, b);
      break;
    case Op::Power: r = std::pow(a, b); break;
    default: return false;
  }
  if (!std::isfinite(r)) return false;
  *out = ExprValue::of_real(r);
  return true;
}

// One operator of a chain, its left side `a` already known.
bool apply_binary(const ExprNode& n, const ExprValue& a, ExprValue* out) {
  // AND and OR need the right side only when the left does not decide.
  if (n.op == Op::And && !a.truth()) {
    *out = ExprValue::of_integer(0);
    return true;
  }
  if (n.op == Op::Or && a.truth()) {
    *out = ExprValue::of_integer(1);
    return true;
  }
  ExprValue b;
  if (!evaluate_node(*n.kids[1], &b)) return false;
  switch (n.op) {
    case Op::And:
    case Op::Or: *out = ExprValue::of_integer(b.truth()); return true;
    case Op::Xor: *out = ExprValue::of_integer(a.truth() != b.truth()); return true;
    case Op::Concat: *out = ExprValue::of_string(a.as_text() + b.as_text()); return true;
    case Op::Equal:
    case Op::NotEqual:
    case Op::Less:
    case Op::Greater:
    case Op::LessEqual:
    case Op::GreaterEqual: *out = ExprValue::of_integer(relation_holds(n.op, compare_values(a, b))); return true;
    default: return arithmetic(n.op, a.as_real(), b.as_real(), out);
  }
}

// Binary operators associate to the left, so a long chain (ID = 1 OR ID = 2
// OR ...) hangs down the left sides: it is walked in a loop, not by
// recursion, however long it is. The chain is noted on a stack that every
// evaluation on this thread shares (a filter is evaluated once a record,
// and should not allocate each time): this call's part lies past `base`,
// and is taken off again however the call ends.
bool binary(const ExprNode& top, ExprValue* out) {
  thread_local std::vector<const ExprNode*> chain;
  struct Part {
    size_t base = chain.size();
    ~Part() { chain.resize(base); }
  } part;
  const ExprNode* n = &top;
  for (; n->kind == ExprNode::Kind::Binary; n = n->kids[0].get()) chain.push_back(n);
  size_t end = chain.size();
  ExprValue value;
  if (!evaluate_node(*n, &value)) return false;
  // Evaluations within leave the stack as they found it: indexes, not
  // iterators, as it may have grown meanwhile.
  for (size_t i = end; i > part.base; --i)
    if (!apply_binary(*chain[i - 1], value, &value)) return false;
  *out = std::move(value);
  return true;
}

// name[i] is the i-th character, name[i:j] the characters i to j (from 1).
bool subscript(const ExprNode& n, ExprValue* out) {
  ExprValue whole = n.binding->variable();
  std::string text = whole.as_text();
  ExprValue first, last;
  if (!evaluate_node(*n.kids[0], &first)) return false;
  int64_t from = first.as_integer(), to = from;
  if (n.slice) {
    if (!evaluate_node(*n.kids[1], &last)) return false;
    to = last.as_integer();
  }
  int64_t size = static_cast<int64_t>(text.size());
  from = std::max<int64_t>(from, 1);
  to = std::min(to, size);
  *out = ExprValue::of_string(from > to ? std::string() : text.substr(static_cast<size_t>(from - 1),
                                                                       static_cast<size_t>(to - from + 1)));
  return true;
}

}  // namespace

bool evaluate_node(const ExprNode& n, ExprValue* out) {
  switch (n.kind) {
    case ExprNode::Kind::Literal:
    case ExprNode::Kind::Picture: *out = n.value; return true;
    case ExprNode::Kind::Variable:
      if (!n.kids.empty()) return subscript(n, out);
      *out = n.binding->variable();
      return true;
    case ExprNode::Kind::Procedure: {
      std::vector<ExprValue> args(n.kids.size());
      for (size_t i = 0; i < n.kids.size(); ++i)
        if (!evaluate_node(*n.kids[i], &args[i])) return false;
      *out = n.binding->procedure(args);
      return true;
    }
    case ExprNode::Kind::Function: return evaluate_builtin(n, out);
    case ExprNode::Kind::Unary: {
      ExprValue v;
      if (!evaluate_node(*n.kids[0], &v)) return false;
      if (n.op == Op::Not)
        *out = ExprValue::of_integer(!v.truth());
      else
        *out = ExprValue::of_real(-v.as_real());
      return true;
    }
    case ExprNode::Kind::Binary: return binary(n, out);
  }
  return false;
}

bool Expression::compile(const std::string& text) {
  tree_ = parse_expression(text);
  return tree_ != nullptr;
}

bool Expression::evaluate(ExprValue* result) const {
  if (tree_ && evaluate_node(*tree_, result)) return true;
  post_error(800);
  return false;
}

bool Expression::test() const {
  ExprValue v;
  return tree_ && evaluate_node(*tree_, &v) && v.truth();
}

std::string Evaluate(const std::string& text) {
  Expression e;
  ExprValue v;
  if (!e.compile(text) || !e.evaluate(&v)) return {};
  return v.as_text();
}

}  // namespace vrt::core
