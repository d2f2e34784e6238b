#include "runtime/core/values/string_stack_bridge.h"

#include "runtime/core/values/string_stack.h"

namespace vrt::core {

// The handler pops the text from this thread's string stack.
void push_fatal_text(const std::string& text) { string_stack().push_text(text); }

}  // namespace vrt::core
