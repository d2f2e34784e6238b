// The window trace: one line per traced step of the event loop, to
// "KXLOG.TXT" in the current directory (created afresh on the first line).
// Switched by the section "Vorthal 5 Tracing" of the profile: "trace=1"
// turns it on, a non-empty "auxtrace" also copies every line to the
// auxiliary device (standard error here).
#pragma once

namespace vrt::window {

inline constexpr const char* kTraceSection = "Vorthal 5 Tracing";
inline constexpr const char* kTraceFile = "KXLOG.TXT";
inline constexpr int kTraceLineSize = 255;

// printf-style; a call made while a line is being written is dropped.
void trace_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool trace_enabled();
// Reads the switches again and starts a new file on the next line (tests).
void reset_trace();

}  // namespace vrt::window
