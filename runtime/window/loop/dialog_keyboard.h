// The keyboard of a runtime window, as the loop's pre-translation step:
//
//   Tab, Shift+Tab   the focus to the next (previous) control that takes it,
//                    in field order, round the end
//   Enter            presses the focused button, else the button whose key
//                    code is Enter, else the default button
//   a button's key   presses that button (Escape: the button with key 27)
//   an alert key     "EVENT:AlertKey" to the procedure (window.alert_keys)
//   Alt+letter       presses the button or radio whose text marks the
//                    letter with "&", or moves the focus to the control
//                    after a prompt that marks it
//
// The document windows' system keys (Ctrl+F4, Ctrl+F6 ...) come first.
#pragma once
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// True when the message was consumed.
bool dialog_keyboard(WindowObject& window, const platform::MSG& msg);

// The whole pre-translation of a message taken by the loop: the system keys
// of the frame's document windows, then the keyboard of the runtime window
// that holds the message's target.
bool pre_translate(const platform::MSG& msg);

}  // namespace vrt::window
