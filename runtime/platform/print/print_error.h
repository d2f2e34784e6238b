// Failures of the printer calls: the number goes to the thread's last error,
// the words stay for printer_error_text().
#pragma once
#include <cstdint>
#include <string>

namespace vrt::platform {

// Records the failure; returns 0, what the failing document calls return.
int fail_printer(uint32_t code, std::string text);

// The same with errno's number and reason after `text` ("cannot write x: ").
int fail_printer_errno(int err, std::string text);

}  // namespace vrt::platform
