#include "runtime/core/base/error_state.h"

#include <cstring>

#include "runtime/core/base/message_text.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::core {

namespace {

struct ErrorState {
  int code = 0;
  size_t length = 0;
  char field[kErrorTextField + 1];
  std::string file;
  std::string file_error;
  int file_error_code = 0;
  ErrorState() {
    std::memset(field, ' ', kErrorTextField);
    field[kErrorTextField] = 0;
  }
};

thread_local ErrorState t_error;
ErrorChangedHook g_hook = nullptr;

}  // namespace

namespace {

void set_error(int code, const std::string& text) {
  uint32_t system_error = platform::GetLastError();
  t_error.code = code;
  size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) start = text.size();
  t_error.length = std::min<size_t>(text.size() - start, kErrorTextField - 1);
  std::memset(t_error.field, ' ', kErrorTextField);
  std::memcpy(t_error.field, text.data() + start, t_error.length);
  // Fetching the text may touch the system; its last error stays the one
  // that was posted.
  platform::SetLastError(system_error);
  if (g_hook) g_hook();
}

}  // namespace

void post_error(int code) {
  if (code == 0) code = static_cast<int>(platform::GetLastError()) + 300;
  set_error(code, message_text(code));
}

void post_error_with_text(int code, const std::string& text) { set_error(code, text); }

void clear_error() {
  t_error.code = 0;
  t_error.length = 0;
  std::memset(t_error.field, ' ', kErrorTextField);
  t_error.file.clear();
  t_error.file_error.clear();
  t_error.file_error_code = 0;
}

int error_code() { return t_error.code; }
std::string error_text() { return std::string(t_error.field, t_error.length); }
const char* error_field() { return t_error.field; }
void set_error_file(const std::string& name) { t_error.file = name; }
const std::string& error_file() { return t_error.file; }
void set_file_error_text(const std::string& text) { t_error.file_error = text; }
const std::string& file_error_text() { return t_error.file_error; }
void set_file_error_code(int code) { t_error.file_error_code = code; }
int file_error_code() { return t_error.file_error_code; }
void set_error_changed_hook(ErrorChangedHook hook) { g_hook = hook; }

}  // namespace vrt::core
