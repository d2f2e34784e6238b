// The text clipboard of the process; on X11 the display also offers it as
// the CLIPBOARD selection and fills it from there.

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/os/mutex.h"

namespace vrt::platform {

namespace {
Mutex g_mutex;
std::string g_text VRT_GUARDED_BY(g_mutex);
}  // namespace

void set_clipboard_text(const std::string& text) {
  {
    MutexLock lock(g_mutex);
    g_text = text;
  }
  if (DisplayBackend* b = display_backend()) b->clipboard_changed();
}

std::string get_clipboard_text() {
  MutexLock lock(g_mutex);
  return g_text;
}

}  // namespace vrt::platform
