#include "runtime/core/expression/filter_text.h"

#include <vector>


namespace vrt::core {

namespace {

const char* op_text(Op op) {
  switch (op) {
    case Op::Power: return " ^ ";
    case Op::Multiply: return " * ";
    case Op::Divide: return " / ";
    case Op::Modulus: return " % ";
    case Op::Add: return " + ";
    case Op::Subtract: return " - ";
    case Op::Concat: return " & ";
    case Op::Equal: return " = ";
    case Op::NotEqual: return " <> ";
    case Op::Less: return " < ";
    case Op::Greater: return " > ";
    case Op::LessEqual: return " <= ";
    case Op::GreaterEqual: return " >= ";
    case Op::And: return " AND ";
    case Op::Or: return " OR ";
    case Op::Xor: return " XOR ";
    default: return " ";
  }
}

// Binding strength, to put back the parentheses the text needs.
int precedence(const ExprNode& n) {
  if (n.kind == ExprNode::Kind::Unary) return n.op == Op::Not ? 3 : 9;
  if (n.kind != ExprNode::Kind::Binary) return 10;
  switch (n.op) {
    case Op::Or:
    case Op::Xor: return 1;
    case Op::And: return 2;
    case Op::Concat: return 5;
    case Op::Add:
    case Op::Subtract: return 6;
    case Op::Multiply:
    case Op::Divide:
    case Op::Modulus: return 7;
    case Op::Power: return 8;
    default: return 4;  // comparisons
  }
}

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// Quote doubling without the surrounding quotes, for LIKE patterns.
std::string doubled(const std::string& s) {
  std::string q = quoted(s);
  return q.substr(1, q.size() - 2);
}

bool is_constant(const ExprNode& n) { return n.kind == ExprNode::Kind::Literal; }
bool is_string_constant(const ExprNode& n) { return is_constant(n) && n.value.type == ExprType::String; }
bool is_function(const ExprNode& n, Builtin b) {
  return n.kind == ExprNode::Kind::Function && n.builtin->code == b;
}
bool is_number(const ExprNode& n, double v) {
  return is_constant(n) && n.value.type != ExprType::String && n.value.as_real() == v;
}

class Writer {
 public:
  std::string write(const ExprNode& n) {
    switch (n.kind) {
      case ExprNode::Kind::Literal:
        // Numbers in decimal, whatever base the expression wrote them in.
        return n.value.type == ExprType::String ? quoted(n.value.text) : n.value.as_text();
      case ExprNode::Kind::Picture: return n.text;
      case ExprNode::Kind::Variable: {
        if (n.kids.empty()) return n.text;
        std::string s = n.text + "[" + write(*n.kids[0]);
        if (n.slice) s += " : " + write(*n.kids[1]);
        return s + "]";
      }
      case ExprNode::Kind::Procedure:
      case ExprNode::Kind::Function: return call(n);
      case ExprNode::Kind::Unary:
        if (n.op == Op::Not) return "NOT " + operand(*n.kids[0], precedence(n), false);
        return "-" + operand(*n.kids[0], precedence(n), false);
      case ExprNode::Kind::Binary: return binary(n);
    }
    return {};
  }

 private:
  std::string call(const ExprNode& n) {
    std::string s = n.text + "(";
    for (size_t i = 0; i < n.kids.size(); ++i) s += (i ? ", " : "") + write(*n.kids[i]);
    return s + ")";
  }

  std::string operand(const ExprNode& n, int parent, bool right) {
    int p = precedence(n);
    bool parens = p < parent || (right && p == parent && n.kind == ExprNode::Kind::Binary);
    std::string s = write(n);
    return parens ? "(" + s + ")" : s;
  }

  // A left-associative chain of one precedence is written in a loop, so a
  // long one (ID = 1 OR ID = 2 OR ...) needs no deep recursion.
  std::string binary(const ExprNode& n) {
    if (std::string s; special(n, &s)) return s;
    int p = precedence(n);
    std::vector<const ExprNode*> chain{&n};
    for (;;) {
      const ExprNode& a = *chain.back()->kids[0];
      std::string ignored;
      if (a.kind != ExprNode::Kind::Binary || precedence(a) != p || special(a, &ignored)) break;
      chain.push_back(&a);
    }
    std::string s = operand(*chain.back()->kids[0], p, false);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) s += op_text((*it)->op) + operand(*(*it)->kids[1], p, true);
    return s;
  }

  // The comparisons a driver reads as patterns: IS [NOT] NULL and LIKE.
  bool special(const ExprNode& n, std::string* out) {
    const ExprNode& a = *n.kids[0];
    const ExprNode& b = *n.kids[1];
    // NULL(field) compared with a constant: field IS [NOT] NULL.
    if (is_function(a, Builtin::Null) && a.kids.size() == 1 && is_constant(b) &&
        (n.op == Op::Equal || n.op == Op::NotEqual)) {
      bool is_not = (n.op == Op::Equal && is_number(b, 0)) || (n.op == Op::NotEqual && !is_number(b, 0));
      *out = write(*a.kids[0]) + " IS " + (is_not ? "NOT " : "") + "NULL ";
      return true;
    }
    // SUB(field, 1, n) = 'constant of length n': a prefix match.
    if (n.op == Op::Equal && is_function(a, Builtin::Sub) && a.kids.size() == 3 && is_number(*a.kids[1], 1) &&
        is_string_constant(b) && is_number(*a.kids[2], static_cast<double>(b.value.text.size()))) {
      *out = write(*a.kids[0]) + " LIKE '" + doubled(b.value.text) + "%'";
      return true;
    }
    // INSTRING('constant', field, 1, 1) <> 0: a contains match.
    if (n.op == Op::NotEqual && is_number(b, 0) && is_function(a, Builtin::Instring) && a.kids.size() == 4 &&
        is_string_constant(*a.kids[0]) && is_number(*a.kids[2], 1) && is_number(*a.kids[3], 1)) {
      *out = write(*a.kids[1]) + " LIKE '%" + doubled(a.kids[0]->value.text) + "%'";
      return true;
    }
    return false;
  }
};

}  // namespace

std::string filter_text(const ExprNode& tree) { return Writer().write(tree); }

std::string order_text(const std::vector<ExprTree>& items) {
  std::string s;
  for (size_t i = 0; i < items.size(); ++i) {
    const ExprNode& n = *items[i];
    if (i) s += ", ";
    if (n.kind == ExprNode::Kind::Unary && n.op == Op::Negate)
      s += filter_text(*n.kids[0]) + " DESC";
    else
      s += filter_text(n);
  }
  return s;
}

}  // namespace vrt::core
