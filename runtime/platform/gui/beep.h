// The beep a program sounds when it refuses what the user did: the
// display's bell (none on the headless display, where tests count them).
#pragma once
#include <cstdint>

#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

bool MessageBeep(UINT type);
// Beeps sounded since the process started.
uint64_t beeps_sounded();

}  // namespace vrt::platform
