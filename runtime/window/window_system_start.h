// The window system's place in the process's life: started before the
// program's main procedure, shut down after it (every window closed, every
// started procedure ended).
#pragma once

namespace vrt::window {

// Gives the process entry its start and shutdown hooks.
void install_window_system();

// The hooks themselves. Start: the display, the control classes, the
// runtime lock for the main procedure. Shutdown: "EVENT:CloseDown" to the
// windows of other threads, which end their procedures; this thread's
// windows closed; the lock given back.
void start_window_system();
void shutdown_window_system();

}  // namespace vrt::window
