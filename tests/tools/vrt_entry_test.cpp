// vrt entry-check: the check of a typed text as an entry control makes it,
// with the profile's date order.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

class VrtEntry : public ::testing::Test {
 protected:
  CommandResult vrt(const std::string& args, const std::string& intl = "") {
    write_file(dir.file("win.ini"), "[intl]\n" + intl);
    return run_command("VORTHAL_WININI='" + dir.file("win.ini") + "' " + built_tool("tools/vrt") + " " + args +
                       " 2>/dev/null");
  }
  TempDir dir;
};

TEST_F(VrtEntry, AcceptedPrintsZeroAndTheValueAsDeformatDoes) {
  CommandResult r = vrt("entry-check '@P###-##-####P' 123-45-6789");
  EXPECT_EQ(r.out, "0 123456789\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(vrt("entry-check @N9.2 1,234.50").out, vrt("deformat @N9.2 1,234.50").out.insert(0, "0 "));
  EXPECT_EQ(vrt("entry-check @T3 ' 5:30PM'").out, "0 6300001\n");
  EXPECT_EQ(vrt("entry-check '' 'as typed'").out, "0 as typed\n");
}

TEST_F(VrtEntry, RejectedPrintsTheReasonAloneAndExitsZero) {
  CommandResult r = vrt("entry-check '@P###-##-####P' 123-4X-6789");
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(vrt("entry-check @D2 13/45/1999").out, "13\n");
  EXPECT_EQ(vrt("entry-check @T1 25:00").out, "21\n");
}

TEST_F(VrtEntry, TheProfilesDateOrderDecidesTheWindowsLayout) {
  // 4 May 1999 is 72445, 5 April 1999 72416.
  EXPECT_EQ(vrt("entry-check @D17 5/4/1999", "iDate=0\n").out, "0 72445\n");
  EXPECT_EQ(vrt("entry-check @D17 5/4/1999", "iDate=1\n").out, "0 72416\n");
  EXPECT_EQ(vrt("entry-check @D17 1999/5/4", "iDate=2\n").out, "0 72445\n");
  EXPECT_EQ(vrt("entry-check @D17 5/4/1999").out, "0 72445\n");  // absent: month first
}

TEST_F(VrtEntry, UsageMistakesExitTwo) {
  EXPECT_EQ(vrt("entry-check @N9.2").exit_code, 2);
  EXPECT_EQ(vrt("entry-check @N9.2 1 2").exit_code, 2);
}

}  // namespace
}  // namespace vrt::test
