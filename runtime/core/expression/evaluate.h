// EVALUATE: expressions given as text, evaluated over the names the program
// has bound. A compiled Expression can be evaluated many times (a view
// filter is compiled once and tested on every row).
#pragma once
#include <string>

#include "runtime/core/expression/expression_tree.h"

namespace vrt::core {

class Expression {
 public:
  // False (with error 800 or 801 posted) when the text is not an expression.
  bool compile(const std::string& text);
  // False (with error 800 posted) when evaluation fails: a division by
  // zero, or a result that is not a finite number.
  bool evaluate(ExprValue* result) const;
  // The truth of the result; false when evaluation fails.
  bool test() const;
  const ExprNode* tree() const { return tree_.get(); }

 private:
  ExprTree tree_;
};

// The result as text ("7", "0.5", "abc"); empty, with the error posted,
// when the text does not parse or does not evaluate.
std::string Evaluate(const std::string& text);

// Evaluates one node of a tree.
bool evaluate_node(const ExprNode& node, ExprValue* out);

}  // namespace vrt::core
