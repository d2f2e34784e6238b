// ACCEPT: the event loop of a procedure's window. Each call pumps platform
// messages until an event is ready for the procedure, and returns true with
// the window's `event` and `field` set; it returns false once the window
// has closed, and the procedure goes on after its loop:
//
//   Open(window);
//   while (Accept(window)) {
//     switch (Event()) { case event::Accepted: ... }
//   }
#pragma once
#include <cstdint>

#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// Fatal runtime errors: 537 without an open window, 540 while the system is
// modal for it (modal_state.h).
bool Accept(WindowObject& window);

// The event and field number of the thread's current window.
uint16_t Event();
int32_t Field();

// Accept-all mode: every control in field order gets "EVENT:Accepted",
// then "EVENT:Completed" is posted.
void AcceptAll(WindowObject& window);

// Asks the loop to end: "EVENT:CloseWindow" is posted to the window.
void PostClose(WindowObject& window);

// Hooks the loop calls: idle (before each wait) and a message hook that
// may consume a message before it is dispatched.
using IdleHook = void (*)();
using MessageHook = bool (*)(const platform::MSG& msg);
void set_idle_hook(IdleHook hook);
void set_message_hook(MessageHook hook);

}  // namespace vrt::window
