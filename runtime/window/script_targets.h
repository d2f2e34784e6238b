// Windows and controls as a script names them. A window is named by its
// title, by "@MODULE" (its resource module, the part after "$" will do:
// "@marlo002") or by "@MODULE:LABEL" (and its window label); a control by
// its text, "&" left out.
#pragma once
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

bool window_has_name(platform::HWND hwnd, const std::string& name);
// A visible window with that name, top-level or inside one (a document
// window), or null.
platform::HWND find_named_window(const std::string& name);
// A top-level window of that name that is open but not shown, or null.
platform::HWND find_hidden_window(const std::string& name);
// How a failure message names a window: its title and module and label.
std::string describe_window(platform::HWND hwnd);

// The control a user means by `text`: controls a user can press (buttons,
// radios, check boxes, tab headers) before static text, and within each,
// the nearest first: in `current` (a runtime window), in its top-level
// window, anywhere. Null when none has the text.
platform::HWND find_control_by_text(platform::HWND current, const std::string& text);

// The frontmost visible message box, or popup menu, or null.
platform::HWND frontmost_message_box();
platform::HWND frontmost_popup_menu();

// "&Yes" as "Yes".
std::string without_ampersands(const std::string& text);

}  // namespace vrt::window
