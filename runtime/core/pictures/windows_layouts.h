// The four picture layouts taken from the system's international settings
// (short date, long date, short time, long time), compiled at start-up.
#pragma once
#include "runtime/core/base/settings.h"

namespace vrt::core {

void compile_windows_layouts(const IntlSettings& intl);

}  // namespace vrt::core
