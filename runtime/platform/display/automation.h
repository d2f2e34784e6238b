// Driving windows from a test or a script: find a window by its title,
// click, type, read a window's text, take a screenshot. Input goes in as the
// display would deliver it; the calls wait until the windows' threads have
// handled it.
#pragma once
#include <functional>
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::platform::automation {

// A visible top-level window whose title is `title` (or, with prefix, starts
// with it); waits up to the timeout. Null when none came.
HWND find_window(const std::string& title, int timeout_ms = 5000, bool prefix = false);
// A child (at any depth) by its text, or by its control identifier.
HWND find_child(HWND parent, const std::string& text);
HWND find_child(HWND parent, int id);

// Clicks the middle of a window (a control, say), or a point of a
// top-level window's image.
bool click(HWND hwnd, int button = 0);
bool double_click(HWND hwnd);
bool click_at(HWND top, POINT p, int button = 0);
// A drag as a user makes it, one step a call: press the button at a point
// of the top-level window's image, move with it held, release it.
bool press_at(HWND top, POINT p, int button = 0);
bool move_to(HWND top, POINT p);
bool release_at(HWND top, POINT p, int button = 0);
// A point of a window's client area in its top-level window's image.
POINT point_in_top(HWND hwnd, POINT client);
// Types text into the focused window. "{Enter}", "{Tab}", "{Esc}",
// "{Up}", "{Down}", "{Left}", "{Right}", "{Home}", "{End}", "{Del}",
// "{Back}", "{PgUp}", "{PgDn}", "{F1}".."{F12}" and "{Alt+x}", "{Ctrl+x}",
// "{Shift+x}" name keys.
void type(const std::string& keys);
std::string read_text(HWND hwnd);
bool screenshot(HWND top, const std::string& path);

// Waits until every window's thread has emptied its queue of what was put
// in it so far (or the timeout passes).
bool settle(int timeout_ms = 5000);
// Waits until the condition holds.
bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);

}  // namespace vrt::platform::automation
