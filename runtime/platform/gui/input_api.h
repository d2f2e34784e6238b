// Input: the focus, the active window, mouse capture, the cursor, and the
// keyboard and mouse state. The display turns its events into input
// messages through the inject_* calls; tests and automation use them too.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();

// Cursor shapes.
HCURSOR LoadCursor(int which);
enum : int { IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_SIZEALL = 32646,
             IDC_SIZENWSE = 32642, IDC_SIZEWE = 32644, IDC_HAND = 32649 };
// Sets the cursor of the window under the mouse (SetCursor) or of the
// whole application (a wait cursor while the program is busy).
HCURSOR SetCursor(HCURSOR cursor);
void set_application_cursor(HCURSOR cursor);  // null: each window's own
HCURSOR current_cursor();

// True while down. For Shift, Ctrl and Alt the answer is the state when
// the input message being handled was made, as the system's is.
bool GetKeyState(UINT vk);
// Input messages carry the modifier keys in lParam's bits 40-47; taking
// one from the queue makes them the thread's key state.
inline constexpr int kModifierShift = 40;
void take_message_modifiers(LPARAM lp);
LPARAM stamp_modifiers(LPARAM lp);
POINT GetCursorPos();

// The window at a point of a top-level window (its image coordinates), the
// deepest visible, enabled-or-not child.
HWND window_at(HWND top, POINT p);

// Input from the display, in the coordinates of a top-level window's
// image. `ch` is the character a key produces (0 for none).
void inject_mouse_move(HWND top, POINT p);
void inject_mouse_button(HWND top, POINT p, int button, bool down);  // 0 left, 1 right, 2 middle
void inject_mouse_wheel(HWND top, POINT p, int delta);
void inject_key(UINT vk, bool down, char ch = 0);

// Called by the window manager.
void window_going_away(HWND hwnd);
void window_disabled(HWND hwnd);
void window_hidden(HWND hwnd);

}  // namespace vrt::platform
