// Fatal runtime errors: the "Runtime error" box (or the program's handler),
// then the end of the process with exit code 2 while the runtime is active.
#pragma once
#include <string>

namespace vrt::core {

// Called instead of the box when installed. The text is also pushed on the
// string stack for the handler to pop.
using FatalHandler = void (*)(int number, const std::string& text);
FatalHandler set_fatal_handler(FatalHandler handler);

// How the layers above finish a fatal error: `keep_text` puts the text where
// the handler reads it (the string stack), `halt` runs the exit routines and
// ends the process. Start-up installs both; without them the text is not kept
// and the process ends at once.
struct FatalEnding {
  void (*keep_text)(const std::string& text) = nullptr;
  void (*halt)(int exit_code) = nullptr;
};
void set_fatal_ending(const FatalEnding& ending);

// Number 0 shows only the extra text; extra may be null.
void fatal_runtime_error(int number, const char* extra = nullptr);

// Set while the window system runs the program; cleared when shutdown
// begins. A fatal error ends the process only while it is set.
void set_runtime_active(bool active);
bool runtime_active();

// Set once a fatal runtime error has been reported.
bool runtime_error_reported();

// Called when the core's resources are released (after a fatal error and at
// shutdown); later layers register what they own.
using ReleaseRoutine = void (*)();
void add_release_routine(ReleaseRoutine routine);
void release_core_resources();

}  // namespace vrt::core
