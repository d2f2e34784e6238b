// What a view's FILTER says about the components of a key: whether it
// constrains a field at all, and the lower and upper bounds its comparisons
// give each component, so that a scan can start at the first possible entry,
// jump over gaps and stop early. Every row the bounds admit is still tested
// against the whole filter; the bounds only spare reading rows that cannot
// pass.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/expression/expression_tree.h"

namespace vrt::data {

// A name of the filter: a field of the primary file (its number, from 1),
// kOtherViewField for a field of another file of the view, or kNotAField
// for a name outside the view (it is a value, like a constant).
inline constexpr int kNotAField = 0;
inline constexpr int kOtherViewField = -1;
using FieldResolver = std::function<int(const std::string& upper_name)>;

// The field a node stands for: a field reference, or (for a NOCASE key) a
// case-converting function of one; 0 when it is neither.
int node_field(const core::ExprNode& node, bool nocase, const FieldResolver& resolve);
// True when the node refers to no file of the view, so that its value is
// known before the scan.
bool independent_of_view(const core::ExprNode& node, const FieldResolver& resolve);

// A comparison constrains the field when one side is the field and the
// other does not depend on the view's files; AND when either side does, OR
// only when both do; under NOT the two swap.
bool filter_constrains(const core::ExprNode& filter, int field, bool nocase, const FieldResolver& resolve);

struct ComponentRange {
  bool has_low = false, has_high = false;
  bool low_inclusive = true, high_inclusive = true;
  core::ExprValue low, high;
  // Fixed by an equality: the next component's bounds count too.
  bool fixed() const;
};

// The bounds of each field from the comparisons the filter's top-level AND
// chain makes on it (an OR or a NOT gives none). A comparison with the field
// on the right is mirrored: 5 <= F is F >= 5. Of two bounds on one side the
// tighter is kept. Values are evaluated now; a value that cannot be
// evaluated gives no bound.
std::vector<ComponentRange> key_ranges(const core::ExprNode& filter, const std::vector<int>& fields, bool nocase,
                                       const FieldResolver& resolve);

// The order of two bound values: integers and reals as numbers, texts by
// the runtime's comparison.
int compare_bound_values(const core::ExprValue& a, const core::ExprValue& b);

}  // namespace vrt::data
