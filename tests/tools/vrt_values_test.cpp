// vrt's format, deformat, store, decimal and compare commands, run as a
// user's script would run them.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

// The profile is pinned to an empty file so the user's own settings never
// change the system layouts.
class VrtValues : public ::testing::Test {
 protected:
  void SetUp() override { write_file(dir.file("win.ini"), ""); }
  CommandResult vrt(const std::string& args, const std::string& wininini = "") {
    std::string ini = wininini.empty() ? dir.file("win.ini") : wininini;
    return run_command("VORTHAL_WININI='" + ini + "' " + built_tool("tools/vrt") + " " + args + " 2>/dev/null");
  }
  TempDir dir;
};

TEST_F(VrtValues, FormatPrintsExactlyThePicturesWidth) {
  EXPECT_EQ(vrt("format @N9.2 1234.5").out, " 1,234.50\n");
  EXPECT_EQ(vrt("format @N9.2 1234567").out, "######.##\n");
  EXPECT_EQ(vrt("format @D4 58015").out, "October 31, 1959     \n");
  EXPECT_EQ(vrt("format @D1 0").out, "  /  /  \n");
  EXPECT_EQ(vrt("format @T3 6300001").out, " 5:30PM\n");
  EXPECT_EQ(vrt("format @S4 abcdef").out, "abcd\n");
  EXPECT_EQ(vrt("format '@P###-##-####P' 123456789").out, "123-45-6789\n");
  EXPECT_EQ(vrt("format @n-14 -5").exit_code, 0);
}

TEST_F(VrtValues, DeformatPrintsTheValue) {
  EXPECT_EQ(vrt("deformat @N9.2 1,234.50").out, "1234.50\n");
  EXPECT_EQ(vrt("deformat @T3 ' 5:30PM'").out, "6300001\n");
  EXPECT_EQ(vrt("deformat @D4 'October 31, 1959'").out, "58015\n");
}

TEST_F(VrtValues, StorePrintsTheBytesAndTheValueReadBack) {
  EXPECT_EQ(vrt("store DECIMAL -123.45 3 2").out, "F1 23 45\n-123.45\n");
  EXPECT_EQ(vrt("store PDECIMAL -123.45 3 2").out, "12 34 5D\n-123.45\n");
  EXPECT_EQ(vrt("store DECIMAL 2.345 3 2").out, "00 02 35\n2.35\n");
  EXPECT_EQ(vrt("store BFLOAT4 1").out, "00 00 00 81\n1\n");
  EXPECT_EQ(vrt("store BFLOAT8 -1").out, "00 00 00 00 00 00 80 81\n-1\n");
  EXPECT_EQ(vrt("store DATE 58015").out, "1F 0A A7 07\n58015\n");
  EXPECT_EQ(vrt("store TIME 6300001").out, "00 00 1E 11\n6300001\n");
  EXPECT_EQ(vrt("store SHORT -2").out, "FE FF\n-2\n");
  EXPECT_EQ(vrt("store LONG 65536").out, "00 00 01 00\n65536\n");
}

TEST_F(VrtValues, DecimalPrintsTheExactResult) {
  EXPECT_EQ(vrt("decimal 1 / 3").out, "0." + std::string(31, '3') + "\n");
  EXPECT_EQ(vrt("decimal 0.1 + 0.2").out, "0.3\n");
  EXPECT_EQ(vrt("decimal 1.5 '*' -2").out, "-3.0\n");
  EXPECT_EQ(vrt("decimal 2 ^ 10").out, "1024\n");
  EXPECT_EQ(vrt("decimal 5 - 7.25").out, "-2.25\n");
  CommandResult zero = vrt("decimal 1 / 0");
  EXPECT_EQ(zero.exit_code, 1);
  EXPECT_EQ(zero.out, "error 404: Arithmetic Overflow\n");
  EXPECT_EQ(vrt("decimal 10 ^ 40").exit_code, 1);
}

TEST_F(VrtValues, CompareUsesTheLoadedCollation) {
  EXPECT_EQ(vrt("compare abc 'abc  '").out, "0\n");
  EXPECT_EQ(vrt("compare B a").out, "-1\n");
  write_file(dir.file("x.ENV"), "ZORCOLSEQ=aAbB\n");
  EXPECT_EQ(vrt("compare B a --env " + dir.file("x.ENV")).out, "1\n");
  EXPECT_EQ(vrt("compare B a --env " + dir.file("missing.ENV")).exit_code, 1);
}

TEST_F(VrtValues, SystemLayoutsFollowTheProfile) {
  EXPECT_EQ(vrt("format @D17 58015").out, "10/31/59\n");
  write_file(dir.file("de.ini"), "[intl]\nsShortDate=dd.MM.yyyy\nsLongDate=d. MMMM yyyy\niTime=1\nsTime=:\n");
  EXPECT_EQ(vrt("format @D17 58015", dir.file("de.ini")).out, "31.10.1959\n");
  EXPECT_EQ(vrt("format @D18 58015", dir.file("de.ini")).out, "31. October 1959  \n");
  EXPECT_EQ(vrt("format @T7 6300001", dir.file("de.ini")).out, "17:30\n");
  EXPECT_EQ(vrt("deformat @D17 31.10.1959", dir.file("de.ini")).out, "58015\n");
  // No separator after the month: none at all, not "/" (1959/10/31) nor a letter.
  write_file(dir.file("iso.ini"), "[intl]\nsShortDate=yyyyMMdd\n");
  EXPECT_EQ(vrt("format @D17 58015", dir.file("iso.ini")).out, "19591031\n");
  EXPECT_EQ(vrt("deformat @D17 19591031", dir.file("iso.ini")).out, "58015\n");
}

TEST_F(VrtValues, UsageMistakesExitTwo) {
  for (const char* args : {"format @N9", "deformat", "store REAL 1", "store DECIMAL 1", "store DECIMAL 1 17 0",
                           "store DECIMAL 1 3 32", "store LONG 1 4 0", "decimal 1 % 2", "decimal 1 +", "compare a"}) {
    CommandResult r = vrt(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_EQ(r.out, "") << args;
  }
}

}  // namespace
}  // namespace vrt::test
