// Icons drawn for this project, in vector form, at any size: the message
// box's stop, question, exclamation and information signs, and the
// application's own icons by file name ("COPY.ICO", "VCRFIRST.ICO" ...).
#pragma once
#include <string>

#include "runtime/platform/gfx/device_context.h"

namespace vrt::platform {

// Names: "STOP", "QUESTION", "EXCLAMATION", "INFORMATION", "APPLICATION",
// and the application's icon file names. False for a name without an icon.
bool draw_icon(HDC dc, int x, int y, int size, const std::string& name);
bool icon_exists(const std::string& name);

}  // namespace vrt::platform
