#include "runtime/platform/display/display.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "runtime/platform/display/headless_display.h"
#include "runtime/platform/display/x11_display.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/os/mutex.h"

namespace vrt::platform {

namespace {
Mutex g_mutex;
std::unique_ptr<DisplayBackend> g_display VRT_GUARDED_BY(g_mutex);
DisplayKind g_kind VRT_GUARDED_BY(g_mutex) = DisplayKind::Headless;
}  // namespace

DisplayKind start_display() {
  const char* choice = std::getenv("VORTHAL_DISPLAY");
  if (choice && std::strcmp(choice, "headless") == 0) return start_display(DisplayKind::Headless);
  if (choice && std::strcmp(choice, "x11") == 0) return start_display(DisplayKind::X11);
  const char* x = std::getenv("DISPLAY");
  return start_display(x && *x ? DisplayKind::X11 : DisplayKind::Headless);
}

DisplayKind start_display(DisplayKind kind) {
  MutexLock lock(g_mutex);
  if (g_display) return g_kind;
  if (kind == DisplayKind::X11) {
    g_display = open_x11_display();
    if (!g_display) {
      std::fprintf(stderr, "vorthal: cannot open the X display; running headless\n");
      kind = DisplayKind::Headless;
    }
  }
  if (!g_display) g_display = std::make_unique<HeadlessDisplay>();
  g_kind = kind;
  set_display_backend(g_display.get());
  return kind;
}

void stop_display() {
  MutexLock lock(g_mutex);
  set_display_backend(nullptr);
  g_display.reset();
}

DisplayKind display_kind() {
  MutexLock lock(g_mutex);
  return g_kind;
}

bool write_screenshot(HWND top, const std::string& path) {
  cairo_surface_t* shot;
  if (top) {
    shot = top_level_image(top);
    if (!shot) return false;
  } else {
    // The screen: the desktop colour, then every visible top-level window
    // from the back to the front.
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(shot);
    COLORREF desk = GetSysColor(COLOR_BACKGROUND);
    cairo_set_source_rgb(cr, GetRValue(desk) / 255.0, GetGValue(desk) / 255.0, GetBValue(desk) / 255.0);
    cairo_paint(cr);
    auto order = GetTopLevelWindows();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      if (!IsWindowVisible(*it)) continue;
      cairo_surface_t* img = top_level_image(*it);
      if (!img) continue;
      RECT r = GetWindowRect(*it);
      cairo_set_source_surface(cr, img, r.left, r.top);
      cairo_paint(cr);
      cairo_surface_destroy(img);
    }
    cairo_destroy(cr);
  }
  bool ok = cairo_surface_write_to_png(shot, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(shot);
  return ok;
}

}  // namespace vrt::platform
