#include "app/integrity/saved_error.h"

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace {
thread_local SavedError t_saved;
}  // namespace

void save_error() {
  t_saved = {true, vrt::core::error_code(), vrt::core::error_text(), vrt::core::file_error_code(),
             vrt::core::file_error_text()};
  // Every failure inside a transaction rolls it back before the message is
  // shown; without one ROLLBACK only posts "not active", which no one reads.
  vrt::data::Rollback();
}

void clear_saved_error() { t_saved = SavedError{}; }

const SavedError& saved_error() { return t_saved; }

std::string error_description() {
  SavedError e = t_saved.saved ? t_saved
                               : SavedError{false, vrt::core::error_code(), vrt::core::error_text(),
                                            vrt::core::file_error_code(), vrt::core::file_error_text()};
  if (e.code == vrt::data::kFileSystemError) return e.file_text + " (" + std::to_string(e.file_code) + ")";
  return e.text + " (" + std::to_string(e.code) + ")";
}

}  // namespace marlock
