// How a FILE's name selects a file and a table: "PEOPLE.BDX\!PERSONS" is
// the table PERSONS of the file PEOPLE.BDX. The first "\!" before which the
// name is not an existing directory splits the two; the table name is
// upper-cased with the runtime's case table. Without "\!" the table is
// "UNNAMED"; a file part without an extension gets ".BDX".
#pragma once
#include <string>

namespace vrt::data {

struct TableAddress {
  std::string file;  // with its extension
  std::string table;
};

TableAddress split_table_name(const std::string& name);

// The file's full name (absolute, "." and ".." resolved), by which tables of
// the same file share one open.
std::string full_file_name(const std::string& file);

}  // namespace vrt::data
