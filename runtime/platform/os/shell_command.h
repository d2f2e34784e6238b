// A shell command run to its end (scripts use it to act from outside the
// program while it runs, as another user at another station would).
#pragma once
#include <string>

namespace vrt::platform {

// Runs `/bin/sh -c command` with no standard input, waiting at most
// `timeout_ms` (then the command is killed). Its exit code; -1 when it
// could not be started, was killed or timed out.
int run_shell_command(const std::string& command, int timeout_ms);

}  // namespace vrt::platform
