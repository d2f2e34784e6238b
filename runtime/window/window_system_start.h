// The window system's place in the process's life: started before the
// program's main procedure, shut down after it (every window closed, every
// started procedure ended).
#pragma once
#include <functional>
#include <string>

namespace vrt::window {

// Gives the process entry its start and shutdown hooks.
void install_window_system();

// A script to run once the window system starts, besides one named on the
// command line with "--script FILE"; `done` as for start_script.
void use_script(const std::string& path, std::function<void()> done = {});

// The hooks themselves. Start: the display (headless when a script drives
// the program), the control classes, the script, the runtime lock for the
// main procedure. Shutdown: "EVENT:CloseDown" to the
// windows of other threads, which end their procedures; this thread's
// windows closed; the lock given back.
void start_window_system();
void shutdown_window_system();

}  // namespace vrt::window
