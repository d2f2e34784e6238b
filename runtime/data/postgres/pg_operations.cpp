// The server driver's operations: one handler per operation code, found
// through one table, each carried out by the file's PgTable with
// statements on the process's session.
#include <cctype>
#include <mutex>

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/string_arguments.h"
#include "runtime/data/postgres/pg_table.h"
#include "runtime/data/postgres/postgres_driver.h"

namespace vrt::data {

namespace {

PgTable& table(DriverCall& c) { return *pg_table(*c.file); }
int key_of(DriverCall& c) { return c.file->key_number(c.key); }

// A failure the server explained is posted with its message as FILEERROR.
template <OperationHandler Work>
int explained(DriverCall& c) {
  PgTable& t = table(c);
  t.message.clear();
  int code = Work(c);
  if (code == kOk || code == kAlreadyPosted || t.message.empty()) return code;
  core::post_error(code);
  core::set_error_file(c.file->display_name());
  core::set_file_error_text(t.message);
  return kAlreadyPosted;
}

// A read after HOLD locks the row it reads.
template <OperationHandler Work>
int reading(DriverCall& c) {
  if (!(c.file->state & kStateHoldPending)) return Work(c);
  PgTable& t = table(c);
  int code = t.begin_hold();
  if (code == kOk) code = Work(c);
  t.end_hold(code == kOk);
  return code;
}

int64_t pointer_arg(DriverCall& c, int i) { return static_cast<uint32_t>(c.args[i]); }

// ---- opening and closing

int op_open(DriverCall& c) { return table(c).open(static_cast<int32_t>(c.args[0])); }
int op_create(DriverCall& c) { return table(c).create(); }
int op_close(DriverCall& c) {
  table(c).close();
  return kOk;
}
int op_remove(DriverCall& c) { return table(c).remove(); }
int op_name(DriverCall& c) {
  push_string_result(table_name_of(c.file->declaration));
  return kOk;
}

// ---- sequences

int op_set_file(DriverCall& c) {
  table(c).set_start(-1);
  return kOk;
}
int op_set_file_ptr(DriverCall& c) { return table(c).set_at_record(-1, pointer_arg(c, 0)); }
int op_set_file_key(DriverCall& c) {
  PgTable& t = table(c);
  int64_t number;
  int code = t.read_by_key(key_of(c), &number);
  if (code == kRecordNotFound) {
    t.set_nothing_forward();
    return kOk;
  }
  return code == kOk ? t.set_at_record(-1, number) : code;
}
int op_set_key(DriverCall& c) {
  table(c).set_start(key_of(c));
  return kOk;
}
int op_set_key_key(DriverCall& c) { return table(c).set_at_key_value(key_of(c), false, 0); }
int op_set_key_key_ptr(DriverCall& c) { return table(c).set_at_key_value(key_of(c), true, pointer_arg(c, 2)); }
int op_set_key_ptr(DriverCall& c) { return table(c).set_at_record(key_of(c), pointer_arg(c, 1)); }

int op_next(DriverCall& c) { return table(c).step(true); }
int op_previous(DriverCall& c) { return table(c).step(false); }
int op_skip(DriverCall& c) {
  auto n = static_cast<int32_t>(c.args[0]);
  for (int32_t i = 0; i < (n < 0 ? -n : n); ++i) {
    int code = table(c).step(n > 0);
    if (code != kOk) return code;
  }
  return kOk;
}
int op_bof(DriverCall& c) {
  c.result = table(c).at_end(false) ? 1 : 0;
  return kOk;
}
int op_eof(DriverCall& c) {
  c.result = table(c).at_end(true) ? 1 : 0;
  return kOk;
}

// ---- direct reads

int op_get_file_ptr(DriverCall& c) { return table(c).read_number(pointer_arg(c, 0)); }
int op_get_key_ptr(DriverCall& c) { return table(c).read_number(pointer_arg(c, 1)); }
int op_get_file_key(DriverCall& c) { return table(c).read_by_key(key_of(c)); }

// A position string: the record number (4 bytes, big-endian), and for a key
// each value of the current record's key, as its length (2 bytes) and text.
void append_be(std::string* s, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) *s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint64_t be_at(const std::string& s, size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
  return v;
}
bool position_number(const std::string& position, int64_t* number) {
  if (position.size() < 4) return false;
  *number = static_cast<int64_t>(be_at(position, 0, 4));
  return true;
}

int op_position_file(DriverCall& c) {
  std::string s;
  append_be(&s, static_cast<uint64_t>(table(c).current_record), 4);
  push_string_result(s);
  return kOk;
}
int op_position_key(DriverCall& c) {
  PgTable& t = table(c);
  int key = key_of(c);
  std::vector<PgParam> values = t.current_key_values(key);
  std::string s;
  append_be(&s, static_cast<uint64_t>(t.current_record), 4);
  for (size_t i = 0; i < t.order(key).components; ++i) {
    append_be(&s, values[i].text.size(), 2);
    s += values[i].text;
  }
  push_string_result(s);
  return kOk;
}
int op_reget(DriverCall& c) {
  int64_t number;
  if (!position_number(c.strings[0], &number)) return kRecordNotFound;
  return table(c).read_number(number);
}
int op_reset_file(DriverCall& c) {
  int64_t number;
  if (!position_number(c.strings[0], &number)) return kRecordNotFound;
  table(c).set_at_record(-1, number);  // record order: nothing to look up
  return kOk;
}
// The position comes from outside: every length is checked before it is
// used, and anything left over makes it no position of this key.
int op_reset_key(DriverCall& c) {
  PgTable& t = table(c);
  int key = key_of(c);
  const std::string& s = c.strings[0];
  int64_t number;
  if (!position_number(s, &number)) return kRecordNotFound;
  std::vector<PgParam> values;
  size_t at = 4;
  for (size_t i = 0; i < t.order(key).components; ++i) {
    if (at + 2 > s.size()) return kRecordNotFound;
    size_t n = be_at(s, at, 2);
    if (at + 2 + n > s.size()) return kRecordNotFound;
    values.push_back(PgParam{s.substr(at + 2, n), false});
    at += 2 + n;
  }
  if (at != s.size()) return kRecordNotFound;
  if (!t.order(key).unique) values.push_back(PgParam{std::to_string(number), false});
  t.set_at(key, values);
  return kOk;
}
int op_pointer(DriverCall& c) {
  c.result = static_cast<int32_t>(table(c).current_record);
  return kOk;
}
int op_bytes(DriverCall& c) {
  c.result = static_cast<int32_t>(c.file->declaration.record_length);
  return kOk;
}
int op_records_file(DriverCall& c) { return table(c).count(-1, &c.result); }
int op_records_key(DriverCall& c) { return table(c).count(key_of(c), &c.result); }

// ---- updates

int op_add(DriverCall& c) { return table(c).add(); }
int op_put(DriverCall& c) { return table(c).put((c.file->state & kStateWatched) != 0); }
int op_put_ptr(DriverCall& c) {
  table(c).current_record = pointer_arg(c, 0);
  return table(c).put(false);
}
int op_delete(DriverCall& c) { return table(c).remove_current((c.file->state & kStateWatched) != 0); }
int op_empty(DriverCall& c) { return table(c).empty(); }
int op_duplicate(DriverCall& c) {
  bool found;
  int code = table(c).duplicate(c.operation == kOpDuplicateKey ? key_of(c) : -1, &found);
  c.result = found ? 1 : 0;
  return code;
}
int op_build_file(DriverCall& c) { return table(c).build(-1); }
int op_build_key(DriverCall& c) {
  if (c.key->dynamic_index()) {
    if (c.key->components.empty()) return kInvalidIndexString;
    c.key->state |= kStateInViewOrBuilt;
    return kOk;
  }
  return table(c).build(key_of(c));
}

// ---- transactions

// LOGOUT(seconds, files...) reaches the driver once for each file; the
// files share the one SQL transaction of the session.
int op_logout(DriverCall&) { return pg_session().begin_for(1); }
int op_hold(DriverCall& c) {
  table(c).hold_seconds = c.operation == kOpHoldFileSec ? static_cast<int32_t>(c.args[0]) : -1;
  return kOk;
}
int op_release(DriverCall& c) {
  table(c).release_holds();
  return kOk;
}
int op_commit(DriverCall&) { return pg_session().end(true); }
int op_rollback(DriverCall&) { return pg_session().end(false); }

// ---- commands and the rest

int op_send(DriverCall& c) {
  std::string word = c.strings[0].substr(0, c.strings[0].find('='));
  for (char& ch : word) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  word.erase(word.find_last_not_of(' ') + 1);
  push_string_result(word == "REGISTER" ? kPostgresDriverName : "");
  return kOk;
}
int op_accept(DriverCall&) { return kOk; }
// The view engine asks, and then hands each SET of a view over this file
// its filter (SETview: the filter's tree, and whether the view is open).
int op_query_view(DriverCall& c) {
  c.result = 1;
  return kOk;
}
int op_set_view(DriverCall& c) {
  table(c).set_view(reinterpret_cast<const core::ExprNode*>(c.args[0]), c.args[1] != 0);
  return kOk;
}
int op_clear(DriverCall& c) {
  clear_record(*c.file);
  return kOk;
}

struct HandlerTable {
  OperationHandler at[kOpLastCode + 1] = {};
  HandlerTable() {
    at[kOpOpen] = explained<op_open>;
    at[kOpShare] = explained<op_open>;
    at[kOpCreate] = explained<op_create>;
    at[kOpClose] = op_close;
    at[kOpName] = op_name;
    at[kOpRemove] = explained<op_remove>;
    at[kOpSetFile] = op_set_file;
    at[kOpSetFilePtr] = explained<op_set_file_ptr>;
    at[kOpSetFileKey] = explained<op_set_file_key>;
    at[kOpSetKey] = op_set_key;
    at[kOpSetKeyKey] = explained<op_set_key_key>;
    at[kOpSetKeyPtr] = explained<op_set_key_ptr>;
    at[kOpSetKeyKeyPtr] = explained<op_set_key_key_ptr>;
    at[kOpNext] = explained<reading<op_next>>;
    at[kOpPrevious] = explained<reading<op_previous>>;
    at[kOpSkip] = explained<op_skip>;
    at[kOpBof] = op_bof;
    at[kOpEof] = op_eof;
    at[kOpGetFileKey] = explained<reading<op_get_file_key>>;
    at[kOpGetFilePtr] = explained<reading<op_get_file_ptr>>;
    at[kOpGetFilePtrLen] = explained<reading<op_get_file_ptr>>;
    at[kOpGetKeyPtr] = explained<reading<op_get_key_ptr>>;
    at[kOpRegetFile] = explained<reading<op_reget>>;
    at[kOpRegetKey] = explained<reading<op_reget>>;
    at[kOpResetFile] = op_reset_file;
    at[kOpResetKey] = op_reset_key;
    at[kOpPositionFile] = op_position_file;
    at[kOpPositionKey] = op_position_key;
    at[kOpPointerFile] = op_pointer;
    at[kOpPointerKey] = op_pointer;
    at[kOpBytes] = op_bytes;
    at[kOpRecordsFile] = explained<op_records_file>;
    at[kOpRecordsKey] = explained<op_records_key>;
    at[kOpCountRecords] = explained<op_records_file>;
    // Every index on the server is kept up to date, so APPEND is ADD.
    at[kOpAdd] = explained<op_add>;
    at[kOpAddFileLen] = explained<op_add>;
    at[kOpAppend] = explained<op_add>;
    at[kOpAppendLen] = explained<op_add>;
    at[kOpPut] = explained<op_put>;
    at[kOpPutFilePtr] = explained<op_put_ptr>;
    at[kOpPutFilePtrLen] = explained<op_put_ptr>;
    at[kOpDelete] = explained<op_delete>;
    at[kOpEmpty] = explained<op_empty>;
    at[kOpDuplicate] = explained<op_duplicate>;
    at[kOpDuplicateKey] = explained<op_duplicate>;
    at[kOpBuildFile] = explained<op_build_file>;
    at[kOpBuildKey] = explained<op_build_key>;
    at[kOpLogout] = explained<op_logout>;
    at[kOpCommit] = explained<op_commit>;
    at[kOpRollback] = explained<op_rollback>;
    at[kOpHoldFile] = op_hold;
    at[kOpHoldFileSec] = op_hold;
    at[kOpRelease] = op_release;
    at[kOpSend] = op_send;
    at[kOpQueryView] = op_query_view;
    at[kOpSetView] = op_set_view;
    at[kOpClear] = op_clear;
    // The server decides when its writes reach the disk, and reads memos
    // with the record.
    at[kOpStream] = op_accept;
    at[kOpFlush] = op_accept;
    at[kOpNomemo] = op_accept;
    // WATCH only sets its state bit; PUT and DELETE compare the version.
    at[kOpWatch] = op_accept;
  }
};

}  // namespace

int32_t postgres_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args) {
  static const HandlerTable handlers;
  std::lock_guard<std::mutex> lock(pg_session().mutex());
  pg_table(*file);
  return run_driver_call(operation, file, args, handlers.at, nullptr);
}

void make_postgres_file_block(FileBlock& file, FileDeclaration declaration) {
  file.driver_entry = postgres_driver_entry;
  file.trace_section = kPostgresTraceSection;
  file.driver_instance.reset();
  file.declaration = std::move(declaration);
  file.state = 0;
  file.attach();
}

}  // namespace vrt::data
