// bdx on tables of the server: copy a BDX file's table there and back with
// every value kept, dump and query the server's table as a file's, and
// refuse to write over a table that exists.
#include <gtest/gtest.h>

#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

// The URI of this test process's database on the tests' cluster.
std::string server(const std::string& table) {
  use_test_database();
  return std::string("'postgresql:///") + std::getenv("PGDATABASE") + "?host=" + VRT_PG_SOCKET_DIR +
         "&user=vrt\\!" + table + "'";
}

CommandResult bdx(const std::string& arguments) {
  return run_command(built_tool("tools/bdx") + " " + arguments + " 2>&1");
}

TEST(BdxOnTheServer, CopiesATableThereAndBackWithEveryValue) {
  TempDir dir;
  create_customers(dir.file("C.BDX"), 7);
  CommandResult there = bdx("copy " + dir.file("C.BDX") + " " + server("customers"));
  ASSERT_EQ(there.exit_code, 0) << there.out;
  EXPECT_EQ(there.out, "7\n");
  EXPECT_EQ(sql_value("SELECT count(*) FROM customers"), "7");
  std::string local = bdx("dump " + dir.file("C.BDX") + " --key CUS:BYNAME").out;
  EXPECT_EQ(bdx("dump " + server("customers") + " --key CUS:BYNAME").out, local);
  CommandResult back = bdx("copy " + server("customers") + " " + dir.file("BACK.BDX"));
  ASSERT_EQ(back.exit_code, 0) << back.out;
  EXPECT_EQ(bdx("dump " + dir.file("BACK.BDX") + " --key CUS:BYNAME").out, local);
  CommandResult query = bdx("query " + server("customers") + " --filter \"CUS:CUSID >= 6\" --csv");
  EXPECT_EQ(query.exit_code, 0) << query.out;
  EXPECT_EQ(std::count(query.out.begin(), query.out.end(), '\n'), 3) << query.out;
}

TEST(BdxOnTheServer, CopyRefusesToReplaceATableUnlessAsked) {
  TempDir dir;
  create_customers(dir.file("C.BDX"), 2);
  ASSERT_EQ(bdx("copy " + dir.file("C.BDX") + " " + server("twice")).exit_code, 0);
  CommandResult again = bdx("copy " + dir.file("C.BDX") + " " + server("twice"));
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.out.find("the table exists; --replace replaces it"), std::string::npos) << again.out;
  EXPECT_EQ(bdx("copy " + dir.file("C.BDX") + " " + server("twice") + " --replace").out, "2\n");
  EXPECT_EQ(sql_value("SELECT count(*) FROM twice"), "2");
  CommandResult missing = bdx("dump " + server("nothing_here"));
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.out.find("error 2: File Not Found"), std::string::npos) << missing.out;
}

}  // namespace
}  // namespace vrt::test
