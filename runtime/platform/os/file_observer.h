// A watcher of every change a File makes to its file, for tests that model
// what a disk keeps. Off in the program: the calls cost one load and branch.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vrt::platform {

class FileObserver {
 public:
  virtual ~FileObserver() = default;
  // A file opened for writing; the observer may read what it holds now.
  virtual void opened(const std::string& path) = 0;
  // The open made the file: its name is on the disk once its folder is
  // flushed.
  virtual void created(const std::string& path) = 0;
  virtual void folder_flushed(const std::string& folder) = 0;
  virtual void wrote(const std::string& path, uint64_t offset, const void* bytes, size_t size) = 0;
  virtual void flushed(const std::string& path) = 0;
  virtual void resized(const std::string& path, uint64_t size) = 0;
};

// Installs the observer for every File of the process (null: none). The
// caller keeps it alive until it is removed.
void set_file_observer(FileObserver* observer);
FileObserver* file_observer();

}  // namespace vrt::platform
