// The common dispatcher: every statement stub hands its operation code, the
// file block and the argument vector here, and the driver entry found in the
// file block's first field does the rest.
#pragma once
#include <cstdint>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

// Calls the file's driver entry; a file block without a driver posts 80.
int32_t dispatch(int32_t operation, FileBlock* file, const DriverArg* args);

// A key form: the key's owning file block, with the key block first in the
// argument vector.
int32_t dispatch_key(int32_t operation, KeyBlock* key, DriverArg extra0 = 0, DriverArg extra1 = 0);

}  // namespace vrt::data
