// The error an integrity procedure met, kept until the standard warning has
// shown it: the error code and text, and the file-system error beneath a
// "File System Error" (90).
#pragma once
#include <string>

namespace marlock {

struct SavedError {
  bool saved = false;
  int code = 0;
  std::string text;
  int file_code = 0;
  std::string file_text;
};

// Keeps the current error in this thread's saved error and rolls back the
// transaction in progress, if any.
void save_error();
void clear_saved_error();
const SavedError& saved_error();

// "Record Not Available (33)": the saved error, or the current one when none
// is saved; for 90 the file-system error's text and code instead.
std::string error_description();

}  // namespace marlock
