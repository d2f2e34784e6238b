// What Help does: the program has no help file, so the Help buttons and the
// toolbar's "Get Help" say so, naming the window's help topic.
#pragma once
#include "runtime/window/controls/window_object.h"

namespace marlock {

// True when the press was a Help button (action code 8) or the toolbar's
// Get Help; the message has then been shown.
bool answer_help(vrt::window::WindowObject& window, int32_t field);

}  // namespace marlock
