// Opening and closing a procedure's window: the structure is located by
// module and label, the platform window made by its kind (the application
// frame, an MDI child, an ordinary window) after the checks of that kind,
// and its controls, menu bar, toolbar and status bar created from the
// records. "EVENT:OpenWindow" is the first event its procedure receives.
#pragma once
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// Fatal runtime errors 535, 526-533 and 502 end the process while the
// runtime is active; otherwise Open returns with the window not open.
void Open(WindowObject& window);
// Destroys the platform window; the object may be opened again.
void Close(WindowObject& window);

// An MDI child's own menu takes the frame's bar while the child is active
// (shown), and gives it back to the frame's menu when it is not.
void show_frame_menu(WindowObject& child, bool shown);

}  // namespace vrt::window
