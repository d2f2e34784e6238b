// The one place where start-up code hands a text to the string stack: the
// fatal-error handler pops the error text from it.
#pragma once
#include <string>

namespace vrt::core {

void push_fatal_text(const std::string& text);

}  // namespace vrt::core
