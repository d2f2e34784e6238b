// String comparison: all comparisons of text values, sorting of text keys in
// memory, and the string relations of expressions.
//
// Texts are compared position by position, the shorter one treated as
// padded with blanks, so trailing blanks never decide. At the first
// differing character the order is the difference of the two weights in the
// ANSI collation table; with a digraph table loaded, a digraph character
// counts as its two expansion characters.
#pragma once
#include <string_view>

namespace vrt::core {

// Negative, 0 or positive. With `no_case` both characters are first mapped
// to upper case through the case table.
int compare_strings(std::string_view a, std::string_view b, bool no_case = false);
// Zero-terminated texts, compared up to their terminating zero.
int compare_cstrings(const char* a, const char* b, bool no_case = false);

// Reals are equal when their difference is zero or when the binary exponent
// of the difference plus 50 is below the exponent of either operand (a zero
// operand counts with the exponent of 1.0).
bool reals_equal(double a, double b);
// Negative, 0 or positive, with the equality tolerance above.
int compare_reals(double a, double b);

}  // namespace vrt::core
