// What only the server driver has: the table it makes on the server, names
// and values that must never become SQL, the errors of a table that is
// missing or of another shape, and a connection that fails or is cut.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/data/child_process.h"
#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

using namespace vrt::data;

const char* kItems = R"(FILE,DRIVER('POSTGRESQL'),NAME('ITEMS'),CREATE
ITM:BYID KEY(+ITM:ID),PRIMARY,OPT
ITM:BYNAME KEY(+ITM:NAME),DUP,NOCASE
ITM:BYKIND KEY(+ITM:KIND,-ITM:PRICE),DUP
RECORD
ITM:ID LONG
ITM:NAME STRING(20)
ITM:KIND CSTRING(8)
ITM:PRICE DECIMAL(9,2)
ITM:WHEN DATE
END
END
)";

class PgDriver : public ::testing::Test {
 protected:
  void open_items(const std::string& table = "items", const char* text = kItems) {
    make_pg_file(items, text, table);
    Create(items);
    Open(items);
    ASSERT_EQ(core::error_code(), 0) << core::error_text() << " " << core::file_error_text();
  }
  void item(int32_t id, const std::string& name) {
    std::memset(items.record.data(), 0, items.record.size());
    set_long(items, "ITM:ID", id);
    set_string(items, "ITM:NAME", name);
  }
  // Ends this process's session on the server, as a network failure would.
  static void cut_connection() {
    EXPECT_EQ(sql_value("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE application_name = "
                        "'vorthal' AND datname = current_database()"),
              "1");
  }
  QuietBoxes quiet;
  FileBlock items;
};

TEST_F(PgDriver, TheTableHasTypedColumnsAndAnIndexPerKey) {
  open_items();
  auto column = [](const char* name) {
    return sql_value(std::string("SELECT data_type || ' ' || coalesce(numeric_precision::text, '') || ' ' || "
                                 "coalesce(numeric_scale::text, '') || ' ' || coalesce(collation_name, '') FROM "
                                 "information_schema.columns WHERE table_name = 'items' AND column_name = '") +
                     name + "'");
  };
  EXPECT_EQ(column("id"), "integer 32 0 ");
  EXPECT_EQ(column("name"), "text   C");
  EXPECT_EQ(column("price"), "numeric 9 2 ");
  EXPECT_EQ(column("when"), "bytea   ");
  auto index = [](const char* name) {
    return sql_value(std::string("SELECT indexdef FROM pg_indexes WHERE indexname = '") + name + "'");
  };
  EXPECT_EQ(index("items_k0"), "CREATE UNIQUE INDEX items_k0 ON public.items USING btree (id) WHERE (id <> 0)");
  EXPECT_EQ(index("items_k1"), "CREATE INDEX items_k1 ON public.items USING btree (upper(name), vrt_record)");
  EXPECT_EQ(index("items_k2"), "CREATE INDEX items_k2 ON public.items USING btree (kind, price DESC, vrt_record)");
  Close(items);
}

TEST_F(PgDriver, NamesAndValuesNeverBecomeSql) {
  open_items("it\"ems'; DROP TABLE x; --");
  std::string evil = "'); DELETE FROM \"it";
  item(1, evil);
  Add(items);
  ASSERT_EQ(core::error_code(), 0) << core::file_error_text();
  // Table names are kept in lower case.
  EXPECT_EQ(sql_value("SELECT name FROM \"it\"\"ems'; drop table x; --\""), evil);
  item(0, evil);
  Get(items, *items.key(1));
  EXPECT_EQ(get_long(items, "ITM:ID"), 1);
  Close(items);
}

TEST_F(PgDriver, AMissingTableOrOneOfAnotherShapeIsRefusedClearly) {
  FileBlock f;
  make_pg_file(f, R"(FILE,DRIVER('POSTGRESQL'),NAME('NOWHERE')
RECORD
N:ID LONG
END
END
)", "nowhere");
  Open(f);
  EXPECT_EQ(core::error_code(), 2);
  EXPECT_EQ(core::error_text(), "File Not Found");
  EXPECT_EQ(sql_value("CREATE TABLE short_items (vrt_record bigint, vrt_version integer, id integer)"), "");
  make_pg_file(items, kItems, "short_items");
  Open(items);
  EXPECT_EQ(core::error_code(), 47);
  EXPECT_NE(core::file_error_text().find("name"), std::string::npos) << core::file_error_text();
  EXPECT_EQ(items.state & kStateOpen, 0u);
  // A table of the driver's own, made for another declaration.
  open_items("other_items");
  Close(items);
  FileBlock changed;
  std::string text = kItems;
  text.replace(text.find("STRING(20)"), 10, "STRING(21)");
  make_pg_file(changed, text.c_str(), "other_items");
  Open(changed);
  EXPECT_EQ(core::error_code(), 47);
}

TEST_F(PgDriver, ATextTheServerCannotKeepIsRefusedAndNothingIsStored) {
  open_items();
  item(1, "zero");
  items.record[field(items, "ITM:NAME").offset + 2] = 0;
  Add(items);
  EXPECT_EQ(core::error_code(), 90);
  EXPECT_NE(core::file_error_text().find("zero byte"), std::string::npos) << core::file_error_text();
  EXPECT_EQ(Records(items), 0);
  Close(items);
}

TEST_F(PgDriver, NoServerIsServerNotFound) {
  use_test_database();
  pid_t child = start_child([] {
    setenv("PGHOST", "/nonexistent-socket-folder", 1);
    FileBlock f;
    make_pg_file(f, kItems, "items");
    Open(f);
    bool right = core::error_code() == 95 && core::error_text() == "Server Not Found" &&
                 core::file_error_text().find("nonexistent") != std::string::npos;
    return right ? 0 : 1;
  });
  EXPECT_EQ(child_result_within(child, 30), 0);
}

TEST_F(PgDriver, AConnectionCutBetweenOperationsIsMadeAgain) {
  open_items();
  item(1, "one");
  Add(items);
  cut_connection();
  EXPECT_EQ(Records(items), 1);
  EXPECT_EQ(core::error_code(), 0) << core::file_error_text();
  Close(items);
}

TEST_F(PgDriver, AConnectionCutInsideATransactionFailsItsCommitAndKeepsNothing) {
  open_items();
  Logout(1, {&items});
  item(1, "one");
  Add(items);
  ASSERT_EQ(core::error_code(), 0);
  cut_connection();
  item(2, "two");
  Add(items);
  EXPECT_EQ(core::error_code(), 95);
  Commit();
  EXPECT_EQ(core::error_code(), 48);
  EXPECT_EQ(Records(items), 0);
  EXPECT_EQ(core::error_code(), 0);
  Close(items);
}

TEST_F(PgDriver, TheTraceLogShowsEachCallAsTheNativeDriversDoes) {
  TempDir dir;
  use_test_database();
  std::string saved = std::getenv("VORTHAL_WININI");
  write_file(dir.file("win.ini"), "[QWPOSTGRESQL]\nProfile=1\nTraceFile=" + dir.file("trace.log") + "\n");
  setenv("VORTHAL_WININI", dir.file("win.ini").c_str(), 1);
  open_items();
  item(1, "one");
  Add(items);
  item(9, "");
  Get(items, *items.key(0));
  Close(items);
  setenv("VORTHAL_WININI", saved.c_str(), 1);
  std::string log = read_file(dir.file("trace.log"));
  EXPECT_NE(log.find("OPEN(items"), std::string::npos) << log;
  EXPECT_NE(log.find("ADD(items"), std::string::npos) << log;
  EXPECT_NE(log.find("Record Not Found"), std::string::npos) << log;
}

}  // namespace
}  // namespace vrt::test
