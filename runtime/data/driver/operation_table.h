// The driver operations: codes, the names traces print, and the five state
// masks of each (required, forbidden, set on success, cleared on success,
// cleared on failure) with which every call is checked and answered.
#pragma once
#include <cstdint>

namespace vrt::data {

enum Operation : int32_t {
  kOpAdd = 1,
  kOpBof = 2,
  kOpBuildFile = 3,
  kOpAppend = 4,
  kOpBuildDyn = 5,
  kOpBuildKey = 6,
  kOpClose = 7,
  kOpCommit = 8,
  kOpCopy = 9,
  kOpCreate = 10,
  kOpDelete = 11,
  kOpDuplicate = 12,
  kOpEmpty = 13,
  kOpEof = 14,
  kOpGetFileKey = 15,
  kOpGetFilePtr = 16,
  kOpGetKeyPtr = 17,
  kOpHoldFile = 18,
  kOpHoldFileSec = 19,
  kOpLockFile = 20,
  kOpLockFileSec = 21,
  kOpLogout = 22,
  kOpName = 23,
  kOpNext = 24,
  kOpOpen = 25,
  kOpPack = 26,
  kOpPointerFile = 27,
  kOpPointerKey = 28,
  kOpFlush = 29,
  kOpPut = 30,
  kOpPrevious = 31,
  kOpRecordsFile = 32,
  kOpRecordsKey = 33,
  kOpBuildDynFilter = 34,
  kOpRelease = 36,
  kOpRemove = 37,
  kOpRename = 38,
  kOpRollback = 40,
  kOpSetFile = 41,
  kOpSetFileKey = 42,
  kOpSetFilePtr = 43,
  kOpSetKey = 44,
  kOpSetKeyKey = 45,
  kOpSetKeyPtr = 46,
  kOpSetKeyKeyPtr = 47,
  kOpShare = 48,
  kOpSkip = 49,
  kOpUnlock = 50,
  kOpAddFileLen = 51,
  kOpBytes = 52,
  kOpGetFilePtrLen = 53,
  kOpPutFilePtr = 54,
  kOpPutFilePtrLen = 55,
  kOpStream = 56,
  kOpDuplicateKey = 57,
  kOpWatch = 58,
  kOpAppendLen = 59,
  kOpSend = 60,
  kOpPositionFile = 61,
  kOpPositionKey = 62,
  kOpResetFile = 63,
  kOpResetKey = 64,
  kOpNomemo = 65,
  kOpRegetFile = 66,
  kOpRegetKey = 67,
  kOpNull = 68,
  kOpSetNull = 69,
  kOpSetNonull = 70,
  kOpSetProperty = 71,
  kOpGetProperty = 72,
  kOpQueryKey = 73,
  kOpQueryView = 74,
  kOpBlobYield = 75,
  kOpBlobTake = 76,
  kOpBlobSize = 77,
  kOpBlobGetProp = 78,
  kOpBlobSetProp = 79,
  kOpBuffer = 80,
  kOpSetView = 81,
  kOpClear = 82,
  kOpResetViewFile = 83,
  kOpBuildEvent = 84,
  kOpSetPropertyKey = 85,
  kOpGetPropertyKey = 86,
  kOpDoProperty = 88,
  kOpDoPropertyKey = 89,
  kOpDoPropertyBlob = 90,
  kOpDriverEntry = 91,
  kOpInView = 92,
  kOpEndView = 93,
  kOpCountRecords = 95,
  kOpLastCode = 95,
};

struct OperationRow {
  const char* name;
  uint32_t required;
  uint32_t forbidden;
  uint32_t set_on_success;
  uint32_t cleared_on_success;
  uint32_t cleared_on_failure;
  bool key_form;       // the argument vector starts with a key block
  uint8_t pops;        // strings taken from the string stack
  bool gives_string;   // pushes a string result
  uint8_t class_word;  // ORed into the file's class word after success
};

// The row of an operation code; codes outside 0..95 get an empty row with
// an empty name.
const OperationRow& operation_row(int32_t code);
const char* operation_name(int32_t code);

}  // namespace vrt::data
