// bdx query from outside: rows, order, explain, and errors.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult bdx(const std::string& args) { return run_command(built_tool("tools/bdx") + " " + args + " 2>/dev/null"); }

class BdxQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("decl.txt"), R"(FILE,DRIVER('BRINDLEX'),NAME('PEOPLE'),THREAD
PEO:BYID KEY(+PEO:ID)
PEO:BYNAME KEY(+PEO:NAME,+PEO:ID),DUP,NOCASE
RECORD
PEO:ID LONG
PEO:NAME STRING(12)
PEO:TOWN STRING(12)
END
END
)");
    write_file(dir.file("p.csv"),
               "PEO:ID,PEO:NAME,PEO:TOWN\n1,Carter,York\n2,Abbott,Leeds\n3,Ellis,York\n4,Baxter,Hull\n"
               "5,Dawson,Bath\n6,Abbott,York\n");
    file = dir.file("PEOPLE.BDX");
    ASSERT_EQ(bdx("create " + file + " " + dir.file("decl.txt")).exit_code, 0);
    ASSERT_EQ(bdx("import " + file + " " + dir.file("p.csv")).out, "6\n");
  }
  TempDir dir;
  std::string file;
};

TEST_F(BdxQuery, RowsOfTheFilter) {
  CommandResult r = bdx("query " + file + " --filter \"PEO:TOWN = 'York'\"");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "PEO:ID\tPEO:NAME\tPEO:TOWN\n1\tCarter\tYork\n3\tEllis\tYork\n6\tAbbott\tYork\n");
  r = bdx("query " + file + " --filter \"PEO:ID > 4\" --csv --backwards");
  EXPECT_EQ(r.out, "PEO:ID,PEO:NAME,PEO:TOWN\n6,Abbott,York\n5,Dawson,Bath\n");
  r = bdx("query " + file + " --filter '' --order 'PEO:TOWN, -PEO:ID' --csv");
  EXPECT_EQ(r.out, "PEO:ID,PEO:NAME,PEO:TOWN\n5,Dawson,Bath\n4,Baxter,Hull\n2,Abbott,Leeds\n6,Abbott,York\n"
                   "3,Ellis,York\n1,Carter,York\n");
}

TEST_F(BdxQuery, CsvRowsReadBackAsImportReadsThem) {
  // A name with a carriage return, a comma and a quote: query writes what
  // import reads, so the row comes back whole.
  write_file(dir.file("odd.csv"), "PEO:ID,PEO:NAME,PEO:TOWN\n7,\"a\rb, \"\"c\"\"\",York\n");
  ASSERT_EQ(bdx("import " + file + " " + dir.file("odd.csv")).out, "1\n");
  CommandResult r = bdx("query " + file + " --filter \"PEO:ID = 7\" --csv");
  EXPECT_EQ(r.out, "PEO:ID,PEO:NAME,PEO:TOWN\n7,\"a\rb, \"\"c\"\"\",York\n");
  EXPECT_EQ(bdx("dump " + file + " --csv").out.find("7,\"a\rb, \"\"c\"\"\",York\n") != std::string::npos, true);
}

TEST_F(BdxQuery, ExplainNamesTheKeyTheBoundsAndTheEntriesRead) {
  CommandResult r = bdx("query " + file + " --filter \"PEO:NAME = 'abbott'\" --explain");
  EXPECT_EQ(r.exit_code, 0);
  // The NOCASE key finds both Abbotts; the filter itself minds the case.
  EXPECT_EQ(r.out, "key PEO:BYNAME\n  PEO:NAME: = ABBOTT\n  PEO:ID: any\nkey entries read: 3\nrows: 0\n");
  r = bdx("query " + file + " --filter \"PEO:ID >= 2 AND PEO:ID < 4\" --explain");
  EXPECT_EQ(r.out, "key PEO:BYID\n  PEO:ID: >= 2 < 4\nkey entries read: 3\nrows: 2\n");
}

TEST_F(BdxQuery, MistakesAreReported) {
  CommandResult r = bdx("query " + file + " --filter 'PEO:ID >'");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "error 800: Invalid expression for EVALUATE\n");
  r = bdx("query " + file + " --filter 'NOBODY = 1'");
  EXPECT_EQ(r.out, "error 801: No BIND on variable (NOBODY)\n");
  EXPECT_EQ(bdx("query " + file + " --filter '' --key NOSUCH").exit_code, 2);
  EXPECT_EQ(bdx("query " + dir.file("missing.BDX") + " --filter ''").exit_code, 1);
}

}  // namespace
}  // namespace vrt::test
