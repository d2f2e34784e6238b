// The program's command line as the process was started, for the parts of
// the runtime that take options from it (the automation script).
#pragma once
#include <string>
#include <vector>

namespace vrt::platform {

// The arguments after the program's name.
std::vector<std::string> command_line_arguments();

}  // namespace vrt::platform
