// Where top-level windows appear. `x11` gives each its own X window and
// turns X input into messages; `headless` keeps them as images only, with
// input injected by the automation calls. The choice: $VORTHAL_DISPLAY
// ("headless" or "x11"); without it x11 when $DISPLAY is set, else headless.
#pragma once
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

enum class DisplayKind { Headless, X11 };

// Starts the display once; falls back to headless (with a note on standard
// error) when the X server cannot be reached. Returns the kind started.
DisplayKind start_display();
DisplayKind start_display(DisplayKind kind);
void stop_display();
DisplayKind display_kind();

// Writes a PNG of one top-level window's image, or (null) of the whole
// screen with every visible top-level window in its place.
bool write_screenshot(HWND top, const std::string& path);

}  // namespace vrt::platform
