// Files with access and share modes and byte-range locks, in the shape the
// runtime's drivers expect of the system.
//
// Byte-range locks are open-file-description locks: like the system's locks
// they belong to one open handle, work between processes, and a second handle
// in the same process conflicts with the first. They never wait; callers
// retry. Share modes are kept with the same kind of lock in a reserved range
// at kShareLockBase, far above any lock area a driver uses.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace vrt::platform {

enum class Access { Read, Write, ReadWrite };
enum class Share { DenyNone, DenyRead, DenyWrite, DenyAll };
enum class Disposition { OpenExisting, CreateAlways, CreateNew, OpenAlways };

inline constexpr uint64_t kShareLockBase = uint64_t{1} << 62;

class File {
 public:
  // Opens or creates the file; on failure returns null with the last error
  // set (kErrorSharingViolation when a share mode refuses the open).
  static std::unique_ptr<File> open(const std::string& path, Access access, Share share,
                                    Disposition disposition = Disposition::OpenExisting);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Positional reads and writes return the bytes moved, or -1 with the last
  // error set. A short read means the end of the file.
  int64_t read_at(uint64_t offset, void* buffer, size_t size);
  int64_t write_at(uint64_t offset, const void* buffer, size_t size);
  bool flush();
  int64_t size();
  bool truncate(uint64_t size);

  // Exclusive lock of [offset, offset + length); false (lock violation) when
  // another handle holds any part of it.
  bool lock(uint64_t offset, uint64_t length);
  bool unlock(uint64_t offset, uint64_t length);
  // Shared lock, for ranges that many readers may hold at once.
  bool lock_shared(uint64_t offset, uint64_t length);

  const std::string& path() const { return path_; }
  int descriptor() const { return fd_; }

 private:
  File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
};

// The system calls made by every File of the process so far (reads, writes,
// flushes, sizes, locks), for benchmarks.
uint64_t file_system_calls();

bool delete_file(const std::string& path);
// Gives the file a new name; false (with the last error set) when the new
// name is taken or the move fails.
bool move_file(const std::string& from, const std::string& to);
// Puts the file in place of another at once (a crash leaves one or the
// other under the name) and makes the change durable.
bool replace_file(const std::string& from, const std::string& to);
bool file_exists(const std::string& path);
// Makes the names in the folder that holds the file durable: a file just
// made is on the disk only once its folder is flushed.
bool flush_folder_of(const std::string& path);

// The system's temporary directory, with a trailing slash.
std::string temp_directory();
// Creates an empty, uniquely named file "<dir><prefix>XXXXXX" and returns
// its name, or an empty string.
std::string make_temp_file(const std::string& prefix);

}  // namespace vrt::platform
