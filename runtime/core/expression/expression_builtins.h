// The built-in functions of EVALUATE.
#pragma once
#include "runtime/core/expression/expression_tree.h"

namespace vrt::core {

// Evaluates a Function node; false when an argument fails or the result is
// not a finite number.
bool evaluate_builtin(const ExprNode& node, ExprValue* out);

// The runtime's pseudo-random generator: 15-bit draws.
int random_draw();
void seed_random(uint32_t seed);
// RANDOM(low, high) from three draws.
int64_t random_between(int64_t low, int64_t high);

}  // namespace vrt::core
