#include "runtime/data/driver/string_arguments.h"

#include "runtime/core/values/string_stack.h"

namespace vrt::data {

void push_string_argument(const std::string& text) { core::string_stack().push_text(text); }

std::string pop_string_argument() {
  core::StringStack& s = core::string_stack();
  return s.depth() > 0 ? s.pop_string() : std::string();
}

void push_string_result(const std::string& text) { core::string_stack().push_text(text); }
std::string pop_string_result() { return pop_string_argument(); }
size_t string_stack_depth() { return static_cast<size_t>(core::string_stack().depth()); }

}  // namespace vrt::data
