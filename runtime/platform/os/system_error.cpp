#include "runtime/platform/os/system_error.h"

#include <cerrno>

namespace vrt::platform {

namespace {
thread_local uint32_t t_last_error = kErrorSuccess;
}

uint32_t GetLastError() { return t_last_error; }
void SetLastError(uint32_t code) { t_last_error = code; }

uint32_t system_error_from_errno(int err) {
  switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EROFS: return kErrorWriteProtect;
    case EIO: return kErrorGeneralFailure;
    case EAGAIN:
    case EDEADLK: return kErrorLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kErrorHandleDiskFull;
    case ENOSYS:
    case EOPNOTSUPP: return kErrorNotSupported;
    case EEXIST: return kErrorFileExists;
    case EINVAL:
    case ENAMETOOLONG: return kErrorInvalidParameter;
    default: return kErrorInvalidFunction;
  }
}

uint32_t set_last_error_from_errno() {
  uint32_t code = system_error_from_errno(errno);
  SetLastError(code);
  return code;
}

}  // namespace vrt::platform
