// The common frame of every driver call: the state check before the
// operation, the state update after it, and the posting of its result.
//
//   dispatcher ── driver entry ── run_driver_call ── check masks
//                                                 ├─ handler (the driver's work)
//                                                 ├─ apply masks
//                                                 └─ post ERRORCODE / ERRORFILE
#pragma once
#include <cstdint>
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

struct DriverCall {
  int32_t operation;
  FileBlock* file;
  KeyBlock* key;  // for key forms, the key block (first argument)
  const DriverArg* args;
  int32_t result = 0;  // the statement's result (BOF, RECORDS, POINTER ...)
  // Popped string arguments, in the order pushed.
  std::string strings[2];
};

// A driver's work for one operation: returns 0, -1 (already posted) or an
// error code.
using OperationHandler = int (*)(DriverCall& call);

// Checks the file state against the operation's masks. Returns 0 when the
// operation may go ahead, -1 when it fails without a new code, else the
// code to post.
int check_operation_state(int32_t operation, const FileBlock& file, const KeyBlock* key);

// Updates the state after the operation.
void apply_operation_state(int32_t operation, FileBlock& file, KeyBlock* key, bool success);

// Posts a result code: nothing for 0 and -1; else ERRORCODE, ERROR() and
// ERRORFILE (and, for 90, FILEERROR from the system's last error).
void post_driver_result(const FileBlock& file, int code);

// Runs one call through the frame with the driver's handler table (indexed
// by operation code; null entries answer 80). Returns the statement result.
int32_t run_driver_call(int32_t operation, FileBlock* file, const DriverArg* args,
                        const OperationHandler* handlers, int* last_error);

}  // namespace vrt::data
