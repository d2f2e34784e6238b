// vrt's date, time, age, message and env commands, run as a user's script
// would run them.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult vrt(const std::string& args) { return run_command(built_tool("tools/vrt") + " " + args + " 2>/dev/null"); }

TEST(VrtDates, ConversionsPrintJustTheValue) {
  EXPECT_EQ(vrt("date 1 1 1801").out, "4\n");
  EXPECT_EQ(vrt("date 12 31 9999").out, "2994626\n");
  EXPECT_EQ(vrt("date 2 29 1900").out, vrt("date 3 1 1900").out);  // days carry over
  EXPECT_EQ(vrt("date 0 1 1900").out, "-1\n");
  EXPECT_EQ(vrt("parts 4").out, "1801 1 1\n");
  EXPECT_EQ(vrt("parts 3").out, "invalid\n");
  EXPECT_EQ(vrt("time 23 59 59 99").out, "8640000\n");
  EXPECT_EQ(vrt("time 0 0 0 0").out, "0\n");
  EXPECT_EQ(vrt("time 24 0 0 0").out, "-1\n");
  EXPECT_EQ(vrt("time-parts 1").out, "0 0 0 0\n");
  EXPECT_EQ(vrt("time-parts 8640001").out, "invalid\n");
  EXPECT_EQ(vrt("age 100 160").out, "60 DAYS\n");
  EXPECT_EQ(vrt("age 100 160").exit_code, 0);
}

TEST(VrtDates, UsageMistakesExitTwo) {
  EXPECT_EQ(vrt("date 1 1").exit_code, 2);
  EXPECT_EQ(vrt("date a b c").exit_code, 2);
  EXPECT_EQ(vrt("no-such-command").exit_code, 2);
  EXPECT_EQ(vrt("").exit_code, 2);
  EXPECT_EQ(vrt("date 1 1").out, "");
}

TEST(VrtSettings, MessagesAndEnvironmentFiles) {
  TempDir dir;
  write_file(dir.file("x.ENV"), "ZORMSG81=Rätsel\nZORMONTH=Januar,Februar\nZORDIGRAPH=\xC4" "AE\n");
  EXPECT_EQ(vrt("message 332").out, "Sharing Violation\n");
  EXPECT_EQ(vrt("message 9999").out, "Unknown Error Posted : 9999\n");
  EXPECT_EQ(vrt("message 9999 --env " + dir.file("x.ENV")).out, "Rätsel : 9999\n");
  CommandResult env = vrt("env " + dir.file("x.ENV"));
  EXPECT_EQ(env.exit_code, 0);
  EXPECT_NE(env.out.find("month 1 Januar\nmonth 2 Februar\nmonth 3 March\n"), std::string::npos);
  EXPECT_NE(env.out.find("digraph \xC4 AE\n"), std::string::npos);
  EXPECT_NE(env.out.find("message 81 Rätsel\n"), std::string::npos);
  CommandResult missing = vrt("env " + dir.file("none.ENV"));
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.out, "error 2: File Not Found\n");
}

}  // namespace
}  // namespace vrt::test
