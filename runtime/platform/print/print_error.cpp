#include "runtime/platform/print/print_error.h"

#include <cerrno>
#include <cstring>

#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/printer.h"

namespace vrt::platform {

namespace {
thread_local std::string t_printer_error;
}

int fail_printer(uint32_t code, std::string text) {
  SetLastError(code);
  t_printer_error = std::move(text);
  return 0;
}

int fail_printer_errno(int err, std::string text) {
  // A missing folder on the way to a file is a missing path, not a missing file.
  uint32_t code = err == ENOENT ? kErrorPathNotFound : system_error_from_errno(err);
  return fail_printer(code, text + std::strerror(err));
}

std::string printer_error_text() { return t_printer_error; }

}  // namespace vrt::platform
