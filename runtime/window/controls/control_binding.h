// Program variables bound to controls. A control's record describes the
// variable it shows (type, size, places); the program gives the storage at
// run time. The loop shows every bound value afresh whenever the procedure
// hands control back to it, so changing the variable is enough:
//
//   value string   the value through the record's picture
//   progress bar   the bar at the value (0 to 100)
//   option box     the radio whose text is the value is checked; choosing
//                  a radio stores its text in the variable
#pragma once
#include <cstdint>

#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// False when the window has no such control or its record describes no
// variable. The storage must outlive the window's controls.
bool Bind(WindowObject& window, int32_t field, void* storage);
// Shows every bound variable whose value changed.
void Display(WindowObject& window);

// The window procedure's side: a radio was chosen.
void radio_chosen(WindowObject& window, int32_t field);

// Tool tips of the window's controls (from their records), and the mouse
// moves the loop relays to them.
void make_tool_tips(WindowObject& window);
void relay_to_tool_tips(const platform::MSG& msg);

}  // namespace vrt::window
