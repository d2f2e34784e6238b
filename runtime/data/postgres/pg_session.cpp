#include "runtime/data/postgres/pg_session.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/data/driver/driver_errors.h"
#include "runtime/platform/os/profile.h"

namespace vrt::data {

namespace {

constexpr const char* kProfileSection = "Vorthal PostgreSQL";

// The server's error classes (SQLSTATE) as the driver's codes; the first
// entry whose prefix matches wins, anything else is 90.
struct StateCode {
  const char* prefix;
  int code;
};
constexpr StateCode kStateCodes[] = {
    {"23505", kDuplicateKey},        // unique violation
    {"55P03", kRecordHeld},          // lock not available (NOWAIT, lock timeout)
    {"40P01", kAccessDenied},        // deadlock: this station gives way
    {"42P01", kFileNotFound},        // no such table
    {"42703", kInvalidDeclaration},  // the table lacks a declared column
    {"42501", kAccessDenied},        // no privilege
    {"08", kServerNotFound},         // connection exceptions
    {"57P", kServerNotFound},        // server shutting down
};

int code_of_state(const char* state) {
  if (!state) return kFileSystemError;
  for (const StateCode& s : kStateCodes)
    if (std::strncmp(state, s.prefix, std::strlen(s.prefix)) == 0) return s.code;
  return kFileSystemError;
}

}  // namespace

long PgOutcome::affected() const {
  const char* n = result ? PQcmdTuples(result.get()) : "";
  return *n ? std::strtol(n, nullptr, 10) : 0;
}

bool PgSession::connected() {
  if (conn_ && owner_pid_ != getpid()) {
    // A forked child never speaks on its parent's socket, nor takes over
    // its transaction.
    conn_ = nullptr;
    transaction_files_ = end_code_ = 0;
    broken_ = false;
  }
  if (conn_ && PQstatus(conn_) == CONNECTION_OK) return true;
  if (conn_) {
    PQfinish(conn_);
    conn_ = nullptr;
  }
  // Keys left empty in the profile fall back to libpq's own (PGHOST ...).
  const char* names[] = {"Server", "Port", "Database", "User"};
  const char* keywords[] = {"host", "port", "dbname", "user"};
  std::string values[4];
  std::vector<const char*> keys, vals;
  for (int i = 0; i < 4 && uri_.empty(); ++i) {
    values[i] = platform::GetProfileString(kProfileSection, names[i], "");
    if (values[i].empty()) continue;
    keys.push_back(keywords[i]);
    vals.push_back(values[i].c_str());
  }
  if (!uri_.empty()) {
    keys.push_back("dbname");  // a URI in dbname stands for all its parts
    vals.push_back(uri_.c_str());
  }
  // No wait without an end: connecting and waiting for a row lock both time
  // out.
  keys.push_back("connect_timeout");
  vals.push_back("10");
  keys.push_back("options");
  vals.push_back("-c lock_timeout=2000");
  keys.push_back("application_name");
  vals.push_back("vorthal");
  keys.push_back(nullptr);
  vals.push_back(nullptr);
  conn_ = PQconnectdbParams(keys.data(), vals.data(), uri_.empty() ? 0 : 1);
  // The server's notices ("table does not exist, skipping") are not errors.
  PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
  owner_pid_ = getpid();
  transaction_open_ = false;
  logout_ = false;
  holds_ = 0;
  return PQstatus(conn_) == CONNECTION_OK;
}

PgOutcome PgSession::run(const std::string& sql, const std::vector<PgParam>& params) {
  if (broken_) {
    PgOutcome lost;
    lost.code = kServerNotFound;
    lost.message = "the connection to the server was lost inside a transaction";
    return lost;
  }
  // A plain read changes nothing that a savepoint would need to undo.
  bool plain_read = sql.rfind("SELECT ", 0) == 0 && sql.find(" FOR UPDATE") == std::string::npos;
  if (!transaction_open_ || plain_read) return exec(sql, params);
  PgOutcome mark = exec("SAVEPOINT vrt_step", {});
  if (!mark.ok()) return mark;
  PgOutcome out = exec(sql, params);
  if (transaction_open_) exec(out.ok() ? "RELEASE SAVEPOINT vrt_step" : "ROLLBACK TO SAVEPOINT vrt_step", {});
  return out;
}

PgOutcome PgSession::exec(const std::string& sql, const std::vector<PgParam>& params) {
  PgOutcome out;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!connected()) {
      out.code = kServerNotFound;
      out.message = conn_ ? PQerrorMessage(conn_) : "out of memory";
      return out;
    }
    std::vector<const char*> values;
    for (const PgParam& p : params) values.push_back(p.null ? nullptr : p.text.c_str());
    out.result.reset(PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr, values.data(),
                                  nullptr, nullptr, 0));
    ExecStatusType status = out.result ? PQresultStatus(out.result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      out.code = kOk;
      return out;
    }
    bool lost = PQstatus(conn_) != CONNECTION_OK;
    out.message = out.result ? PQresultErrorMessage(out.result.get()) : PQerrorMessage(conn_);
    out.code = lost ? kServerNotFound
                    : code_of_state(out.result ? PQresultErrorField(out.result.get(), PG_DIAG_SQLSTATE) : nullptr);
    // A statement on a lost connection is sent again on a new one, unless a
    // transaction was open: its work is gone and the caller must hear so.
    if (!lost || transaction_open_) break;
  }
  if (out.code == kServerNotFound && transaction_open_) {
    broken_ = logout_;
    transaction_open_ = logout_ = false;
    holds_ = 0;
  }
  return out;
}

int PgSession::begin_for(int files) {
  if (!transaction_open_) {
    PgOutcome o = exec("BEGIN", {});
    if (!o.ok()) return o.code;
    transaction_open_ = true;
    transaction_files_ = 0;
    ++serial_;
  }
  logout_ = true;
  transaction_files_ += files;
  return kOk;
}

int PgSession::end(bool commit) {
  if (transaction_files_ > 0) --transaction_files_;
  int code = end_code_;  // the later files of one COMMIT answer as the first
  if (broken_) {
    broken_ = false;
    code = commit ? kUnableToLogTransaction : kOk;
  } else if (transaction_open_ && logout_) {
    // The first file's COMMIT or ROLLBACK ends the one transaction of them all.
    transaction_open_ = false;
    logout_ = false;
    holds_ = 0;
    PgOutcome o = exec(commit ? "COMMIT" : "ROLLBACK", {});
    code = o.ok() ? kOk : commit ? kUnableToLogTransaction : kUnableToRollback;
    // A COMMIT of a transaction that failed on the server rolls it back.
    if (o.ok() && commit && std::strcmp(PQcmdStatus(o.result.get()), "ROLLBACK") == 0) code = kUnableToLogTransaction;
  }
  end_code_ = transaction_files_ > 0 ? code : kOk;
  return code;
}

int PgSession::begin_hold() {
  if (transaction_open_) return kOk;
  PgOutcome o = exec("BEGIN", {});
  if (!o.ok()) return o.code;
  transaction_open_ = true;
  logout_ = false;
  holds_ = 0;
  ++serial_;
  return kOk;
}

void PgSession::held(int delta) {
  holds_ = std::max(0, holds_ + delta);
  if (holds_ > 0 || logout_ || !transaction_open_) return;
  transaction_open_ = false;
  exec("COMMIT", {});
}

void PgSession::use_server(const std::string& uri) {
  if (conn_ && owner_pid_ == getpid()) PQfinish(conn_);
  conn_ = nullptr;
  uri_ = uri;
}

PgSession& pg_session() {
  static PgSession session;
  return session;
}

std::string quote_identifier(const std::string& name) {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

}  // namespace vrt::data
