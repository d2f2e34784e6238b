// vrt listformat: 0 for a well-formed list format, else the position where
// it went wrong; usage mistakes exit 2.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult vrt(const std::string& args) {
  return run_command(built_tool("tools/vrt") + " " + args + " 2>/dev/null");
}

TEST(VrtListFormat, PrintsZeroOrThePosition) {
  CommandResult r = vrt("listformat '80R(2)|M~Date~C(0)@D2@52D(20)|M~Amount~C(0)@N-11.2@'");
  EXPECT_EQ(r.out, "0\n");
  EXPECT_EQ(r.exit_code, 0);
  r = vrt("listformat 'R(2)'");
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.exit_code, 0) << "a malformed format is an answer, not a failure";
  EXPECT_EQ(vrt("listformat '64Q(2)'").out, "3\n");
  EXPECT_EQ(vrt("listformat ''").out, "0\n");
}

TEST(VrtListFormat, UsageMistakesExitTwo) {
  EXPECT_EQ(vrt("listformat").exit_code, 2);
  EXPECT_EQ(vrt("listformat 20L 30R").exit_code, 2);
}

}  // namespace
}  // namespace vrt::test
