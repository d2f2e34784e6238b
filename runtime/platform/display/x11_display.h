// The X11 display: one X window per top-level window, its image copied in
// on every present, X input turned into messages, the CLIPBOARD selection
// and the server's Xft.dpi.
#pragma once
#include <memory>

#include "runtime/platform/gui/display_hooks.h"

namespace vrt::platform {

// Null when the X server cannot be opened.
std::unique_ptr<DisplayBackend> open_x11_display();

}  // namespace vrt::platform
