// The parse tree of an expression, shared by the evaluator and the filter
// text builder.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/expression/expression_names.h"
#include "runtime/core/expression/expression_value.h"

namespace vrt::core {

struct ExprNode {
  enum class Kind { Literal, Picture, Variable, Procedure, Function, Unary, Binary };

  Kind kind = Kind::Literal;
  Op op = Op::None;                     // Unary and Binary
  ExprType type = ExprType::Integer;    // the result type
  ExprValue value;                      // Literal
  std::string text;                     // Picture text, or the name of a Variable or Procedure
  std::shared_ptr<const Binding> binding;
  const BuiltinInfo* builtin = nullptr; // Function
  // Operands, arguments, or for a Variable its subscript (one node) or
  // slice (two nodes).
  std::vector<std::unique_ptr<ExprNode>> kids;
  bool slice = false;
  // The nesting below and including this node; the left operand of a binary
  // operator that is itself one (a chain: a OR b OR c) adds nothing, as the
  // walkers follow chains in loops.
  int depth = 1;

  ExprNode() = default;
  ExprNode(const ExprNode&) = delete;
  ExprNode& operator=(const ExprNode&) = delete;
  // Takes a long chain apart in a loop, not by recursion.
  ~ExprNode() {
    while (!kids.empty() && kids[0] && !kids[0]->kids.empty()) {
      std::unique_ptr<ExprNode> child = std::move(kids[0]);
      kids[0] = std::move(child->kids[0]);
    }
  }
};

using ExprTree = std::unique_ptr<ExprNode>;

// Parses a whole expression. On failure returns null and posts error 800,
// or 801 naming an identifier that is not bound.
ExprTree parse_expression(const std::string& text);

// Parses a list of expressions separated by "," (a sort order); null on
// failure as above.
bool parse_expression_list(const std::string& text, std::vector<ExprTree>* items);

}  // namespace vrt::core
