// What the window layer tells the display: top-level windows come and go,
// move, change and have new pixels to show. The display decides where they
// appear (an X window each, or nothing but their images when headless).
#pragma once
#include "runtime/platform/gui/win_types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace vrt::platform {

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  virtual void created(HWND top) = 0;
  virtual void destroyed(HWND top) = 0;
  // Position, size, visibility, z-order or title changed.
  virtual void changed(HWND top) = 0;
  // The rectangle of the top-level image (window coordinates) was redrawn.
  virtual void present(HWND top, const RECT& area) = 0;
  // The mouse cursor shape to show over a window.
  virtual void set_cursor(HWND top, HCURSOR cursor) { (void)top, (void)cursor; }
  // The text clipboard changed (for the CLIPBOARD selection).
  virtual void clipboard_changed() {}
  // Sounds the display's bell.
  virtual void bell() {}
};

// The display in use; null until one is started.
DisplayBackend* display_backend();
void set_display_backend(DisplayBackend* backend);

void display_top_level_created(HWND top);
void display_top_level_destroyed(HWND top);
void display_top_level_changed(HWND top);
void display_present(HWND top, const RECT& area);

// The image a top-level window draws into, kept by the window layer; a new
// one each time the window's size changes. Callers hold a reference while
// they use it.
cairo_surface_t* top_level_image(HWND top);

}  // namespace vrt::platform
