// The string-stack rule of driver calls, on the runtime string stack: a caller pushes string arguments
// before the call and the driver pops them; an operation that gives a string
// pushes it before it returns. These four functions are the driver's only
// contact with the string stack, so they can be pointed at the runtime's
// stack without touching the drivers.
#pragma once
#include <string>

namespace vrt::data {

void push_string_argument(const std::string& text);
// Pops the top string; an empty stack gives an empty string.
std::string pop_string_argument();
// An operation's string result.
void push_string_result(const std::string& text);
std::string pop_string_result();
// Entries in use (for tests: every call leaves the stack as it found it).
size_t string_stack_depth();

}  // namespace vrt::data
