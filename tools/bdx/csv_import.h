// CSV into a table, as bdx import reads it, and the text forms of values
// that bdx dump writes.
//
// The first line names fields, memos and blobs by label (with or without
// the prefix); each further record is one ADD. A quoted value may span
// lines (its line ends are kept); a memo is its text, a blob its bytes in
// hexadecimal; a field takes only what it can hold (field_input.h). Records
// are written in batches, each one safe update; a record that fails ends
// the import with nothing of it stored, the records before it kept.
#pragma once
#include <istream>
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::bdx_tool {

struct ImportResult {
  long stored = 0;      // records stored
  long line = 0;        // the first line of the record that ended the import
  std::string problem;  // what was wrong there ("error 40: ...", "T:S: ...")
};

// Imports into the open table; false when a record ended the import.
bool import_csv(data::FileBlock& file, std::istream& in, ImportResult* result);

// A value for the tab form: tabs, line ends and backslashes escaped.
std::string tab_value(const std::string& value);
std::string to_hex(const std::string& bytes);

}  // namespace vrt::bdx_tool
