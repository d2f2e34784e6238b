// The application's warnings as message boxes, and its ending: the short
// text ("File Creation Error!") on standard error and, on a display with
// no script driving the program, in a box; then the process ends with a
// failure status.
#pragma once

namespace marlock::frame {

void install_application_hooks();

}  // namespace marlock::frame
