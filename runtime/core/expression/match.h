// MATCH(value, pattern, mode): exact, wildcard, regular-expression and
// sound-alike matching. The low four bits of the mode give the kind; the
// flag kMatchNoCase compares through the case table's upper case.
#pragma once
#include <string_view>

namespace vrt::core {

enum MatchMode : int {
  kMatchExact = 0,
  kMatchWild = 1,
  kMatchRegular = 2,
  kMatchSoundex = 3,
  kMatchNoCase = 16,
};

bool Match(std::string_view value, std::string_view pattern, int mode = kMatchWild);

// "*" matches any run, "?" any one character. A pattern that begins with
// "*" first checks its tail after the last "*" against the end of the value.
bool wildcard_match(std::string_view value, std::string_view pattern, bool no_case);

}  // namespace vrt::core
