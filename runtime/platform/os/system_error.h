// The last operating-system error, kept per thread in the numbering the
// runtime's message table uses (1 "Invalid Function" .. 91), so that posting
// error code 0 turns it into 300 + that number.
#pragma once
#include <cstdint>

namespace vrt::platform {

// System error numbers the runtime names.
enum SystemError : uint32_t {
  kErrorSuccess = 0,
  kErrorInvalidFunction = 1,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorInvalidData = 13,
  kErrorWriteProtect = 19,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorGeneralFailure = 31,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleEof = 38,
  kErrorHandleDiskFull = 39,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorCannotMake = 82,
  kErrorInvalidParameter = 87,
  kErrorInvalidName = 123,
  kErrorBadPathName = 161,
};

uint32_t GetLastError();
void SetLastError(uint32_t code);

// Maps a POSIX errno value to the system error number above.
uint32_t system_error_from_errno(int err);

// Sets the last error from errno and returns it.
uint32_t set_last_error_from_errno();

}  // namespace vrt::platform
