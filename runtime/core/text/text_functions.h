// The text functions of the language: SUB, LEFT, RIGHT, CENTER, CLIP, ALL,
// UPPER, LOWER and NUMERIC.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vrt::core {

// SUB(text, start, length): start counts from 1 (0 counts as 1, negative
// counts from the end); a start past the end gives an empty text; the
// length is cut to what remains (negative: to the end).
std::string Sub(std::string_view text, int64_t start, int64_t length = -1);
// Justify in a field of the given length (negative: the text's own length).
std::string Left(std::string_view text, int64_t length = -1);
std::string Right(std::string_view text, int64_t length = -1);
// An odd number of padding blanks leaves the extra blank on the right.
std::string Center(std::string_view text, int64_t length = -1);
std::string Clip(std::string_view text);
// The text repeated to the length (255 by default).
std::string All(std::string_view text, int64_t length = 255);
std::string Upper(std::string_view text);
std::string Lower(std::string_view text);
// True when the text, blanks around it aside, is one number: a sign,
// digits with at most one decimal point, an optional exponent.
bool Numeric(std::string_view text);

}  // namespace vrt::core
