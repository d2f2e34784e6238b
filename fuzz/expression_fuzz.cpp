// Any text handed to EVALUATE parses or fails with an error; evaluation and
// the filter text of whatever parsed never crash, on a small stack.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/small_stack.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/evaluate.h"
#include "runtime/core/expression/filter_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt::core;
  static bool bound = [] {
    Bind("CUS:NAME", [] { return ExprValue::of_string("Smith"); });
    Bind("N", [] { return ExprValue::of_integer(42); });
    return true;
  }();
  (void)bound;
  std::string text(reinterpret_cast<const char*>(data), size);
  vrt::fuzz::on_small_stack([&] {
    Expression e;
    if (e.compile(text)) {
      ExprValue v;
      if (e.evaluate(&v)) (void)v.as_text();
      (void)filter_text(*e.tree());
    } else if (error_code() != 800 && error_code() != 801) {
      __builtin_trap();  // a failed parse must say why
    }
  });
  return 0;
}
