// REMOVE(file): the table the FILE's name selects leaves its BDX file, and
// the file itself goes with its last table. A file that another file block
// of this process, or another process, has open is left alone (5 "Access
// Denied"): its opener would go on writing into a file that is gone.
#pragma once
#include "runtime/data/driver/file_block.h"

namespace vrt::data {

// 0, or the error: 2 when the file or the table is missing, 5 when the file
// is open elsewhere, 45 for an empty table name.
int remove_table(const FileDeclaration& declaration);

}  // namespace vrt::data
