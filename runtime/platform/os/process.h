// The process itself: where its executable lives and how it ends.
#pragma once
#include <cstdint>
#include <string>

namespace vrt::platform {

// Full path of the running executable.
std::string executable_path();

// Ends the process with the exit code after flushing the standard streams.
[[noreturn]] void exit_process(int code);

// The process's identifier; a child started by fork has its own.
uint32_t current_process_id();

// Ends the process at once, with a failure status and no clean-up.
[[noreturn]] void abort_process();

}  // namespace vrt::platform
