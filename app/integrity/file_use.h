// The data files as this thread's procedures use them: every thread has its
// own file block of each file (the files are THREAD), opened through open
// and check when its first procedure needs it and closed when its last one
// is done.
//
// Open and check: open shared for reading and writing; a file another
// process left locked is recovered ("Recover=10") and opened again; a
// missing file is created (all but Customer); a file of another layout,
// damaged keys (with the rebuild question) and every other failure end in
// their standard warnings, which may end the application.
#pragma once
#include "app/dictionary/dictionary.h"
#include "runtime/data/driver/file_block.h"

namespace marlock {

// The thread's file block of the file, opened and counted; null when it
// could not be opened (the warning has been shown, and the application has
// ended unless the ending was replaced).
vrt::data::FileBlock* use_file(FileId id);
// Gives back one use; the last closes the file.
void release_file(FileId id);
// This thread's uses of the file.
int file_uses(FileId id);

// Holds one use for its scope.
class FileUse {
 public:
  explicit FileUse(FileId id) : id_(id), file_(use_file(id)) {}
  ~FileUse() {
    if (file_) release_file(id_);
  }
  FileUse(const FileUse&) = delete;
  FileUse& operator=(const FileUse&) = delete;
  vrt::data::FileBlock* get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }

 private:
  FileId id_;
  vrt::data::FileBlock* file_;
};

// One open-and-check step on a file block, the whole algorithm above;
// true when the file is open.
bool open_and_check(vrt::data::FileBlock& file, bool create_allowed);

}  // namespace marlock
