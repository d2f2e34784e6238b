// The frame of a window: border, caption with its buttons, menu bar and
// scroll bars, drawn flat, and where a point on it lies.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

void draw_frame(HWND hwnd, bool active);
// A hit-test code for a screen point.
LRESULT frame_hit_test(HWND hwnd, POINT screen);
// Whether the window's caption shows it as active: a top-level window when
// it is the active one, an MDI child when it is its client's active child.
bool frame_active(HWND hwnd);
void set_frame_active(HWND hwnd, bool active);

}  // namespace vrt::platform
