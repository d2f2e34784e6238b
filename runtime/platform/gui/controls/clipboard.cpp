// The text clipboard of the process; on X11 the display also offers it as
// the CLIPBOARD selection and fills it from there.
#include <mutex>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/display_hooks.h"

namespace vrt::platform {

namespace {
std::mutex g_mutex;
std::string g_text;
}  // namespace

void set_clipboard_text(const std::string& text) {
  {
    std::lock_guard lock(g_mutex);
    g_text = text;
  }
  if (DisplayBackend* b = display_backend()) b->clipboard_changed();
}

std::string get_clipboard_text() {
  std::lock_guard lock(g_mutex);
  return g_text;
}

}  // namespace vrt::platform
