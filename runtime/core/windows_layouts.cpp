#include "runtime/core/windows_layouts.h"

namespace vrt::core {

// The pictures compile these layouts; until they exist there is nothing to
// compile.
void compile_windows_layouts(const IntlSettings&) {}

}  // namespace vrt::core
