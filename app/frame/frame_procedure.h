// The application's main procedure: the frame with its menu, toolbar and
// status bar. It starts the explanation and Login windows when it opens,
// follows the access mode on every pass of its loop, sends a Spy back to
// the Login window, and starts what its menu items name.
#pragma once

namespace marlock::frame {

void frame_procedure();

}  // namespace marlock::frame
