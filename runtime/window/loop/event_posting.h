// Posting and sending events to a window's procedure.
#pragma once
#include <cstdint>

#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// Queues an event for the window through its message queue (message
// 0x241B); `control` null for a window event. Dropped when the event
// system is not active, or when the control is not enabled for events.
void PostEvent(WindowObject& window, uint16_t code, Control* control = nullptr);
// Posts by field number (0: a window event).
void PostEvent(WindowObject& window, uint16_t code, int32_t field);

// Delivers the event to the procedure at once (on the window's thread) and
// returns its answer; the system counts as modal meanwhile. A window whose
// procedure takes no sent events gets the event queued and answers 0.
int SendEvent(WindowObject& window, uint16_t code);

// The window procedure's side: appends a posted event to its queue.
void take_posted_event(WindowObject& window, uint16_t code, int32_t field);

}  // namespace vrt::window
