// The native driver's operations: one handler per operation code, found
// through one table. Each handler runs its work on the file's store through
// run_on_store, which brackets it with the start and end of an operation.
#include <cctype>
#include <cstring>

#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_file_operations.h"
#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/table_remove.h"
#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/bdx/key_encoding.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/driver/string_arguments.h"
#include "runtime/data/bdx/transaction.h"
#include "runtime/platform/os/clock.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

namespace {

BdxTable& table(DriverCall& c) { return *bdx_table(*c.file); }
int key_of(DriverCall& c) { return c.file->key_number(c.key); }

template <typename Work>
int reading(DriverCall& c, Work&& work) {
  BdxTable& t = table(c);
  if (!t.is_open()) return kFileNotOpen;
  return run_on_store(t.store(), false, [&] { return work(t); });
}

// A read after HOLD also holds the record it reads: the record's byte is
// taken without waiting, and when another process has it the read is
// repeated from the same place, until it holds or, for HOLD with seconds,
// until more than that many seconds have passed (error 43).
template <typename Work>
int holding(DriverCall& c, Work&& work) {
  if (!(c.file->state & kStateHoldPending)) return reading(c, work);
  BdxTable& t = table(c);
  Sequence sequence = t.sequence;
  uint32_t current = t.current_record;
  std::string stored = t.current_stored;
  std::vector<uint8_t> buffer = c.file->record;
  uint32_t start = platform::tick_count();
  for (;;) {
    bool held = true;
    int code = reading(c, [&](BdxTable& tt) {
      int r = work(tt);
      if (r == kOk) held = tt.hold_record(tt.current_record);
      return r;
    });
    if (code != kOk || held) return code;
    // The read did not happen: everything is as before it.
    t.sequence = sequence;
    t.current_record = current;
    t.current_stored = stored;
    c.file->record = buffer;
    if (t.hold_seconds >= 0 && platform::tick_count() - start > static_cast<uint32_t>(t.hold_seconds) * 100)
      return kRecordHeld;
    platform::sleep_hundredths(1);
  }
}

template <typename Work>
int updating(DriverCall& c, Work&& work) {
  BdxTable& t = table(c);
  if (!t.is_open()) return kFileNotOpen;
  if (!t.store().writable()) return kAccessDenied;
  return run_on_store(t.store(), true, [&] { return work(t); });
}

std::string be32_text(uint32_t v) {
  std::string s;
  append_be32(&s, v);
  return s;
}

// ---- opening and closing

int op_open(DriverCall& c) { return table(c).open(static_cast<int32_t>(c.args[0])); }
int op_create(DriverCall& c) { return table(c).create(); }
int op_close(DriverCall& c) {
  // From a BUILD's progress callback: the build stops, then the file closes.
  if (c.file->state & kStateBuilding) {
    table(c).close_after_build = true;
    return kOk;
  }
  table(c).close();
  return kOk;
}
// The file's full name once it is open, else the name as declared.
int op_name(DriverCall& c) {
  BdxTable& t = table(c);
  const FileDeclaration& d = c.file->declaration;
  push_string_result(t.is_open() ? t.store().name() : d.name.empty() ? d.label : d.name);
  return kOk;
}
int op_remove(DriverCall& c) { return remove_table(c.file->declaration); }

// ---- sequences

int op_set_file(DriverCall& c) {
  table(c).set_start(-1);
  return kOk;
}

int op_set_file_ptr(DriverCall& c) {
  BdxTable& t = table(c);
  std::string k = data_key(t.number(), static_cast<uint32_t>(c.args[0]));
  t.set_sequence(-1, k, true, k, true);
  return kOk;
}

int op_set_file_key(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    uint32_t number;
    if (t.find_by_key(key_of(c), c.file->record.data(), &number)) {
      std::string k = data_key(t.number(), number);
      t.set_sequence(-1, k, true, k, true);
    } else {
      t.set_start(-1);
      t.sequence.next_from = t.sequence.prev_from;  // nothing to read forward
      t.sequence.next_inclusive = false;
    }
    return kOk;
  });
}

int op_set_key(DriverCall& c) {
  table(c).set_start(key_of(c));
  return kOk;
}

std::string encoded_value(BdxTable& t, int key) {
  std::string v = t.key_prefix(key);
  encode_key_value(t.declaration(), t.declaration().keys[static_cast<size_t>(key)], t.file().record.data(),
                   t.collation(), &v);
  return v;
}

bool carries_number(const KeyBlock& k) { return (k.attributes & kKeyDup) || k.dynamic_index(); }

int op_set_key_key(DriverCall& c) {
  BdxTable& t = table(c);
  int key = key_of(c);
  std::string v = encoded_value(t, key);
  t.set_sequence(key, v, true, v + std::string(4, '\xFF'), true);
  return kOk;
}

int op_set_key_key_ptr(DriverCall& c) {
  BdxTable& t = table(c);
  int key = key_of(c);
  std::string v = encoded_value(t, key);
  if (carries_number(*c.key)) v += be32_text(static_cast<uint32_t>(c.args[2]));
  t.set_sequence(key, v, true, v, true);
  return kOk;
}

int op_set_key_ptr(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    int key = key_of(c);
    uint32_t number = static_cast<uint32_t>(c.args[1]);
    std::string stored, entry, data;
    if (!t.read_record(number, &stored)) return static_cast<int>(kRecordNotFound);
    std::vector<uint8_t> saved = t.file().record;
    t.load_buffer(number, stored);
    bool made = t.make_entry(key, t.file().record.data(), number, &entry, &data);
    t.file().record = saved;
    if (!made) return static_cast<int>(kRecordNotFound);
    t.set_sequence(key, entry, true, entry, true);
    return static_cast<int>(kOk);
  });
}

int op_next(DriverCall& c) {
  return holding(c, [&](BdxTable& t) { return t.step(true); });
}
int op_previous(DriverCall& c) {
  return holding(c, [&](BdxTable& t) { return t.step(false); });
}
int op_skip(DriverCall& c) {
  int32_t n = static_cast<int32_t>(c.args[0]);
  return reading(c, [&](BdxTable& t) {
    for (int32_t i = 0; i < (n < 0 ? -n : n); ++i) {
      int code = t.step(n > 0);
      if (code != kOk) return code;
    }
    return static_cast<int>(kOk);
  });
}
int op_bof(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    c.result = t.at_end(false) ? 1 : 0;
    return static_cast<int>(kOk);
  });
}
int op_eof(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    c.result = t.at_end(true) ? 1 : 0;
    return static_cast<int>(kOk);
  });
}

// ---- direct reads

int read_by_number(DriverCall& c, uint32_t number) {
  return holding(c, [&](BdxTable& t) {
    return static_cast<int>(t.load_record(number) ? kOk : kRecordNotFound);
  });
}
int op_get_file_ptr(DriverCall& c) { return read_by_number(c, static_cast<uint32_t>(c.args[0])); }
int op_get_key_ptr(DriverCall& c) { return read_by_number(c, static_cast<uint32_t>(c.args[1])); }
int op_get_file_key(DriverCall& c) {
  return holding(c, [&](BdxTable& t) {
    uint32_t number;
    if (!t.find_by_key(key_of(c), c.file->record.data(), &number) || !t.load_record(number))
      return static_cast<int>(kRecordNotFound);
    return static_cast<int>(kOk);
  });
}

// A position string: the record number (4 bytes, big-endian), and for a
// key the encoded key value of the current record.
bool position_number(const std::string& position, uint32_t* number) {
  if (position.size() < 4) return false;
  *number = be32_at(position, 0);
  return true;
}
int op_reget(DriverCall& c) {
  uint32_t number;
  if (!position_number(c.strings[0], &number)) return kRecordNotFound;
  return read_by_number(c, number);
}
int op_reset_file(DriverCall& c) {
  uint32_t number;
  if (!position_number(c.strings[0], &number)) return kRecordNotFound;
  BdxTable& t = table(c);
  std::string k = data_key(t.number(), number);
  t.set_sequence(-1, k, true, k, true);
  return kOk;
}
int op_reset_key(DriverCall& c) {
  BdxTable& t = table(c);
  int key = key_of(c);
  uint32_t number;
  size_t value_size = key_value_size(t.declaration(), *c.key);
  if (!position_number(c.strings[0], &number) || c.strings[0].size() != 4 + value_size) return kRecordNotFound;
  std::string v = t.key_prefix(key) + c.strings[0].substr(4);
  if (carries_number(*c.key)) v += c.strings[0].substr(0, 4);
  t.set_sequence(key, v, true, v, true);
  return kOk;
}
int op_position_file(DriverCall& c) {
  push_string_result(be32_text(table(c).current_record));
  return kOk;
}
int op_position_key(DriverCall& c) {
  BdxTable& t = table(c);
  std::string value;
  std::string buffer = t.current_as_read();
  if (buffer.size() != t.declaration().record_length) buffer.assign(t.file().record.begin(), t.file().record.end());
  encode_key_value(t.declaration(), *c.key, reinterpret_cast<const uint8_t*>(buffer.data()), t.collation(), &value);
  push_string_result(be32_text(t.current_record) + value);
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
int op_records_file(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    c.result = static_cast<int32_t>(t.counter(kKindData));
    return static_cast<int>(kOk);
  });
}
int op_records_key(DriverCall& c) {
  return reading(c, [&](BdxTable& t) {
    int key = key_of(c);
    if (c.key->dynamic_index()) {
      std::string found, prefix = t.key_prefix(key);
      uint32_t n = 0, number;
      std::string from = prefix;
      bool strictly = false;
      while (t.seek_entry(key, from, strictly, true, &found, &number)) {
        ++n;
        from = found;
        strictly = true;
      }
      c.result = static_cast<int32_t>(n);
    } else {
      c.result = static_cast<int32_t>(t.counter(key_kind(t.declaration(), key)));
    }
    return static_cast<int>(kOk);
  });
}

// ---- updates

int op_add(DriverCall& c) {
  return updating(c, [&](BdxTable& t) { return t.add(true); });
}
int op_append(DriverCall& c) {
  return updating(c, [&](BdxTable& t) { return t.add(false); });
}
int op_put(DriverCall& c) {
  return updating(c, [&](BdxTable& t) { return t.put(); });
}
int op_put_ptr(DriverCall& c) {
  table(c).current_record = static_cast<uint32_t>(c.args[0]);
  return updating(c, [&](BdxTable& t) { return t.put(); });
}
int op_delete(DriverCall& c) {
  return updating(c, [&](BdxTable& t) { return t.remove(); });
}
int op_empty(DriverCall& c) {
  return updating(c, [&](BdxTable& t) { return t.empty(); });
}
int duplicate_of(DriverCall& c, int only_key) {
  return reading(c, [&](BdxTable& t) {
    const auto& keys = t.declaration().keys;
    c.result = 0;
    for (size_t k = 0; k < keys.size(); ++k) {
      int key = static_cast<int>(k);
      if ((only_key >= 0 && key != only_key) || (keys[k].attributes & kKeyDup) || keys[k].dynamic_index()) continue;
      uint32_t number;
      if (t.find_by_key(key, t.file().record.data(), &number) && number != t.current_record) c.result = 1;
    }
    return static_cast<int>(kOk);
  });
}
int op_duplicate(DriverCall& c) { return duplicate_of(c, -1); }
int op_duplicate_key(DriverCall& c) { return duplicate_of(c, key_of(c)); }

int build_file(DriverCall& c);

// A BUILD runs with the file's "BUILD in progress" bit set, so that its
// progress callback can do nothing with the file but close it (92 for the
// rest); a CLOSE asked for meanwhile cancels the build and then happens.
template <typename Work>
int building(DriverCall& c, Work&& work) {
  BdxTable& t = table(c);
  c.file->state |= kStateBuilding;
  int code = work();
  c.file->state &= ~kStateBuilding;
  // What the progress callback's own calls posted is not the build's result.
  if (code == kOk) core::clear_error();
  if (t.close_after_build) {
    t.close_after_build = false;
    t.close();
    c.file->state &= ~(kStateOpen | kStateInViewOrBuilt);
  }
  return code;
}

int op_build_file(DriverCall& c) {
  return building(c, [&] { return build_file(c); });
}

int build_file(DriverCall& c) {
  return updating(c, [&](BdxTable& t) {
    int code = kOk;
    for (size_t k = 0; k < t.declaration().keys.size(); ++k) {
      if (t.declaration().keys[k].dynamic_index()) continue;
      int r = t.build_key(static_cast<int>(k));
      if (r == kBuildCancelled) return r;
      if (r != kOk) code = r;
    }
    return code;
  });
}
int op_build_key(DriverCall& c) {
  if (c.key->dynamic_index()) {
    if (c.key->components.empty()) return kInvalidIndexString;
    int code = building(c, [&] { return reading(c, [&](BdxTable& t) { return t.build_key(key_of(c)); }); });
    if (code == kOk) c.key->state |= kStateInViewOrBuilt;
    return code;
  }
  return building(c, [&] { return updating(c, [&](BdxTable& t) { return t.build_key(key_of(c)); }); });
}
int op_build_dyn(DriverCall& c) {
  if (!c.key->dynamic_index()) return kInvalidIndexString;
  return building(c, [&] { return reading(c, [&](BdxTable& t) { return t.build_index(key_of(c), c.strings[0]); }); });
}
int op_build_dyn_filter(DriverCall& c) {
  if (!c.key->dynamic_index()) return kInvalidIndexString;
  return building(c, [&] {
    return reading(c, [&](BdxTable& t) { return t.build_index(key_of(c), c.strings[0], &c.strings[1]); });
  });
}

// ---- commands and the rest

std::string upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

int op_send(DriverCall& c) {
  BdxTable& t = table(c);
  std::string command = c.strings[0];
  size_t eq = command.find('=');
  std::string word = upper(command.substr(0, eq));
  word.erase(word.find_last_not_of(' ') + 1);
  std::string value = eq == std::string::npos ? std::string() : command.substr(eq + 1);
  std::string result;
  if (word == "REGISTER") {
    result = kBdxDriverName;
  } else if (word == "TCF") {
    if (eq != std::string::npos) {
      value.erase(0, value.find_first_not_of(' '));
      value.erase(value.find_last_not_of(' ') + 1);
      set_transaction_control_name(value);
    }
    result = transaction_control_name();
  } else if (word == "FULLBUILD") {
    if (eq != std::string::npos) t.full_build = upper(value) == "ON";
    result = t.full_build ? "ON" : "OFF";
  } else if (word == "FLAGS" && t.is_open()) {
    uint32_t flags = 0;
    int code = eq == std::string::npos ? reading(c, [&](BdxTable& tt) {
      flags = tt.flags();
      return static_cast<int>(kOk);
    })
                                       : updating(c, [&](BdxTable& tt) {
                                           flags = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
                                           tt.set_flags(flags);
                                           return static_cast<int>(kOk);
                                         });
    if (code != kOk) return code;
    result = std::to_string(flags);
  } else if (word == "PNM" && eq != std::string::npos && t.is_open()) {
    int code = run_on_store(t.store(), false, [&] {
      PageRecord r;
      std::string from = table_name_key(value);
      if (t.tree().seek(from, false, &r) && !r.key().empty() && static_cast<uint8_t>(r.key()[0]) == kKindTableName)
        result.assign(r.key().substr(1));
      return static_cast<int>(kOk);
    });
    if (code != kOk) return code;
  }
  push_string_result(result);
  return kOk;
}

int op_accept(DriverCall&) { return kOk; }

// LOGOUT(seconds, files...) reaches the driver once for each file.
int op_logout(DriverCall& c) {
  BdxTable& t = table(c);
  if (!t.is_open()) return kFileNotOpen;
  if (!t.store().writable()) return kAccessDenied;
  return transaction_enlist(t, static_cast<int32_t>(c.args[0]));
}
int op_hold(DriverCall& c) {
  table(c).hold_seconds = c.operation == kOpHoldFileSec ? static_cast<int32_t>(c.args[0]) : -1;
  return kOk;
}
int op_release(DriverCall& c) {
  table(c).release_holds();
  return kOk;
}
int op_commit(DriverCall& c) { return transaction_commit(table(c)); }
int op_rollback(DriverCall& c) { return transaction_rollback(table(c)); }

int op_lock(DriverCall& c) {
  BdxTable& t = table(c);
  if (!t.is_open()) return kFileNotOpen;
  return t.lock_table(c.operation == kOpLockFileSec ? static_cast<int32_t>(c.args[0]) : 0);
}
int op_unlock(DriverCall& c) {
  table(c).unlock_table();
  return kOk;
}

int op_nomemo(DriverCall& c) {
  table(c).skip_memos_once = true;
  return kOk;
}

int op_stream(DriverCall& c) {
  return updating(c, [](BdxTable& t) {
    t.store().hold_updates(true);
    return static_cast<int>(kOk);
  });
}
int op_flush(DriverCall& c) {
  return updating(c, [](BdxTable& t) {
    t.store().hold_updates(false);
    return static_cast<int>(kOk);
  });
}
int op_query_view(DriverCall& c) {
  c.result = 0;
  return kOk;
}
int op_count_records(DriverCall& c) { return op_records_file(c); }

int op_clear(DriverCall& c) {
  clear_record(*c.file);
  return kOk;
}

struct HandlerTable {
  OperationHandler at[kOpLastCode + 1] = {};
  HandlerTable() {
    add_file_operations(at);
    at[kOpOpen] = op_open;
    at[kOpShare] = op_open;
    at[kOpCreate] = op_create;
    at[kOpClose] = op_close;
    at[kOpName] = op_name;
    at[kOpRemove] = op_remove;
    at[kOpSetFile] = op_set_file;
    at[kOpSetFilePtr] = op_set_file_ptr;
    at[kOpSetFileKey] = op_set_file_key;
    at[kOpSetKey] = op_set_key;
    at[kOpSetKeyKey] = op_set_key_key;
    at[kOpSetKeyPtr] = op_set_key_ptr;
    at[kOpSetKeyKeyPtr] = op_set_key_key_ptr;
    at[kOpNext] = op_next;
    at[kOpPrevious] = op_previous;
    at[kOpSkip] = op_skip;
    at[kOpBof] = op_bof;
    at[kOpEof] = op_eof;
    at[kOpGetFileKey] = op_get_file_key;
    at[kOpGetFilePtr] = op_get_file_ptr;
    at[kOpGetFilePtrLen] = op_get_file_ptr;
    at[kOpGetKeyPtr] = op_get_key_ptr;
    at[kOpRegetFile] = op_reget;
    at[kOpRegetKey] = op_reget;
    at[kOpResetFile] = op_reset_file;
    at[kOpResetKey] = op_reset_key;
    at[kOpPositionFile] = op_position_file;
    at[kOpPositionKey] = op_position_key;
    at[kOpPointerFile] = op_pointer;
    at[kOpPointerKey] = op_pointer;
    at[kOpBytes] = op_bytes;
    at[kOpRecordsFile] = op_records_file;
    at[kOpRecordsKey] = op_records_key;
    at[kOpCountRecords] = op_count_records;
    at[kOpAdd] = op_add;
    at[kOpAddFileLen] = op_add;
    at[kOpAppend] = op_append;
    at[kOpAppendLen] = op_append;
    at[kOpPut] = op_put;
    at[kOpPutFilePtr] = op_put_ptr;
    at[kOpPutFilePtrLen] = op_put_ptr;
    at[kOpDelete] = op_delete;
    at[kOpEmpty] = op_empty;
    at[kOpDuplicate] = op_duplicate;
    at[kOpDuplicateKey] = op_duplicate_key;
    at[kOpBuildFile] = op_build_file;
    at[kOpBuildKey] = op_build_key;
    at[kOpBuildDyn] = op_build_dyn;
    at[kOpBuildDynFilter] = op_build_dyn_filter;
    at[kOpSend] = op_send;
    at[kOpQueryView] = op_query_view;
    at[kOpClear] = op_clear;
    at[kOpStream] = op_stream;
    at[kOpFlush] = op_flush;
    at[kOpNomemo] = op_nomemo;
    at[kOpLockFile] = op_lock;
    at[kOpLockFileSec] = op_lock;
    at[kOpUnlock] = op_unlock;
    at[kOpLogout] = op_logout;
    at[kOpCommit] = op_commit;
    at[kOpRollback] = op_rollback;
    at[kOpHoldFile] = op_hold;
    at[kOpHoldFileSec] = op_hold;
    at[kOpRelease] = op_release;
    // WATCH only sets its state bit, which the next read turns into the
    // watch that PUT checks.
    at[kOpWatch] = op_accept;
  }
};

}  // namespace

int32_t bdx_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args) {
  static const HandlerTable handlers;
  BdxTable* t = bdx_table(*file);
  return run_driver_call(operation, file, args, handlers.at, &t->last_error);
}

void make_bdx_file_block(FileBlock& file, FileDeclaration declaration) {
  file.driver_entry = bdx_driver_entry;
  file.trace_section = kBdxTraceSection;
  file.driver_instance.reset();
  file.declaration = std::move(declaration);
  file.state = 0;
  file.attach();
}

}  // namespace vrt::data
