// The current error: the code and text a statement left for the program to
// test (ERRORCODE and ERROR()), the file it concerned (ERRORFILE) and the
// system's own text for error 90 (FILEERROR). Each thread has its own, since
// each runs its own procedures.
#pragma once
#include <cstdint>
#include <string>

namespace vrt::core {

inline constexpr int kErrorTextField = 80;  // blank-padded, at most 79 characters of text

// Code 0 stands for the last system error and posts 300 + that error.
void post_error(int code);
// Posts the code with a text of the caller's instead of the message text.
void post_error_with_text(int code, const std::string& text);
// Clears the error to 0 and an empty text.
void clear_error();

int error_code();
// The text without its padding.
std::string error_text();
// The 80-character blank-padded field.
const char* error_field();

void set_error_file(const std::string& name);
const std::string& error_file();
void set_file_error_text(const std::string& text);
const std::string& file_error_text();
// The system's error number beneath a "File System Error" (FILEERRORCODE).
void set_file_error_code(int code);
int file_error_code();

// The window system learns of every posted error through this hook.
using ErrorChangedHook = void (*)();
void set_error_changed_hook(ErrorChangedHook hook);

}  // namespace vrt::core
