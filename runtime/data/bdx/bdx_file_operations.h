// The native driver's handlers for COPY, RENAME, PACK, NULL, SETNULL,
// SETNONULL, BLOB_SIZE, BUILDevent and BUFFER, added to its handler table.
#pragma once
#include "runtime/data/driver/driver_call.h"

namespace vrt::data {

void add_file_operations(OperationHandler* handlers);

}  // namespace vrt::data
