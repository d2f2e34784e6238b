// vrt eval, filter, match and sound as scripts use them.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult vrt(const std::string& args) { return run_command(built_tool("tools/vrt") + " " + args + " 2>/dev/null"); }

TEST(VrtExpressions, EvalPrintsTheResultOrTheError) {
  EXPECT_EQ(vrt("eval '1+2*3'").out, "7\n");
  EXPECT_EQ(vrt("eval \"'a' & 'b'\"").out, "ab\n");
  EXPECT_EQ(vrt("eval 'X * Y' --bind X=6 --bind Y=0.5").out, "3\n");
  EXPECT_EQ(vrt("eval \"N = 'Smith'\" --bind N=Smith").out, "1\n");
  CommandResult bad = vrt("eval '1 +'");
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out, "error 800: Invalid expression for EVALUATE\n");
  CommandResult unbound = vrt("eval 'Who + 1'");
  EXPECT_EQ(unbound.exit_code, 1);
  EXPECT_EQ(unbound.out, "error 801: No BIND on variable (Who)\n");
  EXPECT_EQ(vrt("eval '1' --bind =3").exit_code, 2);
  // A bound number out of a double's range is a usage mistake, not an abort.
  EXPECT_EQ(vrt("eval x --bind x=1e400").exit_code, 2);
  EXPECT_EQ(vrt("filter x --bind x=-1e400").exit_code, 2);
}

TEST(VrtExpressions, FilterMatchSound) {
  EXPECT_EQ(vrt("filter \"SUB(N,1,2) = 'ab' AND M > 1\" --bind N=x --bind M=1").out, "N LIKE 'ab%' AND M > 1\n");
  EXPECT_EQ(vrt("match Mississippi 'M*pi'").out, "1\n");
  EXPECT_EQ(vrt("match Mississippi '^m.*i$' 2").out, "0\n");
  EXPECT_EQ(vrt("match Mississippi '^m.*i$' 18").out, "1\n");
  EXPECT_EQ(vrt("match abc 'a[z-a]' 2").out, "0\n");
  EXPECT_EQ(vrt("sound Jackson").out, "J500\n");
  EXPECT_EQ(vrt("match a").exit_code, 2);
}

}  // namespace
}  // namespace vrt::test
