// The declarations of the driver's tables, kept on the server beside them
// (table "vrt_declarations": table name, declaration in source form), so
// that a tool can open a table without the program's dictionary: bdx dump,
// query and copy of a table on the server.
#pragma once
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/postgres/pg_session.h"

namespace vrt::data {

struct PgStatement {
  std::string sql;
  std::vector<PgParam> params;
};

// What CREATE adds to its statements: the table of declarations when it is
// missing, and this table's declaration in it.
std::vector<PgStatement> store_declaration(const std::string& table, const FileDeclaration& declaration);
PgStatement forget_declaration(const std::string& table);

// OPEN: 47 "Invalid Record Declaration" when the declaration stored with
// the table is not this one (a table made by hand has none: 0).
int check_declaration(const std::string& table, const FileDeclaration& declaration, std::string* message);

// The stored declaration of a table, laid out, for the server driver.
// Returns 0, 2 "File Not Found" (no declaration stored), 47 (one that does
// not parse), or the session's error, with the reason in *message.
int stored_pg_declaration(const std::string& table, FileDeclaration* declaration, std::string* message);

// Runs the statements together: in the LOGOUT transaction when one is
// open, else in one of their own.
int run_together(const std::vector<PgStatement>& statements, std::string* message);

}  // namespace vrt::data
