// Scripts that drive a program built on the runtime, one verb a line:
//
//   wait window "Vorthal Demonstration"   a window (top-level or MDI child) by its title, or by
//                                         "@MODULE" or "@MODULE:LABEL" ("@marlo002"); it becomes
//                                         the current window
//   wait closed "Login"                   until no such window is open (10 s at most)
//   menu "&File|Open Child"               a menu item of the current window's frame, by its path
//                                         (a greyed item fails)
//   click "OK"                            an item of an open popup menu, else a control by its
//                                         text ("&" may be left out): in the current window
//                                         first, buttons, radios and tabs before static text;
//                                         a tab by its header; a hidden or disabled one fails
//   click field 3                         a control of the current window by its field number,
//                                         or a button of its toolbar (the frame's: field 2000)
//   popup field 3 "Insert"                right-clicks the control and chooses the menu's item
//   key Insert                            a key: Enter Tab Esc Insert Delete Up Down Left Right
//                                         Home End PgUp PgDn F1..F12
//   type "Smith"                          text into the focused control
//   thumb field 2 40                      drags list 2's scroll thumb to 40 percent of its
//                                         track and lets it go
//   answer "OK"                           a button of the frontmost window (a message box)
//   expect message "Delete it?|Sure?"     within 10 s a message box with this text (lines
//                                         joined by "|") is the frontmost one
//   screenshot PATH                       a PNG of the current window's top-level window (the
//                                         active one once the current window has closed)
//   dump window PATH                      the current window's state as text (window_dump.h)
//   expect text field 2 "Smith"           the control's text must be this
//   expect window "Login"                 a window with that name must be open
//
// Blank lines and lines starting with "#" are skipped. The first verb that
// fails ends the script with "FILE:LINE: what failed", naming the window,
// control and text it saw.
#pragma once
#include <functional>
#include <string>

namespace vrt::window {

struct ScriptOutcome {
  bool ok = true;
  std::string message;  // "FILE:LINE: ..." when not ok
};

// True while a script drives the program (a box shown now can be answered).
bool script_running();

// Runs the script from the calling thread, which must not be a thread
// whose windows the script drives.
ScriptOutcome run_script(const std::string& path);

// Runs it on a thread of its own; a failure is written to standard error
// and ends the process with exit code 1. When every verb succeeded,
// `done` runs (by default end_program).
void start_script(const std::string& path, std::function<void()> done = {});

// Ends the program as its user would: its top-level windows are asked to
// close, so that the main procedure returns and the exit and stop routines
// run; should it still run 10 s later, the process halts (exit code 0).
[[noreturn]] void end_program();

}  // namespace vrt::window
