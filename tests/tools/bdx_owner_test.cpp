// Encrypted files through bdx: the owner from --owner-file or BDX_OWNER for
// every command, encrypt and decrypt in place, and a kill -9 in the middle
// of either leaving the old file or the new one.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult bdx(const std::string& args) { return run_command(built_tool("tools/bdx") + " " + args + " 2>/dev/null"); }

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER')
CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
END
END
)";

class BdxOwner : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("cus.txt"), kDeclaration);
    write_file(dir.file("owner"), "Open Sesame\n");
    owner = " --owner-file " + dir.file("owner");
    file = dir.file("C.BDX");
    std::string rows = "CUSID,NAME\n";
    for (int i = 1; i <= 3000; ++i) rows += std::to_string(i) + ",Secretname" + std::to_string(i) + "\n";
    write_file(dir.file("rows.csv"), rows);
    ASSERT_EQ(bdx("create " + file + " " + dir.file("cus.txt")).exit_code, 0);
    ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).exit_code, 0);
  }
  // The records dump prints (heading line first), or -1 when it fails.
  int rows_read(const std::string& with) {
    CommandResult r = bdx("dump " + file + with);
    if (r.exit_code != 0) return -1;
    return static_cast<int>(std::count(r.out.begin(), r.out.end(), '\n')) - 1;
  }
  TempDir dir;
  std::string file, owner;
};

TEST_F(BdxOwner, EncryptHidesTheRecordsAndEveryCommandTakesTheOwner) {
  ASSERT_EQ(bdx("encrypt " + file + owner).exit_code, 0);
  EXPECT_EQ(read_file(file).find("Secretname"), std::string::npos);
  EXPECT_EQ(rows_read(""), -1);
  EXPECT_EQ(bdx("dump " + file).out, "error 36: Invalid Data File\n");
  EXPECT_EQ(rows_read(owner), 3000);
  EXPECT_EQ(run_command("BDX_OWNER='Open Sesame' " + built_tool("tools/bdx") + " dump " + file + " | wc -l").out,
            "3001\n");
  EXPECT_EQ(run_command("BDX_OWNER=wrong " + built_tool("tools/bdx") + " tables " + file).exit_code, 1);
  EXPECT_EQ(bdx("check " + file + owner).out, "");
  EXPECT_EQ(bdx("tables " + file + owner).exit_code, 0);
  EXPECT_EQ(bdx("query " + file + owner + " --filter \"CUS:CUSID = 7\"").exit_code, 0);
  // The declaration never shows the owner.
  EXPECT_EQ(bdx("declare " + file + owner).out.find("Sesame"), std::string::npos);
  ASSERT_EQ(bdx("decrypt " + file + owner).exit_code, 0);
  EXPECT_EQ(rows_read(""), 3000);
  // Usage: no owner, a missing owner file.
  EXPECT_EQ(bdx("encrypt " + file).exit_code, 2);
  EXPECT_EQ(bdx("encrypt " + file + " --owner-file " + dir.file("none")).exit_code, 2);
  EXPECT_EQ(bdx("decrypt " + file + owner).exit_code, 1);  // not encrypted: 36
}

TEST_F(BdxOwner, AKillInTheMiddleLeavesTheOldFileOrTheNew) {
  int old_seen = 0, new_seen = 0;
  bool encrypted = false;
  for (int round = 0; round < 12; ++round) {
    // The conversion is killed (SIGKILL) after 30 to 360 ms: the early
    // kills land in the key derivation or the copy, the late ones after.
    std::string delay = std::to_string(0.03 * (round + 1));
    std::string command = encrypted ? "decrypt" : "encrypt";
    // --foreground: timeout signals only the child and waits for its end
    // (without it, it kills its own group too and returns before the
    // child's files are closed).
    run_command("timeout --foreground -s KILL " + delay + " " + built_tool("tools/bdx") + " " + command + " " + file + owner +
                " >/dev/null 2>&1");
    int clear = rows_read(""), secret = rows_read(owner);
    ASSERT_TRUE((clear == 3000) != (secret == 3000)) << "round " << round << ": " << clear << " " << secret;
    bool now = secret == 3000;
    (now == encrypted ? old_seen : new_seen)++;
    encrypted = now;
  }
  std::printf("kills that left the old file: %d, the new one: %d\n", old_seen, new_seen);
  EXPECT_GT(old_seen, 0);
  EXPECT_EQ(bdx("check " + file + (encrypted ? owner : "")).out, "");
}

}  // namespace
}  // namespace vrt::test
