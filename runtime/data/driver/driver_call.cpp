#include "runtime/data/driver/driver_call.h"

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/message_text.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/string_arguments.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

namespace {

// Operations that run while a BUILD is in progress.
bool allowed_during_build(int32_t op) {
  return op == kOpClose || op == kOpName || op == kOpGetProperty || op == kOpBuildEvent || op == kOpGetPropertyKey;
}

bool is_reset_or_reget(int32_t op) {
  return op == kOpResetFile || op == kOpResetKey || op == kOpRegetFile || op == kOpRegetKey;
}

}  // namespace

int check_operation_state(int32_t op, const FileBlock& file, const KeyBlock* key) {
  const OperationRow& row = operation_row(op);
  uint32_t s = file.state;
  uint32_t missing = row.required & ~s & ~kStateInViewOrBuilt;
  // A dynamic index answers for the built bit itself.
  if ((row.required & kStateInViewOrBuilt) && key && key->dynamic_index() && !(key->state & kStateInViewOrBuilt))
    missing |= kStateInViewOrBuilt;
  if (missing == 0) {
    if ((s & kStateBuilding) && !allowed_during_build(op)) return kBuildInProgress;
    uint32_t present = s & row.forbidden;
    if (present & kStateOpen) return kFileAlreadyOpen;
    if (present & kStateLogout) return kLogoutActive;
    if (present) return kAlreadyPosted;
    return kOk;
  }
  if (missing & kStateOpen) return kFileNotOpen;
  if (missing & kStateInViewOrBuilt) return kKeyMustBeRebuilt;
  if (!(s & kStateOpen) && !(row.required & kStateOpen)) return kAlreadyPosted;
  if (missing & (kStateCurrent | kStateSequence)) return kRecordNotAvailable;
  if (missing & kStateExclusive) return kExclusiveRequired;
  if (missing & kStateWrite) return kAccessDenied;
  return kAlreadyPosted;
}

void apply_operation_state(int32_t op, FileBlock& file, KeyBlock* key, bool success) {
  const OperationRow& row = operation_row(op);
  uint32_t& s = file.state;
  if (success) {
    if (row.cleared_on_success & kStateWatchPending && (s & kStateWatchPending)) s |= kStateWatched;
    if (row.cleared_on_success & kStateHoldPending && (s & kStateHoldPending)) s |= kStateHeld;
    uint32_t set = row.set_on_success, cleared = row.cleared_on_success;
    if (key && key->dynamic_index()) {
      key->state |= set & kStateInViewOrBuilt;
      key->state &= ~(cleared & kStateInViewOrBuilt);
      set &= ~kStateInViewOrBuilt;
      cleared &= ~kStateInViewOrBuilt;
    }
    s |= set;
    s &= ~cleared;
    file.class_word |= row.class_word;
  } else {
    s &= ~(row.cleared_on_failure | kStateWatchPending | kStateWatched);
  }
}

void post_driver_result(const FileBlock& file, int code) {
  if (code == kOk || code == kAlreadyPosted) return;
  uint32_t system_error = platform::GetLastError();
  core::post_error(code);
  core::set_error_file(file.display_name());
  if (code == kFileSystemError) {
    core::set_file_error_text(core::message_text(static_cast<int>(system_error) + 300));
    core::set_file_error_code(static_cast<int>(system_error));
  }
}

int32_t run_driver_call(int32_t op, FileBlock* file, const DriverArg* args, const OperationHandler* handlers,
                        int* last_error) {
  const OperationRow& row = operation_row(op);
  DriverCall call{op, file, nullptr, args, 0, {}};
  if (row.key_form && args) call.key = reinterpret_cast<KeyBlock*>(args[0]);
  // String arguments come off the stack whatever the outcome.
  for (int i = row.pops; i > 0; --i) call.strings[i - 1] = pop_string_argument();
  core::clear_error();
  int code;
  if (row.key_form && (!call.key || file->key_number(call.key) < 0)) code = kUnsupportedFunction;
  else code = check_operation_state(op, *file, call.key);
  if (code == kOk && is_reset_or_reget(op) && call.strings[0].find_first_not_of(' ') == std::string::npos)
    code = kRecordNotFound;
  if (code == kOk) {
    OperationHandler h = op >= 0 && op <= kOpLastCode ? handlers[op] : nullptr;
    code = h ? h(call) : kUnsupportedFunction;
  }
  apply_operation_state(op, *file, call.key, code == kOk);
  if (code != kOk && row.gives_string) push_string_result("");
  if (last_error) *last_error = code;
  post_driver_result(*file, code);
  if (code != kOk && (op == kOpBof || op == kOpEof)) return 1;
  return call.result;
}

}  // namespace vrt::data
