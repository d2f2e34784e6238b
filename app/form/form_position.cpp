#include "app/form/form_position.h"

#include <map>
#include <mutex>

#include "runtime/platform/gui/window_api.h"

namespace marlock {

namespace {

namespace p = vrt::platform;

// Forms run on many threads; each keeps its place for all of them.
std::mutex g_mutex;
std::map<std::string, p::POINT>& places() {
  static std::map<std::string, p::POINT> kept;
  return kept;
}

}  // namespace

void remember_form_position(const vrt::window::WindowObject& window) {
  if (!window.hwnd || p::IsIconic(window.hwnd) || p::IsZoomed(window.hwnd)) return;
  p::RECT r = p::GetWindowRect(window.hwnd);
  p::POINT at{r.left, r.top};
  // An MDI child's place is in its client's coordinates.
  if (p::HWND parent = p::GetParent(window.hwnd)) at = p::ScreenToClient(parent, at);
  std::lock_guard lock(g_mutex);
  places()[window.module()] = at;
}

void restore_form_position(const vrt::window::WindowObject& window) {
  p::POINT at;
  {
    std::lock_guard lock(g_mutex);
    auto it = places().find(window.module());
    if (it == places().end()) return;
    at = it->second;
  }
  if (window.hwnd)
    p::SetWindowPos(window.hwnd, nullptr, at.x, at.y, 0, 0, p::SWP_NOSIZE | p::SWP_NOZORDER | p::SWP_NOACTIVATE);
}

}  // namespace marlock
