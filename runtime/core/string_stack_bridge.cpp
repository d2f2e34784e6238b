#include "runtime/core/string_stack_bridge.h"

namespace vrt::core {

// Until the string stack exists the text has nowhere to go; the handler
// still receives it as its argument.
void push_fatal_text(const std::string&) {}

}  // namespace vrt::core
