// The cursor the program sets for the whole application (SETCURSOR): over
// the client area of the runtime's windows it takes the place of each
// window class's own cursor until the program clears it.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

// Null gives every window its class's cursor back.
void SetCursor(platform::HCURSOR cursor);
platform::HCURSOR program_cursor();

}  // namespace vrt::window
