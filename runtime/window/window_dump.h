// A runtime window's state as text, for scripts that check what a user
// would see. One item a line, fields separated by tabs, UTF-8:
//
//   window  TITLE
//   color   the program's window colour, 8 hex digits (00BBGGRR), or "none"
//   status  ZONE TEXT                       each status-bar zone, from 1
//   field   NUMBER KIND enabled|disabled shown|hidden STATE TEXT
//                                           each control in field order;
//                                           STATE on|off for radios, check
//                                           boxes and tabs, else "-"
//   row     FIELD ROW selected|- CELL...    each visible row of a list, from 1
//   vcr     FIELD on|off                    each list
//
// A list's rows and its vcr line follow its field line.
#pragma once
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

// "" when the window is not one the runtime opened.
std::string dump_window(platform::HWND hwnd);

}  // namespace vrt::window
