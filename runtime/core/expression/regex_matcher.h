// The regular expressions of MATCH:
//
//   ^  start of text      $  end of text       .  any character
//   [set]  with ^ or ~ first for the complement, ] or - first literal, a-z
//   {group}   a|b   x? x+ x*   \c (c literally)   anything else itself
//
// A descending range, a missing "]" or "}", or a "?", "+", "*" at the start
// of a pattern, group or alternative make the pattern invalid; an invalid
// pattern matches nothing. The pattern is found anywhere in the value.
//
// Patterns compile to a small automaton that is turned into a deterministic
// one lazily, state by state, as texts are scanned: each text character
// costs one table lookup once its state is known.
#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace vrt::core {

class Regex {
 public:
  // Null when the pattern is invalid.
  static std::unique_ptr<Regex> compile(std::string_view pattern, bool no_case);
  ~Regex();
  bool search(std::string_view text);

 private:
  struct Impl;
  explicit Regex(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Searches with the last compiled pattern of this thread when the pattern
// text and case flag are the same as last time; compiles otherwise.
bool regex_search(std::string_view text, std::string_view pattern, bool no_case);

}  // namespace vrt::core
