// The same customer workload on the BDX driver and on SQLite (WAL,
// synchronous FULL), each in a process of its own, with every figure for
// both and their ratio. Usage: bdx_sqlite_bench [N] (default 100 000 rows).
//
// Workload: a Customer table (CUSID LONG, NAME STRING(20) unique NOCASE,
// FIRSTDATE LONG, FIRSTTIME LONG, SUBURB STRING(20), PHONE STRING(20),
// EMAIL STRING(100), WEBSITE STRING(200)) with the application's keys.
//   1. ADD one record per durable update (the first 5 000)
//   2. bulk load: STREAM, APPEND, FLUSH, BUILD / inserts in one transaction
//   3. full scan in NAME order
//   4. N random GETs by CUSID and by NAME
//   5. 1 000 browse page fills: SET(key, key) at a random SUBURB, 20 NEXT
//   6. PUT of every record in CUSID order (STREAM ... FLUSH / one transaction)
//   7. DELETE of a random 10 % (likewise)
//   8. file size; peak resident memory of the process; the file checker
//      over both BDX files
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Row {
  int32_t id, date, time;
  std::string name, suburb, phone, email, website;
};

struct Figures {
  double durable_adds = 0;   // per second
  double bulk_rows = 0;      // per second
  double scan_rows = 0;      // per second
  double gets_by_id = 0;     // per second
  double gets_by_name = 0;   // per second
  double page_fill_us = 0;   // microseconds per 20-row page
  double puts = 0;           // per second
  double deletes = 0;        // per second
  double bytes_per_row = 0;  // file size / rows left
  double file_mb = 0;
  double peak_rss_mb = 0;
  int check_problems = 0;  // what the file checker finds in both BDX files
};

std::vector<Row> make_rows(int n) {
  std::mt19937 rng(42);
  std::vector<Row> rows(static_cast<size_t>(n));
  std::vector<std::string> suburbs;
  for (int i = 0; i < 200; ++i) suburbs.push_back("Suburb" + std::to_string(i * 7919 % 1000));
  auto letters = [&](int len) {
    std::string s;
    for (int i = 0; i < len; ++i) s += static_cast<char>('a' + rng() % 26);
    return s;
  };
  for (int i = 0; i < n; ++i) {
    Row& r = rows[static_cast<size_t>(i)];
    r.id = i + 1;
    std::string unique = std::to_string(i);
    r.name = letters(6 + static_cast<int>(rng() % 8)) + unique;
    r.name[0] = static_cast<char>(r.name[0] - 32);
    r.suburb = suburbs[rng() % suburbs.size()];
    r.phone = "555-" + std::to_string(1000000 + rng() % 9000000);
    r.email = r.name + "@example.com";
    r.website = "https://www." + r.name + ".example/";
    r.date = 70000 + static_cast<int32_t>(rng() % 10000);
    r.time = 1 + static_cast<int32_t>(rng() % 8640000);
  }
  return rows;
}

double peak_rss_mb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// ---- BDX

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER'),THREAD
CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE
CUS:BYEMAIL KEY(+CUS:EMAIL),DUP,OPT,NOCASE
CUS:BYPHONE KEY(+CUS:PHONE),DUP,OPT,NOCASE
CUS:BYSUBURB KEY(+CUS:SUBURB),DUP,OPT,NOCASE
CUS:BYID KEY(+CUS:CUSID),PRIMARY,OPT,NOCASE
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
CUS:FIRSTDATE LONG
CUS:FIRSTTIME LONG
CUS:SUBURB STRING(20)
CUS:PHONE STRING(20)
CUS:EMAIL STRING(100)
CUS:WEBSITE STRING(200)
END
END
)";

struct BdxCustomer {
  vrt::data::FileBlock file;
  uint32_t off[8];
  explicit BdxCustomer(const std::string& path) {
    vrt::data::FileDeclaration d;
    std::string message;
    vrt::data::parse_declaration(kDeclaration, &d, &message);
    d.name = path;
    vrt::data::make_bdx_file_block(file, std::move(d));
    for (int i = 0; i < 8; ++i) off[i] = file.declaration.fields[static_cast<size_t>(i)].offset;
  }
  void put_long(int field, int32_t v) { std::memcpy(file.record.data() + off[field], &v, 4); }
  void put_text(int field, const std::string& v, size_t size) {
    uint8_t* p = file.record.data() + off[field];
    std::memset(p, ' ', size);
    std::memcpy(p, v.data(), std::min(size, v.size()));
  }
  void load(const Row& r) {
    put_long(0, r.id);
    put_text(1, r.name, 20);
    put_long(2, r.date);
    put_long(3, r.time);
    put_text(4, r.suburb, 20);
    put_text(5, r.phone, 20);
    put_text(6, r.email, 100);
    put_text(7, r.website, 200);
  }
  vrt::data::KeyBlock& key(int n) { return file.declaration.keys[static_cast<size_t>(n)]; }
};

void must(const char* what) {
  if (vrt::core::error_code() != 0) {
    std::fprintf(stderr, "bdx: %s: error %d %s\n", what, vrt::core::error_code(), vrt::core::error_text().c_str());
    std::exit(1);
  }
}

Figures run_bdx(const std::string& dir, const std::vector<Row>& rows) {
  using namespace vrt::data;
  Figures f;
  int n = static_cast<int>(rows.size());
  std::mt19937 rng(7);
  {
    BdxCustomer c(dir + "/DURABLE.BDX");
    Create(c.file);
    Open(c.file);
    must("open");
    auto t = Clock::now();
    for (int i = 0; i < 5000 && i < n; ++i) {
      c.load(rows[static_cast<size_t>(i)]);
      Add(c.file);
      must("add");
    }
    f.durable_adds = std::min(5000, n) / seconds_since(t);
  }
  BdxCustomer c(dir + "/CUSTOMER.BDX");
  Create(c.file);
  Open(c.file, kReadWrite | kDenyAll);
  must("open");
  auto t = Clock::now();
  Stream(c.file);
  for (const Row& r : rows) {
    c.load(r);
    Append(c.file);
  }
  Flush(c.file);
  Build(c.file);
  must("bulk load");
  f.bulk_rows = n / seconds_since(t);

  t = Clock::now();
  int seen = 0;
  Set(c.key(0));
  while (Next(c.file), vrt::core::error_code() == 0) ++seen;
  if (seen != n) std::fprintf(stderr, "bdx: scan saw %d rows\n", seen);
  f.scan_rows = seen / seconds_since(t);

  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), rng);
  t = Clock::now();
  for (int i : order) {
    c.put_long(0, rows[static_cast<size_t>(i)].id);
    Get(c.file, c.key(4));
  }
  must("get by id");
  f.gets_by_id = n / seconds_since(t);
  t = Clock::now();
  for (int i : order) {
    c.put_text(1, rows[static_cast<size_t>(i)].name, 20);
    Get(c.file, c.key(0));
  }
  must("get by name");
  f.gets_by_name = n / seconds_since(t);

  t = Clock::now();
  for (int p = 0; p < 1000; ++p) {
    c.put_text(4, rows[rng() % rows.size()].suburb, 20);
    Set(c.key(3), c.key(3));
    for (int i = 0; i < 20; ++i) Next(c.file);
  }
  f.page_fill_us = seconds_since(t) * 1e6 / 1000;

  t = Clock::now();
  Stream(c.file);
  Set(c.key(4));
  int puts = 0;
  while (Next(c.file), vrt::core::error_code() == 0) {
    c.put_long(3, puts + 1);
    Put(c.file);
    must("put");
    ++puts;
  }
  Flush(c.file);
  must("flush");
  f.puts = puts / seconds_since(t);

  t = Clock::now();
  Stream(c.file);
  int deletes = n / 10;
  for (int i = 0; i < deletes; ++i) {
    c.put_long(0, rows[static_cast<size_t>(order[static_cast<size_t>(i)])].id);
    Get(c.file, c.key(4));
    Delete(c.file);
  }
  Flush(c.file);
  must("delete");
  f.deletes = deletes / seconds_since(t);
  Close(c.file);
  double size = static_cast<double>(std::filesystem::file_size(dir + "/CUSTOMER.BDX"));
  f.file_mb = size / 1e6;
  f.bytes_per_row = size / (n - deletes);
  f.peak_rss_mb = peak_rss_mb();
  for (const char* name : {"/DURABLE.BDX", "/CUSTOMER.BDX"})
    for (const std::string& problem : check_file(dir + name)) {
      std::fprintf(stderr, "bdx check %s: %s\n", name + 1, problem.c_str());
      ++f.check_problems;
    }
  return f;
}

// ---- SQLite

void exec(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s: %s\n", sql, message);
    std::exit(1);
  }
}

sqlite3* open_db(const std::string& path) {
  sqlite3* db;
  sqlite3_open(path.c_str(), &db);
  exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
  exec(db,
       "CREATE TABLE customer(cusid INTEGER PRIMARY KEY, name TEXT NOT NULL COLLATE NOCASE UNIQUE, "
       "firstdate INTEGER, firsttime INTEGER, suburb TEXT COLLATE NOCASE, phone TEXT COLLATE NOCASE, "
       "email TEXT COLLATE NOCASE, website TEXT);"
       "CREATE INDEX byemail ON customer(email); CREATE INDEX byphone ON customer(phone);"
       "CREATE INDEX bysuburb ON customer(suburb);");
  return db;
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* s;
  if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::exit(1);
  }
  return s;
}

void insert(sqlite3_stmt* s, const Row& r) {
  sqlite3_bind_int(s, 1, r.id);
  sqlite3_bind_text(s, 2, r.name.c_str(), -1, SQLITE_STATIC);
  sqlite3_bind_int(s, 3, r.date);
  sqlite3_bind_int(s, 4, r.time);
  sqlite3_bind_text(s, 5, r.suburb.c_str(), -1, SQLITE_STATIC);
  sqlite3_bind_text(s, 6, r.phone.c_str(), -1, SQLITE_STATIC);
  sqlite3_bind_text(s, 7, r.email.c_str(), -1, SQLITE_STATIC);
  sqlite3_bind_text(s, 8, r.website.c_str(), -1, SQLITE_STATIC);
  if (sqlite3_step(s) != SQLITE_DONE) std::exit(1);
  sqlite3_reset(s);
}

// Reads every column of the current row, as a record read would.
void read_row(sqlite3_stmt* s) {
  for (int c = 0; c < 8; ++c) (void)sqlite3_column_text(s, c);
}

Figures run_sqlite(const std::string& dir, const std::vector<Row>& rows) {
  Figures f;
  int n = static_cast<int>(rows.size());
  std::mt19937 rng(7);
  const char* kInsert = "INSERT INTO customer VALUES(?,?,?,?,?,?,?,?)";
  {
    sqlite3* db = open_db(dir + "/durable.db");
    sqlite3_stmt* s = prepare(db, kInsert);
    auto t = Clock::now();
    for (int i = 0; i < 5000 && i < n; ++i) insert(s, rows[static_cast<size_t>(i)]);
    f.durable_adds = std::min(5000, n) / seconds_since(t);
    sqlite3_finalize(s);
    sqlite3_close(db);
  }
  std::string path = dir + "/customer.db";
  sqlite3* db = open_db(path);
  sqlite3_stmt* ins = prepare(db, kInsert);
  auto t = Clock::now();
  exec(db, "BEGIN");
  for (const Row& r : rows) insert(ins, r);
  exec(db, "COMMIT");
  f.bulk_rows = n / seconds_since(t);
  sqlite3_finalize(ins);

  t = Clock::now();
  sqlite3_stmt* scan = prepare(db, "SELECT * FROM customer ORDER BY name");
  int seen = 0;
  while (sqlite3_step(scan) == SQLITE_ROW) {
    read_row(scan);
    ++seen;
  }
  sqlite3_finalize(scan);
  f.scan_rows = seen / seconds_since(t);

  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), rng);
  sqlite3_stmt* by_id = prepare(db, "SELECT * FROM customer WHERE cusid=?");
  t = Clock::now();
  for (int i : order) {
    sqlite3_bind_int(by_id, 1, rows[static_cast<size_t>(i)].id);
    if (sqlite3_step(by_id) == SQLITE_ROW) read_row(by_id);
    sqlite3_reset(by_id);
  }
  f.gets_by_id = n / seconds_since(t);
  sqlite3_finalize(by_id);
  sqlite3_stmt* by_name = prepare(db, "SELECT * FROM customer WHERE name=?");
  t = Clock::now();
  for (int i : order) {
    sqlite3_bind_text(by_name, 1, rows[static_cast<size_t>(i)].name.c_str(), -1, SQLITE_STATIC);
    if (sqlite3_step(by_name) == SQLITE_ROW) read_row(by_name);
    sqlite3_reset(by_name);
  }
  f.gets_by_name = n / seconds_since(t);
  sqlite3_finalize(by_name);

  sqlite3_stmt* page = prepare(db, "SELECT * FROM customer WHERE suburb >= ? ORDER BY suburb LIMIT 20");
  t = Clock::now();
  for (int p = 0; p < 1000; ++p) {
    std::string suburb = rows[rng() % rows.size()].suburb;
    sqlite3_bind_text(page, 1, suburb.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(page) == SQLITE_ROW) read_row(page);
    sqlite3_reset(page);
  }
  f.page_fill_us = seconds_since(t) * 1e6 / 1000;
  sqlite3_finalize(page);

  sqlite3_stmt* put = prepare(db, "UPDATE customer SET firsttime=? WHERE cusid=?");
  t = Clock::now();
  exec(db, "BEGIN");
  for (int i = 0; i < n; ++i) {
    sqlite3_bind_int(put, 1, i + 1);
    sqlite3_bind_int(put, 2, rows[static_cast<size_t>(i)].id);
    sqlite3_step(put);
    sqlite3_reset(put);
  }
  exec(db, "COMMIT");
  f.puts = n / seconds_since(t);
  sqlite3_finalize(put);

  sqlite3_stmt* del = prepare(db, "DELETE FROM customer WHERE cusid=?");
  int deletes = n / 10;
  t = Clock::now();
  exec(db, "BEGIN");
  for (int i = 0; i < deletes; ++i) {
    sqlite3_bind_int(del, 1, rows[static_cast<size_t>(order[static_cast<size_t>(i)])].id);
    sqlite3_step(del);
    sqlite3_reset(del);
  }
  exec(db, "COMMIT");
  f.deletes = deletes / seconds_since(t);
  sqlite3_finalize(del);
  exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  sqlite3_close(db);
  double size = static_cast<double>(std::filesystem::file_size(path));
  f.file_mb = size / 1e6;
  f.bytes_per_row = size / (n - deletes);
  f.peak_rss_mb = peak_rss_mb();
  return f;
}

// Runs one side in a child process, so that each has its own memory figure.
Figures in_child(Figures (*run)(const std::string&, const std::vector<Row>&), const std::string& dir,
                 const std::vector<Row>& rows) {
  int fd[2];
  if (pipe(fd) != 0) std::exit(1);
  pid_t pid = fork();
  if (pid == 0) {
    close(fd[0]);
    Figures f = run(dir, rows);
    if (write(fd[1], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) _exit(1);
    _exit(0);
  }
  close(fd[1]);
  Figures f;
  if (read(fd[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) std::fprintf(stderr, "a side failed\n");
  close(fd[0]);
  waitpid(pid, nullptr, 0);
  return f;
}

// The disk's flush latency: a 4 KB write and a flush, 200 times.
double flush_latency_us(const std::string& dir) {
  auto file = vrt::platform::File::open(dir + "/flush.probe", vrt::platform::Access::ReadWrite,
                                        vrt::platform::Share::DenyNone, vrt::platform::Disposition::CreateAlways);
  std::vector<char> block(4096, 'x');
  auto t = Clock::now();
  for (int i = 0; i < 200; ++i) {
    file->write_at(0, block.data(), block.size());
    file->flush();
  }
  return seconds_since(t) * 1e6 / 200;
}

}  // namespace

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string dir = vrt::platform::temp_directory() + "bdx_bench_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  std::vector<Row> rows = make_rows(n);
  double flush_us = flush_latency_us(dir);
  Figures b = in_child(run_bdx, dir, rows);
  Figures s = in_child(run_sqlite, dir, rows);
  std::filesystem::remove_all(dir);

  std::printf("rows: %d; flush latency of the disk: %.0f us\n\n", n, flush_us);
  std::printf("%-44s %14s %14s %8s\n", "figure", "BDX", "SQLite", "BDX/SQL");
  auto line = [](const char* name, double bdx, double sql, bool higher_better) {
    std::printf("%-44s %14.1f %14.1f %8.2f%s\n", name, bdx, sql, bdx / sql, higher_better ? "" : " (lower is better)");
  };
  line("1. durable ADDs per second (first 5000)", b.durable_adds, s.durable_adds, true);
  line("2. bulk load rows per second", b.bulk_rows, s.bulk_rows, true);
  line("3. NAME-order scan rows per second", b.scan_rows, s.scan_rows, true);
  line("4. random GETs by CUSID per second", b.gets_by_id, s.gets_by_id, true);
  line("4. random GETs by NAME per second", b.gets_by_name, s.gets_by_name, true);
  line("5. browse page (SET + 20 NEXT), us", b.page_fill_us, s.page_fill_us, false);
  line("6. PUTs per second, CUSID order", b.puts, s.puts, true);
  line("7. DELETEs per second, random 10 %", b.deletes, s.deletes, true);
  line("8. file size, MB", b.file_mb, s.file_mb, false);
  line("8. bytes per row on disk", b.bytes_per_row, s.bytes_per_row, false);
  line("8. peak resident memory, MB", b.peak_rss_mb, s.peak_rss_mb, false);
  std::printf("\nflushes per durable ADD: %.2f (at %.0f us each)\n", 1e6 / b.durable_adds / flush_us, flush_us);
  std::printf("bdx check of both files: %s\n", b.check_problems ? "PROBLEMS (above)" : "clean");
  return 0;
}
