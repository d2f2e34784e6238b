#include "runtime/platform/gui/display_hooks.h"

#include <atomic>

namespace vrt::platform {

void forget_top_level_image(HWND top);

namespace {
std::atomic<DisplayBackend*> g_backend{nullptr};
}

DisplayBackend* display_backend() { return g_backend; }
void set_display_backend(DisplayBackend* backend) { g_backend = backend; }

void display_top_level_created(HWND top) {
  if (DisplayBackend* b = g_backend) b->created(top);
}

void display_top_level_destroyed(HWND top) {
  if (DisplayBackend* b = g_backend) b->destroyed(top);
  forget_top_level_image(top);
}

void display_top_level_changed(HWND top) {
  if (DisplayBackend* b = g_backend) b->changed(top);
}

void display_present(HWND top, const RECT& area) {
  if (DisplayBackend* b = g_backend) b->present(top, area);
}

}  // namespace vrt::platform
