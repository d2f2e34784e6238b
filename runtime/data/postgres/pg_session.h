// The process's one connection to the database server: opened on first
// use from the profile's "Vorthal PostgreSQL" section (Server, Port,
// Database, User; the password comes from libpq's password file or its
// environment, never from our profile), shared by every file of the driver
// and serialised by one mutex. A statement is always sent with its values as
// parameters; identifiers go through quote_identifier.
#pragma once
#include <libpq-fe.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vrt::data {

struct ResultDeleter {
  void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, ResultDeleter>;

// A parameter: text, or SQL NULL.
struct PgParam {
  std::string text;
  bool null = false;
};

// The outcome of a statement: 0 on success, else the driver error code it
// maps to, with the server's message.
struct PgOutcome {
  int code = 0;
  std::string message;
  PgResult result;
  bool ok() const { return code == 0; }
  int rows() const { return result ? PQntuples(result.get()) : 0; }
  const char* value(int row, int column) const { return PQgetvalue(result.get(), row, column); }
  bool is_null(int row, int column) const { return PQgetisnull(result.get(), row, column) != 0; }
  long affected() const;
};

class PgSession {
 public:
  // Runs one statement with its parameters (connecting first when needed).
  // A lost connection is tried again once when no transaction is open.
  PgOutcome run(const std::string& sql, const std::vector<PgParam>& params = {});

  // The SQL transaction of LOGOUT, and the files enlisted in it.
  bool in_transaction() const { return transaction_files_ > 0; }
  int begin_for(int files);  // opens the transaction when none is
  int end(bool commit);      // one enlisted file leaves; the first end ends it
  std::mutex& mutex() { return mutex_; }

 private:
  bool connected();
  std::mutex mutex_;
  PGconn* conn_ = nullptr;
  int owner_pid_ = 0;  // a forked child never speaks on its parent's socket
  int transaction_files_ = 0;
  bool transaction_open_ = false;
};

// The session of this process.
PgSession& pg_session();

// "name" with inner quotes doubled: the one way identifiers enter SQL.
std::string quote_identifier(const std::string& name);

}  // namespace vrt::data
