#include "tools/bdx/server_table.h"

#include <cctype>

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/postgres/pg_declarations.h"
#include "runtime/data/postgres/pg_table.h"
#include "runtime/data/postgres/postgres_driver.h"

namespace vrt::bdx_tool {

bool is_server_name(const std::string& name) {
  return name.rfind("postgresql://", 0) == 0 || name.rfind("postgres://", 0) == 0;
}

ServerTable split_server_name(const std::string& name) {
  size_t bang = name.find("\\!");
  ServerTable t{name.substr(0, bang), bang == std::string::npos ? "" : name.substr(bang + 2)};
  for (char& c : t.table) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t;
}

int open_server_table(const std::string& name, data::FileBlock& file, int32_t mode) {
  ServerTable t = split_server_name(name);
  data::pg_session().use_server(t.uri);
  data::FileDeclaration d;
  std::string message;
  int code = t.table.empty() ? static_cast<int>(data::kFileNotFound) : data::stored_pg_declaration(t.table, &d, &message);
  if (t.table.empty()) message = "name the table after the server: " + t.uri + "\\!TABLE";
  if (code != 0) {
    core::post_error(code);
    core::set_error_file(name);
    core::set_file_error_text(message);
    return code;
  }
  data::make_postgres_file_block(file, std::move(d));
  data::Open(file, mode);
  return core::error_code();
}

void make_server_file(const std::string& name, data::FileBlock& file, data::FileDeclaration declaration) {
  ServerTable t = split_server_name(name);
  data::pg_session().use_server(t.uri);
  declaration.name = t.table.empty() ? data::table_name_of(declaration) : t.table;
  declaration.driver = data::kPostgresDriverName;
  data::make_postgres_file_block(file, std::move(declaration));
}

}  // namespace vrt::bdx_tool
