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
  // A lost connection is tried again once when no transaction is open;
  // inside one, a failed statement is undone alone (a savepoint around it),
  // as a failed operation leaves a BDX file's pending updates alone.
  PgOutcome run(const std::string& sql, const std::vector<PgParam>& params = {});

  // One SQL transaction serves LOGOUT's files and the row locks of HOLD.
  bool in_transaction() const { return transaction_open_; }
  // Counts each BEGIN: a hold taken in an earlier transaction is gone.
  uint64_t transaction_serial() const { return serial_; }
  int begin_for(int files);  // LOGOUT of a file
  int end(bool commit);      // COMMIT or ROLLBACK: the first file's ends it
  // HOLD: a transaction for the row locks when none is open; it ends when
  // the last hold is released, unless a LOGOUT made it its own.
  int begin_hold();
  void held(int delta);
  std::mutex& mutex() { return mutex_; }
  // A server named by a URI (postgresql://user@host:port/database) in place
  // of the profile's; the next statement connects to it.
  void use_server(const std::string& uri);

 private:
  bool connected();
  PgOutcome exec(const std::string& sql, const std::vector<PgParam>& params);
  std::mutex mutex_;
  PGconn* conn_ = nullptr;
  std::string uri_;
  int owner_pid_ = 0;  // a forked child never speaks on its parent's socket
  int transaction_files_ = 0;
  bool transaction_open_ = false;
  bool logout_ = false;  // the transaction is LOGOUT's, not only HOLD's
  // The connection was lost inside LOGOUT's transaction: its work is gone,
  // and nothing runs until COMMIT or ROLLBACK has heard so.
  bool broken_ = false;
  int holds_ = 0;
  int end_code_ = 0;
  uint64_t serial_ = 0;
};

// The session of this process.
PgSession& pg_session();

// "name" with inner quotes doubled: the one way identifiers enter SQL.
std::string quote_identifier(const std::string& name);

}  // namespace vrt::data
