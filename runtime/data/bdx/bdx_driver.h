// The native "BRINDLEX" driver: its entry operation, to be placed in the
// first field of a file block.
#pragma once
#include "runtime/data/driver/file_block.h"

namespace vrt::data {

inline constexpr const char* kBdxDriverName = "BRINDLEX";
inline constexpr const char* kBdxTraceSection = "QWBRINDLEX";

int32_t bdx_driver_entry(int32_t operation, FileBlock* file, const DriverArg* args);

// Makes a file block of the declaration, ready for OPEN or CREATE: the
// driver entry set, key blocks attached, the record buffer sized.
void make_bdx_file_block(FileBlock& file, FileDeclaration declaration);

}  // namespace vrt::data
