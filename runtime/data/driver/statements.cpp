#include "runtime/data/driver/statements.h"

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/dispatcher.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/string_arguments.h"

namespace vrt::data {

namespace {

int32_t call(int32_t op, FileBlock& f, DriverArg a0 = 0, DriverArg a1 = 0, DriverArg a2 = 0) {
  DriverArg args[3] = {a0, a1, a2};
  return dispatch(op, &f, args);
}

DriverArg arg(KeyBlock& k) { return reinterpret_cast<DriverArg>(&k); }

// The files of this thread's transaction, for COMMIT and ROLLBACK to reach
// their driver through.
thread_local std::vector<FileBlock*> t_enlisted;

void end_transaction(int32_t op) {
  std::vector<FileBlock*> files;
  files.swap(t_enlisted);
  if (files.empty()) {
    core::clear_error();
    core::post_error(kLogoutNotActive);
    return;
  }
  for (FileBlock* f : files) call(op, *f);
}

}  // namespace

void Open(FileBlock& f, int32_t mode) { call(kOpOpen, f, mode); }
void Share(FileBlock& f, int32_t mode) { call(kOpShare, f, mode); }
void Create(FileBlock& f) { call(kOpCreate, f); }
void Close(FileBlock& f) { call(kOpClose, f); }
void Remove(FileBlock& f) { call(kOpRemove, f); }
void Copy(FileBlock& f, const std::string& new_name) {
  push_string_argument(new_name);
  call(kOpCopy, f);
}
void Rename(FileBlock& f, const std::string& new_name) {
  push_string_argument(new_name);
  call(kOpRename, f);
}
void Pack(FileBlock& f) { call(kOpPack, f); }
std::string Name(FileBlock& f) {
  call(kOpName, f);
  return pop_string_result();
}

void Set(FileBlock& f) { call(kOpSetFile, f); }
void Set(FileBlock& f, KeyBlock& k) { call(kOpSetFileKey, f, arg(k)); }
void Set(FileBlock& f, int32_t pointer) { call(kOpSetFilePtr, f, pointer); }
void Set(KeyBlock& k) { dispatch_key(kOpSetKey, &k); }
void Set(KeyBlock& k, KeyBlock& v) { dispatch_key(kOpSetKeyKey, &k, arg(v)); }
void Set(KeyBlock& k, int32_t key_pointer) { dispatch_key(kOpSetKeyPtr, &k, key_pointer); }
void Set(KeyBlock& k, KeyBlock& v, int32_t pointer) { dispatch_key(kOpSetKeyKeyPtr, &k, arg(v), pointer); }
void Next(FileBlock& f) { call(kOpNext, f); }
void Previous(FileBlock& f) { call(kOpPrevious, f); }
void Skip(FileBlock& f, int32_t count) { call(kOpSkip, f, count); }
bool Bof(FileBlock& f) { return call(kOpBof, f) != 0; }
bool Eof(FileBlock& f) { return call(kOpEof, f) != 0; }

void Get(FileBlock& f, KeyBlock& k) { call(kOpGetFileKey, f, arg(k)); }
void Get(FileBlock& f, int32_t pointer) { call(kOpGetFilePtr, f, pointer); }
void Get(FileBlock& f, int32_t pointer, int32_t length) { call(kOpGetFilePtrLen, f, pointer, length); }
void Get(KeyBlock& k, int32_t key_pointer) { dispatch_key(kOpGetKeyPtr, &k, key_pointer); }
void Reget(FileBlock& f, const std::string& position) {
  push_string_argument(position);
  call(kOpRegetFile, f);
}
void Reget(KeyBlock& k, const std::string& position) {
  push_string_argument(position);
  dispatch_key(kOpRegetKey, &k);
}
void Reset(FileBlock& f, const std::string& position) {
  push_string_argument(position);
  call(kOpResetFile, f);
}
void Reset(KeyBlock& k, const std::string& position) {
  push_string_argument(position);
  dispatch_key(kOpResetKey, &k);
}

void Add(FileBlock& f) { call(kOpAdd, f); }
void Add(FileBlock& f, int32_t length) { call(kOpAddFileLen, f, length); }
void Append(FileBlock& f) { call(kOpAppend, f); }
void Append(FileBlock& f, int32_t length) { call(kOpAppendLen, f, length); }
void Put(FileBlock& f) { call(kOpPut, f); }
void Put(FileBlock& f, int32_t pointer) { call(kOpPutFilePtr, f, pointer); }
void Put(FileBlock& f, int32_t pointer, int32_t length) { call(kOpPutFilePtrLen, f, pointer, length); }
void Delete(FileBlock& f) { call(kOpDelete, f); }
void Empty(FileBlock& f) { call(kOpEmpty, f); }
bool Duplicate(FileBlock& f) { return call(kOpDuplicate, f) != 0; }
bool Duplicate(KeyBlock& k) { return dispatch_key(kOpDuplicateKey, &k) != 0; }

int32_t Records(FileBlock& f) { return call(kOpRecordsFile, f); }
int32_t Records(KeyBlock& k) { return dispatch_key(kOpRecordsKey, &k); }
int32_t Pointer(FileBlock& f) { return call(kOpPointerFile, f); }
int32_t Pointer(KeyBlock& k) { return dispatch_key(kOpPointerKey, &k); }
int32_t Bytes(FileBlock& f) { return call(kOpBytes, f); }
std::string Position(FileBlock& f) {
  call(kOpPositionFile, f);
  return pop_string_result();
}
std::string Position(KeyBlock& k) {
  dispatch_key(kOpPositionKey, &k);
  return pop_string_result();
}

void Build(FileBlock& f) { call(kOpBuildFile, f); }
void Build(KeyBlock& k) { dispatch_key(kOpBuildKey, &k); }
void Build(KeyBlock& k, const std::string& components) {
  push_string_argument(components);
  dispatch_key(kOpBuildDyn, &k);
}
void Build(KeyBlock& k, const std::string& components, const std::string& filter) {
  push_string_argument(components);
  push_string_argument(filter);
  dispatch_key(kOpBuildDynFilter, &k);
}

std::string Send(FileBlock& f, const std::string& command) {
  push_string_argument(command);
  call(kOpSend, f);
  return pop_string_result();
}
void Stream(FileBlock& f) { call(kOpStream, f); }
void Flush(FileBlock& f) { call(kOpFlush, f); }
void Logout(int32_t seconds, const std::vector<FileBlock*>& files) {
  if (!t_enlisted.empty()) {
    core::clear_error();
    core::post_error(kLogoutActive);
    return;
  }
  for (FileBlock* f : files) {
    call(kOpLogout, *f, seconds);
    if (core::error_code() == 0) {
      t_enlisted.push_back(f);
      continue;
    }
    // The files enlisted so far leave again; the error stays the LOGOUT's.
    int code = core::error_code();
    std::string file = core::error_file();
    Rollback();
    core::post_error(code);
    core::set_error_file(file);
    return;
  }
}
void Commit() { end_transaction(kOpCommit); }
void Rollback() { end_transaction(kOpRollback); }

void Hold(FileBlock& f) { call(kOpHoldFile, f); }
void Hold(FileBlock& f, int32_t seconds) { call(kOpHoldFileSec, f, seconds); }
void Release(FileBlock& f) { call(kOpRelease, f); }
void Watch(FileBlock& f) { call(kOpWatch, f); }
void Lock(FileBlock& f) { call(kOpLockFile, f); }
void Lock(FileBlock& f, int32_t seconds) { call(kOpLockFileSec, f, seconds); }
void Unlock(FileBlock& f) { call(kOpUnlock, f); }
void Nomemo(FileBlock& f) { call(kOpNomemo, f); }

bool Null(FileBlock& f, int32_t field) { return call(kOpNull, f, field) != 0; }
void SetNull(FileBlock& f, int32_t field) { call(kOpSetNull, f, field); }
void SetNonull(FileBlock& f, int32_t field) { call(kOpSetNonull, f, field); }
int32_t BlobSize(FileBlock& f, int32_t blob) { return call(kOpBlobSize, f, blob); }
void BuildEvent(FileBlock& f, BuildProgress progress, void* context) {
  call(kOpBuildEvent, f, reinterpret_cast<DriverArg>(progress), reinterpret_cast<DriverArg>(context));
}

}  // namespace vrt::data
