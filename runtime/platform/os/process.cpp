#include "runtime/platform/os/process.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace vrt::platform {

std::string executable_path() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

void exit_process(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

void abort_process() { std::_Exit(3); }

}  // namespace vrt::platform

namespace vrt::platform {
uint32_t current_process_id() { return static_cast<uint32_t>(getpid()); }
}  // namespace vrt::platform
