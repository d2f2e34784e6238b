// A view's range scan against SQLite with an index, on the same rows.
// Usage: view_sqlite_bench [N] (default 1 000 000 rows). Rows: A = i / 1000,
// B = i % 1000 and a name; the BDX file has KEY(+A,+B), SQLite an index on
// (a, b). For each filter it prints rows returned, key entries read per
// row, and the time of both engines with their ratio.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/view/view.h"
#include "runtime/platform/os/file.h"

using namespace vrt;
using Clock = std::chrono::steady_clock;

namespace {

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('GRID'),THREAD
GRD:BYAB KEY(+GRD:A,+GRD:B)
RECORD
GRD:A LONG
GRD:B LONG
GRD:NAME STRING(16)
END
END
)";

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Query {
  const char* filter;  // ours
  const char* where;   // SQLite's
};

const Query kQueries[] = {
    {"GRD:A = 500", "a = 500"},
    {"GRD:A >= 100 AND GRD:A < 110", "a >= 100 AND a < 110"},
    {"GRD:A >= 100 AND GRD:A < 200 AND GRD:B = 7", "a >= 100 AND a < 200 AND b = 7"},
    {"GRD:A = 42 AND GRD:B >= 990", "a = 42 AND b >= 990"},
};

}  // namespace

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  std::string dir = platform::temp_directory() + "view-bench-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);

  data::FileBlock grid;
  data::FileDeclaration d;
  std::string message;
  data::parse_declaration(kDeclaration, &d, &message);
  d.name = dir + "/GRID.BDX";
  data::make_bdx_file_block(grid, std::move(d));
  uint32_t off_a = grid.declaration.fields[0].offset, off_b = grid.declaration.fields[1].offset,
           off_name = grid.declaration.fields[2].offset;
  data::Create(grid);
  data::Open(grid, data::kReadWrite | data::kDenyAll);
  auto t = Clock::now();
  data::Stream(grid);
  for (int i = 0; i < n; ++i) {
    int32_t a = i / 1000, b = i % 1000;
    std::memcpy(grid.record.data() + off_a, &a, 4);
    std::memcpy(grid.record.data() + off_b, &b, 4);
    std::string name = "row " + std::to_string(i);
    std::memset(grid.record.data() + off_name, ' ', 16);
    std::memcpy(grid.record.data() + off_name, name.data(), std::min<size_t>(16, name.size()));
    data::Append(grid);
  }
  data::Flush(grid);
  data::Build(grid);
  if (core::error_code()) std::fprintf(stderr, "load: error %d\n", core::error_code());
  std::printf("BDX load of %d rows: %.1f s\n", n, seconds_since(t));

  sqlite3* db = nullptr;
  sqlite3_open((dir + "/grid.sqlite").c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE grid(a INTEGER, b INTEGER, name TEXT);", nullptr, nullptr,
               nullptr);
  t = Clock::now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert;
  sqlite3_prepare_v2(db, "INSERT INTO grid VALUES(?, ?, ?)", -1, &insert, nullptr);
  for (int i = 0; i < n; ++i) {
    sqlite3_bind_int(insert, 1, i / 1000);
    sqlite3_bind_int(insert, 2, i % 1000);
    std::string name = "row " + std::to_string(i);
    sqlite3_bind_text(insert, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT; CREATE INDEX grid_ab ON grid(a, b);", nullptr, nullptr, nullptr);
  std::printf("SQLite load of %d rows: %.1f s\n\n", n, seconds_since(t));

  // The filter reads the fields from the record buffer.
  core::Bind("GRD:A", [&] {
    int32_t v;
    std::memcpy(&v, grid.record.data() + off_a, 4);
    return core::ExprValue::of_integer(v);
  });
  core::Bind("GRD:B", [&] {
    int32_t v;
    std::memcpy(&v, grid.record.data() + off_b, 4);
    return core::ExprValue::of_integer(v);
  });
  data::FieldResolver resolve = [&](const std::string& name) {
    int f = data::find_field(grid.declaration, name);
    return f > 0 ? f : data::kNotAField;
  };
  std::printf("%-46s %8s %12s %12s %12s %7s\n", "filter", "rows", "entries/row", "view ms", "SQLite ms", "ratio");
  for (const Query& q : kQueries) {
    const int rounds = 20;
    data::View view(data::view_node(grid), resolve);
    view.set_filter(q.filter);
    long rows = 0;
    uint64_t entries = 0;
    t = Clock::now();
    for (int r = 0; r < rounds; ++r) {
      view.set();
      while (view.next()) ++rows;
      entries += view.entries_read();
    }
    double ours = seconds_since(t) / rounds * 1000;
    std::string sql = std::string("SELECT a, b, name FROM grid WHERE ") + q.where + " ORDER BY a, b";
    sqlite3_stmt* select;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr);
    long theirs_rows = 0;
    t = Clock::now();
    for (int r = 0; r < rounds; ++r) {
      while (sqlite3_step(select) == SQLITE_ROW) {
        ++theirs_rows;
        (void)sqlite3_column_text(select, 2);
      }
      sqlite3_reset(select);
    }
    double theirs = seconds_since(t) / rounds * 1000;
    sqlite3_finalize(select);
    if (theirs_rows != rows) std::printf("  rows differ: %ld and %ld\n", rows / rounds, theirs_rows / rounds);
    std::printf("%-46s %8ld %12.3f %12.3f %12.3f %7.2f\n", q.filter, rows / rounds,
                rows ? double(entries) / rows : double(entries / rounds), ours, theirs, theirs / ours);
  }
  sqlite3_close(db);
  data::Close(grid);
  std::filesystem::remove_all(dir);
  return 0;
}
