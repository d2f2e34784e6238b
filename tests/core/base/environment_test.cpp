#include "runtime/core/base/environment.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/base/collation_block.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/base/message_text.h"
#include "runtime/core/base/settings.h"
#include "tests/test_support.h"

namespace vrt::core {
namespace {

class Environment : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_settings();
    clear_message_overrides();
  }
  void TearDown() override {
    reset_settings();
    clear_message_overrides();
  }
  bool load(const std::string& text) {
    std::string path = dir_.file("test.ENV");
    test::write_file(path, text);
    return load_environment_file(path);
  }
  test::TempDir dir_;
};

TEST_F(Environment, MonthListReplacesOnlyTheGivenNames) {
  ASSERT_TRUE(load("ZORMONTH=Januar,Februar\r\n"));
  EXPECT_STREQ(settings().month_names[0], "Januar");
  EXPECT_STREQ(settings().month_names[1], "Februar");
  EXPECT_STREQ(settings().month_names[2], "March");
  EXPECT_STREQ(settings().month_names[11], "December");
}

TEST_F(Environment, ItemsAreCutToTheirSlots) {
  ASSERT_TRUE(load("ZORMONTH=Aaaaaaaaaaaaaaaaaaaaaa\nZORMON=Janv,,Mrz\nZORAMPM=vorm,nachm\n"));
  EXPECT_STREQ(settings().month_names[0], "Aaaaaaaaaaaa");
  EXPECT_STREQ(settings().month_abbrevs[0], "Jan");
  EXPECT_STREQ(settings().month_abbrevs[1], "Feb");  // an empty item ends the list
  EXPECT_STREQ(settings().month_abbrevs[2], "Mar");
  EXPECT_STREQ(settings().am_pm[0], "vo");
  EXPECT_STREQ(settings().am_pm[1], "na");
}

TEST_F(Environment, EscapesInValues) {
  ASSERT_TRUE(load("ZORMSG900=<65>BC\nZORMSG901=a<<b\nZORMSG902=x<y\nZORMSG903=tail<66\n"));
  EXPECT_EQ(message_text(900), "ABC");
  EXPECT_EQ(message_text(901), "a<b");
  EXPECT_EQ(message_text(902), "x<y");
  EXPECT_EQ(message_text(903), "tailB");
}

TEST_F(Environment, KeysIgnoreCaseSpacesAndTrailingBlanks) {
  ASSERT_TRUE(load("  zor msg 905 = spaced value \t \nno equals sign here\nZORMSG906=ok\x1a" "ZORMSG907=after end\n"));
  EXPECT_EQ(message_text(905), "spaced value");
  EXPECT_EQ(message_text(906), "ok");
  EXPECT_EQ(*find_message_override(906), "ok");
  EXPECT_EQ(find_message_override(907), nullptr);  // character 26 ended the file
}

TEST_F(Environment, UnknownMessageTextComesFromMessage81) {
  ASSERT_TRUE(load("ZORMSG81=Mystery\n"));
  EXPECT_EQ(message_text(4321), "Mystery : 4321");
  EXPECT_EQ(message_text(0), "Mystery");
}

TEST_F(Environment, ButtonTextsOverrideTheirMessages) {
  ASSERT_TRUE(load("ZORBUTTON=&Ja,,&Abbruch\n"));
  EXPECT_EQ(message_text(kMessageFirstButton), "&Ja");
  EXPECT_EQ(find_message_override(kMessageFirstButton + 1), nullptr);
  EXPECT_EQ(message_text(kMessageFirstButton + 2), "&Abbruch");
}

TEST_F(Environment, CollationKeepsCommasAndFirstPlaces) {
  // "b" before "a", "," between them; the second "b" is dropped.
  ASSERT_TRUE(load("ZORCOLSEQ=b,ab\n"));
  const uint8_t* w = settings().collation_ansi;
  EXPECT_LT(w['b'], w[',']);
  EXPECT_LT(w[','], w['a']);
  EXPECT_EQ(w['c'], 'c');
  // The three listed characters share out their own codes.
  EXPECT_EQ(w['b'], ',');
  EXPECT_EQ(w[','], 'a');
  EXPECT_EQ(w['a'], 'b');
}

TEST_F(Environment, FullCollationOrderOf222Characters) {
  std::string seq;
  for (int c = 254; c >= 128; --c) seq += static_cast<char>(c);
  for (int c = 126; c >= 32; --c) seq += static_cast<char>(c);
  ASSERT_EQ(seq.size(), 222u);
  set_environment_value("ZORCOLSEQ", seq);
  const uint8_t* w = settings().collation_ansi;
  EXPECT_EQ(w[254], 32);         // first place
  EXPECT_EQ(w[160], 32 + 94);    // the 95th place is the last below 127
  EXPECT_EQ(w[159], 128);        // the 96th place jumps over 127
  EXPECT_EQ(w[32], 128 + 126);   // last place
  set_environment_value("ZORCOLSEQ", "");
  for (int c = 0; c < 256; ++c) ASSERT_EQ(settings().collation_ansi[c], c);
}

TEST_F(Environment, CaseTableTakesOnlyHighPairs) {
  set_environment_value("ZORCASE", "\xC4\xD6X,\xE4\xF6x");
  const Settings& s = settings();
  EXPECT_EQ(s.case_kind[0xC4], kCaseUpper);
  EXPECT_EQ(s.case_partner[0xC4], 0xE4);
  EXPECT_EQ(s.case_kind[0xF6], kCaseLower);
  EXPECT_EQ(to_upper(0xF6), 0xD6);
  EXPECT_EQ(to_upper('x'), 'X');  // the plain letters stay as they were
  set_environment_value("ZORCASE", "");
  EXPECT_EQ(s.case_kind[0xC4], kCaseOther);
  EXPECT_EQ(s.case_kind['5'], kCaseDigit);
  set_environment_value("ZORCASE", "WINDOWS");
  EXPECT_EQ(s.case_kind[0xC9], kCaseUpper);  // E acute
  EXPECT_EQ(s.case_partner[0xC9], 0xE9);
  EXPECT_EQ(s.case_kind[0xD7], kCaseOther);  // the multiplication sign
}

TEST_F(Environment, WindowsCaseHasEveryPairOfTheCodePage) {
  set_environment_value("ZORCASE", "WINDOWS");
  const Settings& s = settings();
  int pairs = 0;
  for (int c = 128; c < 256; ++c) pairs += s.case_kind[c] == kCaseUpper;
  EXPECT_EQ(pairs, 34);  // 30 accented capitals, S and Z caron, Y diaeresis and the OE ligature
  EXPECT_EQ(s.case_kind[0x8C], kCaseUpper);  // the OE ligature
  EXPECT_EQ(s.case_partner[0x8C], 0x9C);
  EXPECT_EQ(s.case_kind[0x9C], kCaseLower);
}

TEST_F(Environment, ADeviceAsTheEnvironmentFileIsNotReadForEver) {
  EXPECT_FALSE(load_environment_file("/dev/zero"));
  EXPECT_EQ(error_code(), 2);
  EXPECT_FALSE(load_environment_file("/tmp"));  // a folder
}

TEST_F(Environment, DigraphsAndTheirOemCopy) {
  set_environment_value("ZORDIGRAPH", "\xC4" "AE,\xD6OE");
  const Settings& s = settings();
  EXPECT_EQ(s.digraphs[0][0], 0xC4);
  EXPECT_EQ(s.digraphs[0][1], 'A');
  EXPECT_EQ(s.digraphs[0][2], 'E');
  EXPECT_EQ(s.digraphs[1][0], 0xD6);
  EXPECT_EQ(s.digraphs[2][0], 0);
  EXPECT_EQ(s.digraphs_oem[0][0], 0x8E);  // A diaeresis in the OEM page
  EXPECT_EQ(s.digraphs_oem[1][0], 0x99);
}

TEST_F(Environment, OemTextIsConvertedAndTheSwitchRestored) {
  // 0x81 is u-diaeresis in the OEM page, 0xFC in the ANSI page.
  ASSERT_TRUE(load("ZORCHARSET=OEM\nZORMONTH=J\x81li\n"));
  EXPECT_STREQ(settings().month_names[0], "J\xFCli");
  EXPECT_FALSE(settings().oem_text);
}

TEST_F(Environment, LongFileNamesSwitch) {
  set_environment_value("ZORLFN", "off");
  EXPECT_FALSE(settings().long_file_names);
  set_environment_value("ZORLFN", "ON");
  EXPECT_TRUE(settings().long_file_names);
}

TEST_F(Environment, QuotedValuesAndItems) {
  EXPECT_EQ(quote_environment_value("ZORMONTH", " a,b\"c"), "\"a\",\"b\"\"c\"");
  EXPECT_EQ(quote_environment_value("ZORCOLSEQ", "a,b"), "\"a,b\"");
  EXPECT_EQ(quote_environment_value("ZORMSG5", "a,b"), "\"a,b\"");
  auto items = environment_items("\"a\",\"b\"\"c\"");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1], "b\"c");
  EXPECT_TRUE(environment_items("\"\"").empty());
}

TEST_F(Environment, MissingFilePostsFileNotFound) {
  clear_error();
  EXPECT_FALSE(load_environment_file(dir_.file("absent.ENV")));
  EXPECT_EQ(error_code(), 2);
  EXPECT_EQ(error_text(), "File Not Found");
  EXPECT_STREQ(settings().month_names[0], "January");
}

TEST_F(Environment, WindowsNameResetsToSystemSettings) {
  std::memcpy(settings().windows_am_pm[0], "vm", 3);
  EXPECT_TRUE(load_environment_file("windows"));
  EXPECT_STREQ(settings().am_pm[0], "vm");
  // The system order puts lower case right before upper case.
  EXPECT_EQ(settings().collation_ansi['a'] + 1, settings().collation_ansi['A']);
  EXPECT_LT(settings().collation_ansi['9'], settings().collation_ansi['a']);
}

TEST_F(Environment, HostileFilesKeepDefaults) {
  std::string garbage;
  uint32_t x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245 + 12345;
    garbage += static_cast<char>(x >> 16);
  }
  EXPECT_TRUE(load(garbage));
  EXPECT_TRUE(load(std::string(5 * 1024 * 1024, 'k')));               // 5 MB of one key
  EXPECT_TRUE(load("ZORMSG910=" + std::string(5 * 1024 * 1024, 'v')));  // 5 MB of one value
  EXPECT_LE(message_text(910).size(), 400u);
  reset_settings();
  EXPECT_TRUE(load("ZORMONTH\nZORMON\n=\n==\n<<<\n"));
  EXPECT_STREQ(settings().month_names[0], "January");
  EXPECT_STREQ(settings().month_abbrevs[0], "Jan");
}

TEST_F(Environment, EnvironmentFileSitsBesideTheExecutable) {
  EXPECT_EQ(environment_file_for("/opt/app/MARLOCK.EXE"), "/opt/app/MARLOCK.ENV");
  EXPECT_EQ(environment_file_for("/opt/app.d/marlock"), "/opt/app.d/marlock.ENV");
}

TEST_F(Environment, CollationBlockRoundTrip) {
  set_environment_value("ZORCOLSEQ", "zyx");
  set_environment_value("ZORDIGRAPH", "\xDFss");
  uint8_t block[kCollationBlockSize];
  save_collation_block(block);
  EXPECT_EQ(block['z'], 'x');
  EXPECT_EQ(block[512 + 'a'], 'A');
  EXPECT_EQ(block[768 + 'a'], kCaseLower);
  EXPECT_EQ(block[1024], 0xDF);
  reset_settings();
  EXPECT_EQ(settings().collation_ansi['z'], 'z');
  load_collation_block(block);
  EXPECT_EQ(settings().collation_ansi['z'], 'x');
  EXPECT_EQ(settings().digraphs[0][1], 's');
}

}  // namespace
}  // namespace vrt::core
