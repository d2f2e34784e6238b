#include "runtime/platform/os/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "runtime/platform/os/file_observer.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::platform {

namespace {

// Share-mode bytes: an opener holds a shared lock on the byte of each access
// it has and of each access it denies. Opening tests the opposite bytes.
enum ShareByte : uint64_t { kHasRead = 0, kHasWrite = 1, kDeniesRead = 2, kDeniesWrite = 3, kGate = 8 };

// Every system call a File makes, for benchmarks that count them.
std::atomic<uint64_t> g_calls{0};
void count_call() { g_calls.fetch_add(1, std::memory_order_relaxed); }

std::atomic<FileObserver*> g_observer{nullptr};
FileObserver* observer() { return g_observer.load(std::memory_order_acquire); }

bool ofd_lock(int fd, short type, uint64_t offset, uint64_t length, bool wait = false) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = static_cast<off_t>(length);
  count_call();
  return fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0;
}

// True when another handle holds a lock on the byte.
bool byte_taken(int fd, uint64_t byte) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(kShareLockBase + byte);
  fl.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool apply_share_mode(int fd, Access access, Share share) {
  bool reads = access != Access::Write, writes = access != Access::Read;
  bool deny_read = share == Share::DenyRead || share == Share::DenyAll;
  bool deny_write = share == Share::DenyWrite || share == Share::DenyAll;
  // The gate makes test-then-take atomic between openers.
  ofd_lock(fd, F_WRLCK, kShareLockBase + kGate, 1, true);
  bool ok = !(reads && byte_taken(fd, kDeniesRead)) && !(writes && byte_taken(fd, kDeniesWrite)) &&
            !(deny_read && byte_taken(fd, kHasRead)) && !(deny_write && byte_taken(fd, kHasWrite));
  if (ok) {
    if (reads) ofd_lock(fd, F_RDLCK, kShareLockBase + kHasRead, 1);
    if (writes) ofd_lock(fd, F_RDLCK, kShareLockBase + kHasWrite, 1);
    if (deny_read) ofd_lock(fd, F_RDLCK, kShareLockBase + kDeniesRead, 1);
    if (deny_write) ofd_lock(fd, F_RDLCK, kShareLockBase + kDeniesWrite, 1);
  }
  ofd_lock(fd, F_UNLCK, kShareLockBase + kGate, 1);
  return ok;
}

bool parent_exists(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  struct stat st {};
  return ::stat(path.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::unique_ptr<File> File::open(const std::string& path, Access access, Share share,
                                 Disposition disposition) {
  int flags = O_CLOEXEC;
  // Share locks need a descriptor that can hold both kinds of lock.
  flags |= access == Access::Read ? O_RDONLY : O_RDWR;
  switch (disposition) {
    case Disposition::OpenExisting: break;
    case Disposition::CreateAlways: flags |= O_CREAT; break;
    case Disposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case Disposition::OpenAlways: flags |= O_CREAT; break;
  }
  // An observer learns which opens make their file.
  bool watched = observer() && access != Access::Read;
  bool made = watched && disposition != Disposition::OpenExisting && !file_exists(path);
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0 && access == Access::Read && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    set_last_error_from_errno();
    // The system tells a missing folder from a missing file.
    if (GetLastError() == kErrorFileNotFound && !parent_exists(path)) SetLastError(kErrorPathNotFound);
    return nullptr;
  }
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    SetLastError(kErrorAccessDenied);
    return nullptr;
  }
  if (!apply_share_mode(fd, access, share)) {
    ::close(fd);
    SetLastError(kErrorSharingViolation);
    return nullptr;
  }
  // Truncation waits until the share mode has allowed the open.
  if (disposition == Disposition::CreateAlways && ftruncate(fd, 0) != 0) {
    set_last_error_from_errno();
    ::close(fd);
    return nullptr;
  }
  if (FileObserver* o = observer(); o && watched) {
    if (made) o->created(path);
    if (disposition == Disposition::CreateAlways) o->resized(path, 0);
    o->opened(path);
  }
  return std::unique_ptr<File>(new File(fd, path));
}

File::~File() { ::close(fd_); }

int64_t File::read_at(uint64_t offset, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    count_call();
    ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      set_last_error_from_errno();
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

int64_t File::write_at(uint64_t offset, const void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    count_call();
    ssize_t n = ::pwrite(fd_, static_cast<const char*>(buffer) + done, size - done,
                         static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      set_last_error_from_errno();
      if (FileObserver* o = observer(); o && done > 0) o->wrote(path_, offset, buffer, done);
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  if (FileObserver* o = observer()) o->wrote(path_, offset, buffer, done);
  return static_cast<int64_t>(done);
}

bool File::flush() {
  count_call();
  if (::fdatasync(fd_) == 0) {
    if (FileObserver* o = observer()) o->flushed(path_);
    return true;
  }
  set_last_error_from_errno();
  return false;
}

int64_t File::size() {
  struct stat st {};
  count_call();
  if (fstat(fd_, &st) != 0) {
    set_last_error_from_errno();
    return -1;
  }
  return st.st_size;
}

bool File::truncate(uint64_t size) {
  count_call();
  if (::ftruncate(fd_, static_cast<off_t>(size)) == 0) {
    if (FileObserver* o = observer()) o->resized(path_, size);
    return true;
  }
  set_last_error_from_errno();
  return false;
}

bool File::lock(uint64_t offset, uint64_t length) {
  if (ofd_lock(fd_, F_WRLCK, offset, length)) return true;
  SetLastError(kErrorLockViolation);
  return false;
}

bool File::lock_shared(uint64_t offset, uint64_t length) {
  if (ofd_lock(fd_, F_RDLCK, offset, length)) return true;
  SetLastError(kErrorLockViolation);
  return false;
}

bool File::unlock(uint64_t offset, uint64_t length) {
  if (ofd_lock(fd_, F_UNLCK, offset, length)) return true;
  SetLastError(kErrorLockViolation);
  return false;
}

bool delete_file(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  set_last_error_from_errno();
  return false;
}

bool move_file(const std::string& from, const std::string& to) {
  // A link refuses a name that is taken; the old name then goes.
  if (::link(from.c_str(), to.c_str()) != 0) {
    set_last_error_from_errno();
    return false;
  }
  if (::unlink(from.c_str()) == 0) return true;
  set_last_error_from_errno();
  ::unlink(to.c_str());
  return false;
}

bool replace_file(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    set_last_error_from_errno();
    return false;
  }
  flush_folder_of(to);
  return true;
}

bool flush_folder_of(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  count_call();
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    set_last_error_from_errno();
    return false;
  }
  bool done = ::fsync(fd) == 0;
  if (!done) set_last_error_from_errno();
  ::close(fd);
  if (FileObserver* o = observer(); o && done) o->folder_flushed(dir);
  return done;
}

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string temp_directory() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = t && *t ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

std::string make_temp_file(const std::string& prefix) {
  std::string name = temp_directory() + prefix + "XXXXXX";
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    set_last_error_from_errno();
    return {};
  }
  ::close(fd);
  return name;
}

void set_file_observer(FileObserver* o) { g_observer.store(o, std::memory_order_release); }
FileObserver* file_observer() { return observer(); }

uint64_t file_system_calls() { return g_calls.load(std::memory_order_relaxed); }

}  // namespace vrt::platform
