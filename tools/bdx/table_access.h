// Opening a table of a file by its stored definition, and reading and
// writing fields as text, for the record commands.
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::bdx_tool {

// Declares the file block from the table's stored definition and opens it:
// a BDX file's table, or a table on a server (server_table.h).
// Returns 0 or the error posted.
int open_stored_table(const std::string& name, data::FileBlock& file, int32_t mode);

// The field's value as text (strings without trailing blanks); groups give
// nothing.
std::string field_text(data::FileBlock& file, size_t field);
// The field number (from 0) of a label, with or without its prefix; -1.
int field_by_label(const data::FileDeclaration& declaration, const std::string& label);
// The memo or blob number (from 0) of a label, with or without its prefix; -1.
int memo_by_label(const data::FileDeclaration& declaration, const std::string& label);
// The key number (from 0) of a label or of a number from 1; -1.
int key_by_label(const data::FileDeclaration& declaration, const std::string& label);

}  // namespace vrt::bdx_tool
