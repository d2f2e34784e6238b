#include "runtime/data/postgres/pg_declarations.h"

#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/postgres/postgres_driver.h"

namespace vrt::data {

namespace {

constexpr const char* kDeclarations = "vrt_declarations";

// The declaration as stored: where the file lies is the table's business.
std::string stored_form(const std::string& table, const FileDeclaration& declaration) {
  FileDeclaration d = declaration;
  d.name = table;
  d.driver = kPostgresDriverName;
  return write_declaration(d, true);
}

}  // namespace

std::vector<PgStatement> store_declaration(const std::string& table, const FileDeclaration& declaration) {
  std::string name = quote_identifier(kDeclarations);
  return {{"CREATE TABLE IF NOT EXISTS " + name + " (table_name text PRIMARY KEY, declaration text NOT NULL)", {}},
          {"INSERT INTO " + name + " VALUES ($1, $2) ON CONFLICT (table_name) DO UPDATE SET declaration = $2",
           {{table, false}, {stored_form(table, declaration), false}}}};
}

PgStatement forget_declaration(const std::string& table) {
  return {"DELETE FROM " + quote_identifier(kDeclarations) + " WHERE table_name = $1", {{table, false}}};
}

int check_declaration(const std::string& table, const FileDeclaration& declaration, std::string* message) {
  PgOutcome o = pg_session().run(
      "SELECT declaration FROM " + quote_identifier(kDeclarations) + " WHERE table_name = $1", {{table, false}});
  if (o.code == kFileNotFound || (o.ok() && o.rows() == 0)) return kOk;
  if (!o.ok()) {
    *message = o.message;
    return o.code;
  }
  if (o.value(0, 0) == stored_form(table, declaration)) return kOk;
  *message = "table " + table + " was made for another declaration";
  return kInvalidDeclaration;
}

int stored_pg_declaration(const std::string& table, FileDeclaration* declaration, std::string* message) {
  PgOutcome o = pg_session().run(
      "SELECT declaration FROM " + quote_identifier(kDeclarations) + " WHERE table_name = $1", {{table, false}});
  if (o.code == kFileNotFound || (o.ok() && o.rows() == 0)) {
    *message = "no declaration of table " + table + " on the server";
    return kFileNotFound;
  }
  if (!o.ok()) {
    *message = o.message;
    return o.code;
  }
  if (!parse_declaration(o.value(0, 0), declaration, message)) return kInvalidDeclaration;
  declaration->driver = kPostgresDriverName;
  declaration->name = table;
  return kOk;
}

int run_together(const std::vector<PgStatement>& statements, std::string* message) {
  PgSession& s = pg_session();
  bool own = !s.in_transaction();
  std::vector<PgStatement> all;
  if (own) all.push_back({"BEGIN", {}});
  all.insert(all.end(), statements.begin(), statements.end());
  if (own) all.push_back({"COMMIT", {}});
  for (const PgStatement& statement : all) {
    PgOutcome o = s.run(statement.sql, statement.params);
    if (!o.ok()) {
      *message = o.message;
      if (own) s.run("ROLLBACK");
      return o.code;
    }
  }
  return kOk;
}

}  // namespace vrt::data
