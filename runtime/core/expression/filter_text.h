// Writes a parse tree back as filter text for drivers that take filters as
// text: spaced operators, IS NULL tests, LIKE patterns for prefix and
// contains tests, quotes doubled inside constants, DESC in sort orders.
#pragma once
#include <string>

#include "runtime/core/expression/expression_tree.h"

namespace vrt::core {

std::string filter_text(const ExprNode& tree);

// A sort order: items separated by ", ", a negated item written as the
// item followed by " DESC".
std::string order_text(const std::vector<ExprTree>& items);

}  // namespace vrt::core
