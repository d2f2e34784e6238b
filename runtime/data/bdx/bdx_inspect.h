// Looking into a BDX file from outside the statements: its tables, its
// header and page areas, and the checker that walks the whole tree (page
// decoding, key order, every key entry against its record and every record
// against its keys, counters, the header). The bdx tool and the tests use it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/driver/file_block.h"

namespace vrt::data {

struct TableSummary {
  std::string name;
  uint32_t number = 0;
  bool definition_sound = false;
  FileDeclaration declaration;  // from the stored definition
  uint32_t records = 0;         // the data counter
};

struct FileSummary {
  BdxHeader header;
  uint64_t file_size = 0;
  uint32_t pages[kPageClasses] = {};  // pages in use per class
  uint32_t levels = 0;
  uint64_t records = 0;  // records of the tree
  bool damaged = false;  // a page could not be read or is out of place
  std::vector<TableSummary> tables;
};

// Each function takes the owner of an encrypted file.
// Reads the file's header, pages and tables (as far as the pages can be
// read). Returns 0 or an error code (2 missing, 36 not a BDX file).
int summarize_file(const std::string& path, FileSummary* summary, const std::string& owner = std::string());

// Every problem of the file, one line each; empty for a sound file. A file
// that cannot be read at all gives one line.
std::vector<std::string> check_file(const std::string& path, const std::string& owner = std::string());

// Resolves an update that a crash left bracketed (offsets 6 and 10 differ),
// as the next opener would: a whole shadow area is rolled forward, a torn one
// rolled back. Returns 0 or an error code.
enum class Recovery { NothingToDo, RolledForward, RolledBack };
int recover_file(const std::string& path, Recovery* outcome, const std::string& owner = std::string());

// The declaration of a table as stored, for a file block that opens it
// (the name carries the table with "\!" unless it is UNNAMED). 36 when a
// page of the file is damaged, 2 when the table is not there. With an owner
// (an encrypted file) the declaration carries it, so that it opens the file.
int stored_declaration(const std::string& file_name, FileDeclaration* declaration,
                       const std::string& owner = std::string());

}  // namespace vrt::data
