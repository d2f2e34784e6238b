#include "runtime/core/expression/match.h"

#include "runtime/core/expression/regex_matcher.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/text/sound_code.h"

namespace vrt::core {

namespace {

inline uint8_t fold(char c, bool no_case) {
  uint8_t u = static_cast<uint8_t>(c);
  return no_case ? to_upper(u) : u;
}

bool same_char(char value, char pattern, bool no_case) {
  return pattern == '?' || fold(value, no_case) == fold(pattern, no_case);
}

bool exact_match(std::string_view a, std::string_view b, bool no_case) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i], no_case) != fold(b[i], no_case)) return false;
  return true;
}

}  // namespace

bool wildcard_match(std::string_view value, std::string_view pattern, bool no_case) {
  if (!pattern.empty() && pattern[0] == '*') {
    std::string_view tail = pattern.substr(pattern.rfind('*') + 1);
    if (tail.size() > value.size()) return false;
    std::string_view end = value.substr(value.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i)
      if (!same_char(end[i], tail[i], no_case)) return false;
  }
  // Greedy with backtracking to the last "*": each star is retried one
  // character further only when what follows it fails.
  size_t v = 0, p = 0, star = std::string_view::npos, resume = 0;
  while (v < value.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = v;
    } else if (p < pattern.size() && same_char(value[v], pattern[p], no_case)) {
      ++v;
      ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      v = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Match(std::string_view value, std::string_view pattern, int mode) {
  bool no_case = (mode & kMatchNoCase) != 0;
  switch (mode & 0x0F) {
    case kMatchExact: return exact_match(value, pattern, no_case);
    case kMatchWild: return wildcard_match(value, pattern, no_case);
    case kMatchRegular: return regex_search(value, pattern, no_case);
    case kMatchSoundex: return sound_code(value) == sound_code(pattern);
    default: return false;
  }
}

}  // namespace vrt::core
