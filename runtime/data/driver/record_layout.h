// Field offsets inside the record buffer: fields follow one another in
// declaration order, a GROUP's fields lie inside it, and a field declared
// OVER another starts where that one starts and takes no room of its own.
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

// Fills every field's offset and the record length; false when the layout
// is impossible (an OVER that names a later field or reaches past the
// record, a group that runs past the end of the list, a zero-sized field, a
// record over 65535 bytes).
bool lay_out_record(FileDeclaration& declaration);

// The field number (from 1) of a label, compared without regard to case;
// 0 when there is none.
int find_field(const FileDeclaration& declaration, const std::string& label);

}  // namespace vrt::data
