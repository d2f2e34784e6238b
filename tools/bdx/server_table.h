// Tables on a database server as bdx names them: a PostgreSQL URI, then
// "\!" and the table, as a BDX file's table is named
// ("postgresql://clerk@db.example/office\!customer").
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::bdx_tool {

bool is_server_name(const std::string& name);

struct ServerTable {
  std::string uri;
  std::string table;  // in lower case; "" when the name gives none
};
ServerTable split_server_name(const std::string& name);

// Opens a table on the server by the declaration stored with it. Returns 0
// or the error posted.
int open_server_table(const std::string& name, data::FileBlock& file, int32_t mode);

// A file block of the server driver for the declaration, on the server and
// table named (the table taken from the declaration when the name has none).
void make_server_file(const std::string& name, data::FileBlock& file, data::FileDeclaration declaration);

}  // namespace vrt::bdx_tool
