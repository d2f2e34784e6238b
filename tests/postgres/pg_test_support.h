// The server driver's tests: libpq pointed at the cluster that the test
// command started (scripts/pg-cluster.sh), a database of this test
// process's own, and a direct line to the server to look at what the
// driver left there.
#pragma once
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "runtime/data/postgres/postgres_driver.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::test {

// Runs one statement on its own connection; the first value of the first
// row, "" when there is none, "ERROR: ..." when it fails.
inline std::string sql_value(const std::string& sql, const char* database = nullptr) {
  std::string info = "connect_timeout=10";
  if (database) info += std::string(" dbname=") + database;
  PGconn* c = PQconnectdb(info.c_str());
  PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
  std::string value;
  if (PQstatus(c) != CONNECTION_OK) {
    value = std::string("ERROR: ") + PQerrorMessage(c);
  } else {
    PGresult* r = PQexec(c, sql.c_str());
    ExecStatusType s = PQresultStatus(r);
    if (s == PGRES_TUPLES_OK && PQntuples(r) > 0) value = PQgetvalue(r, 0, 0);
    else if (s != PGRES_TUPLES_OK && s != PGRES_COMMAND_OK) value = std::string("ERROR: ") + PQresultErrorMessage(r);
    PQclear(r);
  }
  PQfinish(c);
  return value;
}

// Once per process: the environment that libpq reads (the driver connects
// through it when the profile names no server) and a fresh database.
inline void use_test_database() {
  static bool ready = [] {
    setenv("VORTHAL_WININI", "/nonexistent/vorthal-test.ini", 1);
    setenv("PGHOST", VRT_PG_SOCKET_DIR, 1);
    setenv("PGUSER", "vrt", 1);
    std::string name = "vrt_test_" + std::to_string(getpid());
    sql_value("DROP DATABASE IF EXISTS " + name, "postgres");
    std::string made = sql_value("CREATE DATABASE " + name, "postgres");
    EXPECT_EQ(made, "") << "is the cluster running? (ctest starts it; or scripts/pg-cluster.sh start "
                        << VRT_PG_SOCKET_DIR << ")";
    setenv("PGDATABASE", name.c_str(), 1);
    return true;
  }();
  (void)ready;
}

// A file block of the server driver for the declaration, on table `table`.
inline void make_pg_file(data::FileBlock& f, const std::string& text, const std::string& table) {
  use_test_database();
  data::FileDeclaration d = parse(text);
  d.name = table;
  data::make_postgres_file_block(f, std::move(d));
}

}  // namespace vrt::test
