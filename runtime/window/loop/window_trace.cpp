#include "runtime/window/loop/window_trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "runtime/platform/os/mutex.h"
#include "runtime/platform/os/profile.h"

namespace vrt::window {

namespace {

struct Trace {
  platform::Mutex mutex;
  bool read VRT_GUARDED_BY(mutex) = false;
  bool on VRT_GUARDED_BY(mutex) = false;
  bool aux VRT_GUARDED_BY(mutex) = false;
  FILE* log VRT_GUARDED_BY(mutex) = nullptr;
};

Trace& trace() {
  static Trace t;
  return t;
}

thread_local bool t_in_trace = false;

void read_switches(Trace& t) VRT_REQUIRES(t.mutex) {
  if (t.read) return;
  t.read = true;
  t.on = platform::GetProfileInt(kTraceSection, "trace", 0) != 0;
  char aux[21];
  platform::GetProfileString(kTraceSection, "auxtrace", "", aux, sizeof aux);
  t.aux = aux[0] != 0;
}

}  // namespace

bool trace_enabled() {
  Trace& t = trace();
  platform::MutexLock lock(t.mutex);
  read_switches(t);
  return t.on || t.aux;
}

void trace_line(const char* format, ...) {
  if (t_in_trace) return;  // tracing from inside a trace
  t_in_trace = true;
  Trace& t = trace();
  {
    platform::MutexLock lock(t.mutex);
    read_switches(t);
    if (t.on || t.aux) {
      char line[kTraceLineSize];
      va_list args;
      va_start(args, format);
      std::vsnprintf(line, sizeof line, format, args);
      va_end(args);
      if (t.aux) std::fprintf(stderr, "%s\n", line);
      if (t.on) {
        if (!t.log) t.log = std::fopen(kTraceFile, "w");
        if (t.log) {
          std::fprintf(t.log, "%s\n", line);
          std::fflush(t.log);
        }
      }
    }
  }
  t_in_trace = false;
}

void reset_trace() {
  Trace& t = trace();
  platform::MutexLock lock(t.mutex);
  if (t.log) std::fclose(t.log);
  t.log = nullptr;
  t.read = false;
}

}  // namespace vrt::window
