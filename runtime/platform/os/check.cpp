#include "runtime/platform/os/check.h"

#include <cstdio>
#include <cstdlib>

namespace vrt::platform {

void check_failed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace vrt::platform
