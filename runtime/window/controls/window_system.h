// The window system's global state: the application frame, the modal
// counter, and which thread's window the loop served last. Procedure code
// touches it under the runtime lock only.
#pragma once
#include <atomic>
#include <thread>

#include "runtime/window/controls/window_object.h"

namespace vrt::window {

struct WindowSystem {
  WindowObject* application = nullptr;  // the open frame, if any
  bool application_ended = false;       // a frame was open and has closed
  int modal = 0;                        // modal windows open plus events being sent
  std::thread::id last_served_thread;
  WindowObject* last_served = nullptr;
  WindowObject* last_active = nullptr;  // the active window the loop saw last
  std::atomic<bool> active{true};  // posting is dropped while the event system is not active
};
WindowSystem& window_system();

// The frame is closing or has closed: document windows no longer open.
inline bool application_ending() {
  const WindowSystem& s = window_system();
  return s.application ? s.application->closing : s.application_ended;
}

// The window the thread's procedure is serving (its latest ACCEPT).
WindowObject* current_window();
void set_current_window(WindowObject* window);

// Every open window object of this thread, oldest first.
std::vector<WindowObject*>& thread_windows();

}  // namespace vrt::window
