#include "runtime/platform/os/codepage.h"

#include <gtest/gtest.h>

#include "runtime/platform/os/profile.h"
#include "tests/test_support.h"

namespace vrt::platform {
namespace {

TEST(CodePages, LettersKeepTheirMeaningBetweenPages) {
  EXPECT_EQ(oem_to_ansi(0x81), 0xFC);  // u diaeresis
  EXPECT_EQ(ansi_to_oem(0xFC), 0x81);
  EXPECT_EQ(oem_to_ansi(0x8E), 0xC4);  // A diaeresis
  for (int c = 0; c < 128; ++c) {
    EXPECT_EQ(oem_to_ansi(static_cast<uint8_t>(c)), c);
    EXPECT_EQ(ansi_to_oem(static_cast<uint8_t>(c)), c);
  }
  // Box drawing has no ANSI equal: the nearest sign stands in.
  EXPECT_EQ(oem_to_ansi(0xC4), '-');
  EXPECT_EQ(oem_to_ansi(0xB3), '|');
  EXPECT_EQ(oem_to_ansi(0xC5), '+');
}

TEST(CodePages, Utf8RoundTrip) {
  std::string ansi = "Caf\xE9 \x80 5";  // the euro sign is 0x80 in the ANSI page
  std::string utf8 = ansi_to_utf8(ansi);
  EXPECT_EQ(utf8, "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(utf8_to_ansi(utf8), ansi);
  EXPECT_EQ(utf8_to_ansi("\xE4\xB8\xAD"), "?");   // no such character in the page
  EXPECT_EQ(utf8_to_ansi("\xC3"), "?");           // cut short
}

TEST(CodePages, SystemLettersAndCase) {
  EXPECT_TRUE(IsCharAlpha('q'));
  EXPECT_TRUE(IsCharAlpha(0xC9));
  EXPECT_FALSE(IsCharAlpha(0xD7));  // the multiplication sign
  EXPECT_TRUE(IsCharUpper(0xC9));
  EXPECT_FALSE(IsCharUpper(0xDF));
  EXPECT_EQ(CharLower(0xC9), 0xE9);
  EXPECT_EQ(CharLower(0x8A), 0x9A);
  EXPECT_LT(CompareChar('a', 'A'), 0);  // lower case first
  EXPECT_LT(CompareChar('A', 'b'), 0);
  EXPECT_LT(CompareChar('9', 'a'), 0);
  EXPECT_LT(CompareChar('e', 0xE9), 0);  // the plain letter before the accented one
  EXPECT_LT(CompareChar(0xE9, 'f'), 0);
}

TEST(PrivateProfile, FilesReadTheSameWay) {
  test::TempDir dir;
  test::write_file(dir.file("app.ini"), "[Printers]\nDefault = PDF\n");
  EXPECT_EQ(GetPrivateProfileString("printers", "default", "", dir.file("app.ini")), "PDF");
  EXPECT_EQ(GetPrivateProfileString("printers", "other", "none", dir.file("app.ini")), "none");
  EXPECT_EQ(GetPrivateProfileString("x", "y", "z", dir.file("missing.ini")), "z");
}

}  // namespace
}  // namespace vrt::platform
