#include "runtime/core/base/check.h"

#include <cstdio>
#include <cstdlib>

namespace vrt::core {

void check_failed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace vrt::core
