// The runtime's own boxes (fatal errors, the version check, the end of the
// session) as windows: a caption, an icon, the text and a row of buttons,
// shown modally on the calling thread. Headless, the box is also written to
// standard error, and without a script to answer it takes its default
// button at once.
#pragma once
#include "runtime/core/base/runtime_box.h"

namespace vrt::window {

// Makes show_runtime_box show windows (the window system's start does).
void install_runtime_box_window();

// The handler itself.
core::BoxAnswer show_box_window(const core::BoxRequest& request);

}  // namespace vrt::window
