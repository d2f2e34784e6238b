#include "runtime/platform/os/profile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/test_support.h"

namespace vrt::platform {
namespace {

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = getenv("VORTHAL_WININI") ? getenv("VORTHAL_WININI") : "";
    setenv("VORTHAL_WININI", dir_.file("win.ini").c_str(), 1);
  }
  void TearDown() override {
    if (old_.empty())
      unsetenv("VORTHAL_WININI");
    else
      setenv("VORTHAL_WININI", old_.c_str(), 1);
  }
  void write(const std::string& text) { test::write_file(dir_.file("win.ini"), text); }
  test::TempDir dir_;
  std::string old_;
};

TEST_F(Profile, MissingFileGivesDefaults) {
  EXPECT_EQ(GetProfileString("intl", "sShortDate", "MM/dd/yy"), "MM/dd/yy");
  EXPECT_EQ(GetProfileInt("intl", "iTime", 7), 7);
}

TEST_F(Profile, SectionsAndKeysMatchWithoutCase) {
  write("; comment\r\n[Other]\r\niTime=5\r\n[INTL]\r\n  itime = 1 \r\nsShortDate=dd.MM.yyyy\r\nbad line\r\n");
  EXPECT_EQ(GetProfileInt("intl", "iTime", 0), 1);
  EXPECT_EQ(GetProfileString("intl", "sshortdate", ""), "dd.MM.yyyy");
  EXPECT_EQ(GetProfileString("intl", "sLongDate", "x"), "x");
  EXPECT_EQ(GetProfileInt("other", "iTime", 0), 5);
}

TEST_F(Profile, IntegersAndBuffers) {
  write("[s]\na=-42xyz\nb=abc\nc=\n");
  EXPECT_EQ(GetProfileInt("s", "a", 0), -42);
  EXPECT_EQ(GetProfileInt("s", "b", 9), 9);
  EXPECT_EQ(GetProfileInt("s", "c", 9), 9);
  char buf[4];
  EXPECT_EQ(GetProfileString("s", "b", "", buf, sizeof buf), 3u);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(GetProfileString("s", "missing", "defaultvalue", buf, sizeof buf), 3u);
  EXPECT_STREQ(buf, "def");
}

TEST_F(Profile, ASectionsEntriesInFileOrder) {
  EXPECT_TRUE(GetProfileSection("Devices").empty());
  write("[devices]\nB = x,1\n; note\nA=y,2\nb=again\nnot an entry\n[Other]\nC=z\n[DEVICES]\nD=w\n");
  auto entries = GetProfileSection("Devices");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, "B");
  EXPECT_EQ(entries[0].value, "x,1");  // the first of the two, as a lookup finds it
  EXPECT_EQ(entries[1].key, "A");
  EXPECT_EQ(entries[2].key, "D");
  EXPECT_EQ(GetProfileString("Devices", "b", ""), "x,1");
}

}  // namespace
}  // namespace vrt::platform
