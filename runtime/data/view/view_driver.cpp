#include "runtime/data/view/view_driver.h"

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/dispatcher.h"
#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/driver/string_arguments.h"
#include "runtime/data/view/view_trace.h"
#include "runtime/platform/os/clock.h"

namespace vrt::data {

namespace {

struct ViewInstance : DriverInstance {
  std::unique_ptr<View> view;
  int last_error = 0;
  TraceSwitches trace;      // read when the view is made
  bool details = false;     // "Details" of the primary file's driver trace
  bool declared = false;    // the declaration is in the log already
};

View& view(DriverCall& c) { return *static_cast<ViewInstance*>(c.file->driver_instance.get())->view; }

// A failed view step has posted its code already; the frame must not post
// again over it.
int outcome(bool ok) { return ok ? kOk : -1; }

// The view takes the access of OPEN like a file: PUT and DELETE through it
// need write access (0x40).
int op_open(DriverCall& c) {
  if (!view(c).open()) return core::error_code() ? -1 : kFileAlreadyOpen;
  int32_t mode = c.args ? static_cast<int32_t>(c.args[0]) : 0;
  if ((mode & 3) == 1 || (mode & 3) == 2) c.file->state |= kStateWrite;
  return kOk;
}
int op_close(DriverCall& c) {
  view(c).close();
  c.file->state &= ~kStateWrite;
  return kOk;
}
// PUT and DELETE through the view: the primary file's current record, the
// one the view read last; the file's own errors come back unchanged.
int op_put(DriverCall& c) {
  Put(*view(c).primary().file);
  return core::error_code() ? -1 : kOk;
}
int op_delete(DriverCall& c) {
  Delete(*view(c).primary().file);
  return core::error_code() ? -1 : kOk;
}
// RESET(view, file): the next row read is the one of the primary file's
// current record.
int op_reset_view_file(DriverCall& c) {
  FileBlock* file = c.args ? reinterpret_cast<FileBlock*>(c.args[0]) : nullptr;
  if (file != view(c).primary().file) return kRecordNotAvailable;
  return outcome(view(c).reset_to_current());
}
int op_set(DriverCall& c) {
  view(c).set();
  return kOk;
}
int op_next(DriverCall& c) { return outcome(view(c).next()); }
int op_previous(DriverCall& c) { return outcome(view(c).previous()); }
int op_skip(DriverCall& c) { return outcome(view(c).skip(static_cast<int32_t>(c.args[0]))); }
int op_position(DriverCall& c) {
  push_string_result(view(c).position());
  return kOk;
}
int op_reset(DriverCall& c) { return outcome(view(c).reset(c.strings[0])); }
int op_reget(DriverCall& c) { return outcome(view(c).reget(c.strings[0])); }
int op_records(DriverCall& c) {
  c.result = view(c).records();
  return c.result < 0 ? -1 : kOk;
}
int op_get_row(DriverCall& c) { return outcome(view(c).get_row(static_cast<int32_t>(c.args[0]))); }
int op_buffer(DriverCall& c) {
  // Pages of rows behind and ahead of the current one are all kept.
  int32_t page = static_cast<int32_t>(c.args[0]);
  int32_t pages = 1 + static_cast<int32_t>(c.args[1]) + static_cast<int32_t>(c.args[2]);
  view(c).buffer(page > 0 ? page * pages : 0);
  return kOk;
}
int op_query_view(DriverCall& c) {
  c.result = 0;
  return kOk;
}

const OperationHandler* handlers() {
  static OperationHandler table[kOpLastCode + 1] = {};
  static bool filled = [] {
    table[kOpOpen] = op_open;
    table[kOpShare] = op_open;
    table[kOpClose] = op_close;
    table[kOpSetFile] = op_set;
    table[kOpSetView] = op_set;
    table[kOpNext] = op_next;
    table[kOpPrevious] = op_previous;
    table[kOpSkip] = op_skip;
    table[kOpPositionFile] = op_position;
    table[kOpResetFile] = op_reset;
    table[kOpRegetFile] = op_reget;
    table[kOpRecordsFile] = op_records;
    table[kOpGetFilePtr] = op_get_row;
    table[kOpBuffer] = op_buffer;
    table[kOpPut] = op_put;
    table[kOpDelete] = op_delete;
    table[kOpResetViewFile] = op_reset_view_file;
    table[kOpQueryView] = op_query_view;
    return true;
  }();
  (void)filled;
  return table;
}

}  // namespace

void make_view_block(FileBlock& block, std::unique_ptr<View> v) {
  auto instance = std::make_unique<ViewInstance>();
  instance->trace = view_trace_switches();
  if (instance->trace.profile && v->primary().file)
    instance->details = driver_trace_switches(v->primary().file->declaration).details;
  instance->view = std::move(v);
  block.driver_instance = std::move(instance);
  block.driver_entry = view_driver_entry;
  block.declaration.label = "VIEW";
}

View* view_of(FileBlock& block) {
  auto* instance = dynamic_cast<ViewInstance*>(block.driver_instance.get());
  return instance ? instance->view.get() : nullptr;
}

int32_t view_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args) {
  auto* instance = dynamic_cast<ViewInstance*>(file->driver_instance.get());
  if (!instance) {
    post_driver_result(*file, kUnsupportedFunction);
    return 0;
  }
  if (!instance->trace.profile) return run_driver_call(operation, file, args, handlers(), &instance->last_error);
  uint32_t start = platform::tick_count();
  int32_t result = run_driver_call(operation, file, args, handlers(), &instance->last_error);
  uint32_t taken = platform::tick_count() - start;
  std::string text;
  if (instance->details && !instance->declared) {
    text += view_declaration(instance->view->primary());
    instance->declared = true;
  }
  text += view_trace_line(operation, reinterpret_cast<uintptr_t>(instance->view.get()), core::error_code(), taken);
  bool dumps = operation == kOpDelete || operation == kOpNext || operation == kOpPrevious || operation == kOpPut;
  if (instance->details && dumps && core::error_code() == 0)
    for (FileBlock* f : instance->view->files()) text += record_dump(f->declaration, f->record.data());
  append_trace(instance->trace.file, text);
  return result;
}

void SetView(FileBlock& view) {
  DriverArg args[3] = {0, 0, 0};
  dispatch(kOpSetView, &view, args);
}

void ResetView(FileBlock& view, FileBlock& file) {
  DriverArg args[3] = {reinterpret_cast<DriverArg>(&file), 0, 0};
  dispatch(kOpResetViewFile, &view, args);
}

void Buffer(FileBlock& view, int32_t page_rows, int32_t behind, int32_t ahead) {
  DriverArg args[3] = {page_rows, behind, ahead};
  dispatch(kOpBuffer, &view, args);
}

}  // namespace vrt::data
