// Moving and sizing a window with the mouse: a caption drag (SC_MOVE) or a
// corner drag (SC_SIZE) follows the mouse until its button comes up.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

enum class TrackMode { Move, Size };
void begin_tracking(HWND hwnd, TrackMode mode, POINT screen_point);
// True while tracking took the mouse event.
bool tracking_mouse_move(POINT screen_point);
bool tracking_button_up();

}  // namespace vrt::platform
