#include "runtime/core/startup/read_settings.h"

#include <mutex>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/windows_layouts.h"

namespace vrt::core {

void read_settings() {
  static std::once_flag once;
  std::call_once(once, [] {
    read_base_settings(compile_windows_layouts);
  });
}

}  // namespace vrt::core
