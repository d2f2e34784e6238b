// The customer workload of bdx_sqlite_bench on the server driver, on a
// PostgreSQL cluster of its own (durable settings, unix socket) unless
// PGHOST names a server; then a browse page fill on a large table: SET at
// a random name and 20 rows in NAME order, read through a view (rows a page
// at a time) and by plain NEXT (one query a row).
// Usage: pg_server_bench [N] [BROWSE-ROWS] (defaults 100 000 and 1 000 000).
//
//   1. ADD one record per transaction (the first 5 000)
//   2. bulk load: LOGOUT ... COMMIT every 5 000 records
//   3. full scan in NAME order
//   4. N random GETs by CUSID and by NAME
//   5. 1 000 page fills: SET(key, key) at a random SUBURB, 20 NEXT
//   6. PUT of every record in CUSID order (a transaction every 5 000)
//   7. DELETE of a random 10 % (likewise)
//   8. size of the table with its indexes on the server
#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/postgres/postgres_driver.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/view/view.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }
using namespace vrt::data;

const char* kDeclaration = R"(FILE,DRIVER('POSTGRESQL'),NAME('CUSTOMER'),THREAD
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

constexpr int kBatch = 5000;

struct Customer {
  FileBlock file;
  uint32_t off[8];
  explicit Customer(const std::string& table) {
    FileDeclaration d;
    std::string message;
    parse_declaration(kDeclaration, &d, &message);
    d.name = table;
    make_postgres_file_block(file, std::move(d));
    for (int i = 0; i < 8; ++i) off[i] = file.declaration.fields[static_cast<size_t>(i)].offset;
  }
  void put_long(int field, int32_t v) { std::memcpy(file.record.data() + off[field], &v, 4); }
  void put_text(int field, const std::string& v, size_t size) {
    uint8_t* p = file.record.data() + off[field];
    std::memset(p, ' ', size);
    std::memcpy(p, v.data(), std::min(size, v.size()));
  }
  void load(int i, std::mt19937& rng) {
    std::string name;
    for (int k = 0; k < 6 + static_cast<int>(rng() % 8); ++k) name += static_cast<char>('a' + rng() % 26);
    name[0] = static_cast<char>(name[0] - 32);
    name += std::to_string(i);
    put_long(0, i + 1);
    put_text(1, name, 20);
    put_long(2, 70000 + static_cast<int32_t>(rng() % 10000));
    put_long(3, 1 + static_cast<int32_t>(rng() % 8640000));
    put_text(4, "Suburb" + std::to_string((rng() % 200) * 7919 % 1000), 20);
    put_text(5, "555-" + std::to_string(1000000 + rng() % 9000000), 20);
    put_text(6, name + "@example.com", 100);
    put_text(7, "https://www." + name + ".example/", 200);
  }
  KeyBlock& key(int n) { return file.declaration.keys[static_cast<size_t>(n)]; }
};

void must(const char* what) {
  if (vrt::core::error_code() != 0) {
    std::fprintf(stderr, "pg: %s: error %d %s %s\n", what, vrt::core::error_code(), vrt::core::error_text().c_str(),
                 vrt::core::file_error_text().c_str());
    std::exit(1);
  }
}

// Adds rows [from, to) in transactions of kBatch.
void load(Customer& c, int from, int to, std::mt19937& rng) {
  for (int i = from; i < to; ++i) {
    if ((i - from) % kBatch == 0) Logout(1, {&c.file});
    c.load(i, rng);
    Add(c.file);
    must("add");
    if ((i - from) % kBatch == kBatch - 1 || i + 1 == to) Commit();
  }
  must("commit");
}

std::string sql_value(const std::string& sql) {
  PGconn* conn = PQconnectdb("connect_timeout=10");
  PGresult* r = PQexec(conn, sql.c_str());
  std::string v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) ? PQgetvalue(r, 0, 0) : "";
  PQclear(r);
  PQfinish(conn);
  return v;
}

void line(const char* name, double value, const char* unit) { std::printf("%-48s %14.1f %s\n", name, value, unit); }

void workload(int n) {
  std::mt19937 rng(42);
  {
    Customer c("durable");
    Create(c.file);
    Open(c.file);
    must("open");
    auto t = Clock::now();
    for (int i = 0; i < 5000 && i < n; ++i) {
      c.load(i, rng);
      Add(c.file);
      must("add");
    }
    line("durable ADD (one transaction each)", std::min(5000, n) / seconds_since(t), "rows/s");
    Close(c.file);
  }
  Customer c("customer");
  Create(c.file);
  Open(c.file);
  must("open");
  auto t = Clock::now();
  load(c, 0, n, rng);
  line("bulk load (5 000 a transaction)", n / seconds_since(t), "rows/s");

  t = Clock::now();
  int seen = 0;
  Set(c.key(0));
  while (Next(c.file), vrt::core::error_code() == 0) ++seen;
  line("scan in NAME order (plain NEXT)", seen / seconds_since(t), "rows/s");

  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), rng);
  std::vector<std::string> names(static_cast<size_t>(n));
  t = Clock::now();
  for (int i : order) {
    c.put_long(0, i + 1);
    Get(c.file, c.key(4));
    names[static_cast<size_t>(i)].assign(reinterpret_cast<char*>(c.file.record.data() + c.off[1]), 20);
  }
  must("get by id");
  line("GET by CUSID", n / seconds_since(t), "rows/s");
  t = Clock::now();
  for (int i : order) {
    c.put_text(1, names[static_cast<size_t>(i)], 20);
    Get(c.file, c.key(0));
  }
  must("get by name");
  line("GET by NAME", n / seconds_since(t), "rows/s");

  t = Clock::now();
  for (int p = 0; p < 1000; ++p) {
    c.put_text(4, "Suburb" + std::to_string((rng() % 200) * 7919 % 1000), 20);
    Set(c.key(3), c.key(3));
    for (int i = 0; i < 20; ++i) Next(c.file);
  }
  line("page fill: SET(key, key) + 20 NEXT", seconds_since(t) * 1e6 / 1000, "us/page");

  t = Clock::now();
  Set(c.key(4));
  int puts = 0;
  Logout(1, {&c.file});
  while (Next(c.file), vrt::core::error_code() == 0) {
    c.put_long(3, puts + 1);
    Put(c.file);
    must("put");
    if (++puts % kBatch == 0) {
      Commit();
      Logout(1, {&c.file});
    }
  }
  Commit();
  line("PUT in CUSID order (5 000 a transaction)", puts / seconds_since(t), "rows/s");

  t = Clock::now();
  int deletes = n / 10;
  Logout(1, {&c.file});
  for (int i = 0; i < deletes; ++i) {
    c.put_long(0, order[static_cast<size_t>(i)] + 1);
    Get(c.file, c.key(4));
    Delete(c.file);
    must("delete");
  }
  Commit();
  line("DELETE of a random 10 %", deletes / seconds_since(t), "rows/s");
  Close(c.file);
  double bytes = std::atof(sql_value("SELECT pg_total_relation_size('customer')").c_str());
  line("table with indexes", bytes / 1e6, "MB");
  line("bytes per row", bytes / (n - deletes), "bytes");
}

void browse(int rows) {
  std::mt19937 rng(9);
  Customer c("browse");
  Create(c.file);
  Open(c.file);
  must("open");
  auto t = Clock::now();
  load(c, 0, rows, rng);
  std::printf("\n%d customers loaded in %.0f s\n", rows, seconds_since(t));
  bind_record_fields(c.file);
  auto letter = [&] { return std::string(1, static_cast<char>('A' + rng() % 26)); };
  View view(view_node(c.file), view_field_resolver(c.file));
  view.set_order("CUS:NAME");
  view.open();
  t = Clock::now();
  for (int p = 0; p < 200; ++p) {
    c.put_text(1, letter(), 20);
    Set(c.key(0), c.key(0));
    Next(c.file);
    view.reset_to_current();
    for (int i = 0; i < 20; ++i) view.next();
  }
  line("browse page fill through a view (20 rows)", seconds_since(t) * 1e6 / 200, "us/page");
  view.close();
  t = Clock::now();
  for (int p = 0; p < 200; ++p) {
    c.put_text(1, letter(), 20);
    Set(c.key(0), c.key(0));
    for (int i = 0; i < 20; ++i) Next(c.file);
  }
  line("browse page fill by plain NEXT (20 rows)", seconds_since(t) * 1e6 / 200, "us/page");
  Close(c.file);
}

}  // namespace

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 100000;
  int browse_rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
  std::string cluster;
  if (!std::getenv("PGHOST")) {
    cluster = "/tmp/vrt-pg-bench-" + std::to_string(getpid());
    std::string start = std::string("PG_CLUSTER_DURABLE=1 ") + VRT_SOURCE_DIR + "/scripts/pg-cluster.sh start " + cluster;
    if (std::system(start.c_str()) != 0) return 1;
    setenv("PGHOST", cluster.c_str(), 1);
    setenv("PGUSER", "vrt", 1);
    setenv("PGDATABASE", "postgres", 1);
  }
  std::printf("rows: %d; server: %s\n\n", n, std::getenv("PGHOST"));
  workload(n);
  if (browse_rows > 0) browse(browse_rows);
  if (!cluster.empty()) std::system((std::string(VRT_SOURCE_DIR) + "/scripts/pg-cluster.sh stop " + cluster).c_str());
  return 0;
}
