// The data statements as runtime functions. Each is a thin stub: it pushes
// its string arguments on the string stack, hands the operation code, the
// file block and the arguments to the dispatcher, and returns the statement's
// result. Success or failure is read through ERRORCODE.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

// Access modes of OPEN and SHARE: access in bits 0-1, sharing in bits 4-6.
enum AccessMode : int32_t {
  kReadOnly = 0x0,
  kWriteOnly = 0x1,
  kReadWrite = 0x2,
  kShareCompat = 0x00,
  kDenyAll = 0x10,
  kDenyWrite = 0x20,
  kDenyRead = 0x30,
  kDenyNone = 0x40,
};

void Open(FileBlock& file, int32_t mode = kReadWrite | kDenyNone);
void Share(FileBlock& file, int32_t mode = kReadWrite | kDenyNone);
void Create(FileBlock& file);
void Close(FileBlock& file);
void Remove(FileBlock& file);
// COPY and RENAME of a file that is not open in this block; the new name
// names a file.
void Copy(FileBlock& file, const std::string& new_name);
void Rename(FileBlock& file, const std::string& new_name);
void Pack(FileBlock& file);
std::string Name(FileBlock& file);

void Set(FileBlock& file);
void Set(FileBlock& file, KeyBlock& key);
void Set(FileBlock& file, int32_t pointer);
void Set(KeyBlock& key);
void Set(KeyBlock& key, KeyBlock& value_key);
void Set(KeyBlock& key, int32_t key_pointer);
void Set(KeyBlock& key, KeyBlock& value_key, int32_t pointer);
void Next(FileBlock& file);
void Previous(FileBlock& file);
void Skip(FileBlock& file, int32_t count);
bool Bof(FileBlock& file);
bool Eof(FileBlock& file);

void Get(FileBlock& file, KeyBlock& key);
void Get(FileBlock& file, int32_t pointer);
void Get(FileBlock& file, int32_t pointer, int32_t length);
void Get(KeyBlock& key, int32_t key_pointer);
void Reget(FileBlock& file, const std::string& position);
void Reget(KeyBlock& key, const std::string& position);
void Reset(FileBlock& file, const std::string& position);
void Reset(KeyBlock& key, const std::string& position);

void Add(FileBlock& file);
void Add(FileBlock& file, int32_t length);
void Append(FileBlock& file);
void Append(FileBlock& file, int32_t length);
void Put(FileBlock& file);
void Put(FileBlock& file, int32_t pointer);
void Put(FileBlock& file, int32_t pointer, int32_t length);
void Delete(FileBlock& file);
void Empty(FileBlock& file);
bool Duplicate(FileBlock& file);
bool Duplicate(KeyBlock& key);

int32_t Records(FileBlock& file);
int32_t Records(KeyBlock& key);
int32_t Pointer(FileBlock& file);
int32_t Pointer(KeyBlock& key);
int32_t Bytes(FileBlock& file);
std::string Position(FileBlock& file);
std::string Position(KeyBlock& key);

void Build(FileBlock& file);
void Build(KeyBlock& key);
void Build(KeyBlock& index, const std::string& components);
void Build(KeyBlock& index, const std::string& components, const std::string& filter);

std::string Send(FileBlock& file, const std::string& command);
void Stream(FileBlock& file);
void Flush(FileBlock& file);
void Hold(FileBlock& file);
void Hold(FileBlock& file, int32_t seconds);
void Release(FileBlock& file);
void Watch(FileBlock& file);
void Lock(FileBlock& file);
void Lock(FileBlock& file, int32_t seconds);
void Unlock(FileBlock& file);
void Nomemo(FileBlock& file);

// NULL, SETNULL and SETNONULL of a field (its number from 1).
bool Null(FileBlock& file, int32_t field);
void SetNull(FileBlock& file, int32_t field);
void SetNonull(FileBlock& file, int32_t field);
// The bytes of a blob or memo (its number from 0) in the buffer.
int32_t BlobSize(FileBlock& file, int32_t blob);
// BUILD's progress: while a BUILD of the file runs, the callback hears of
// the records done of all every 1000 records and at the end; false from it
// cancels the BUILD (93 "BUILD Cancelled"), which then changes nothing. A
// null callback switches the reports off.
void BuildEvent(FileBlock& file, BuildProgress progress, void* context);

// A transaction over the files given: their updates wait for COMMIT, which
// writes them all or none, or for ROLLBACK, which forgets them. A LOGOUT
// that fails for one file leaves none enlisted. COMMIT and ROLLBACK without
// a LOGOUT post 91.
void Logout(int32_t seconds, const std::vector<FileBlock*>& files);
void Commit();
void Rollback();

}  // namespace vrt::data
