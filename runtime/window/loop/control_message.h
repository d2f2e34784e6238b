// A control's status-bar message shows while it has the focus: in the
// window's own status bar, or in the frame's for a document window that
// has none (a browse's list says "Browsing Records" there).
#pragma once
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// Called as the window's procedure takes its next event: when the focus
// moved to another of its controls, that control's message is shown.
void show_focused_control_message(WindowObject& window);

}  // namespace vrt::window
