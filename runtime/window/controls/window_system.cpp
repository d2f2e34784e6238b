#include "runtime/window/controls/window_system.h"

namespace vrt::window {

WindowSystem& window_system() {
  static WindowSystem s;
  return s;
}

namespace {
thread_local WindowObject* t_current = nullptr;
thread_local std::vector<WindowObject*> t_windows;
}  // namespace

WindowObject* current_window() { return t_current; }
void set_current_window(WindowObject* window) { t_current = window; }
std::vector<WindowObject*>& thread_windows() { return t_windows; }

}  // namespace vrt::window
