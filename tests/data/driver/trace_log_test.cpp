#include "runtime/data/driver/trace_log.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "runtime/data/view/field_binding.h"
#include "runtime/data/view/view_driver.h"
#include "runtime/data/view/view_trace.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

const char* kSmall = R"(FILE,DRIVER('BRINDLEX'),OWNER('secret'),NAME('SMALL'),THREAD
SMA:BYID KEY(+SMA:ID)
RECORD
SMA:ID LONG
SMA:NAME STRING(8)
SMA:BORN DATE
END
END
)";

// Each test runs in a folder of its own with a profile of its own.
class Trace : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    setenv("VORTHAL_WININI", dir.file("win.ini").c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir);
    unsetenv("VORTHAL_WININI");
  }
  void profile(const std::string& text) { test::write_file(dir.file("win.ini"), text); }
  void make(const char* declaration = kSmall) {
    test::make_file(small, declaration, dir.file("SMALL.BDX"));
    Create(small);
    Open(small);
    std::memset(small.record.data(), ' ', small.record.size());
    test::set_long(small, "SMA:ID", 7);
    test::set_string(small, "SMA:NAME", "Ann");
    uint8_t born[4] = {31, 10, 0xA7, 0x07};  // 31 October 1959
    std::memcpy(small.record.data() + test::field(small, "SMA:BORN").offset, born, 4);
    Add(small);
    Set(small);
    Next(small);
    Next(small);  // past the end: an error line
  }
  std::string log(const std::string& name) { return test::read_file(dir.file(name)); }
  test::TempDir dir;
  test::QuietBoxes boxes;
  std::filesystem::path old_dir;
  FileBlock small;
};

TEST_F(Trace, NothingWithoutProfile) {
  profile("[QWBRINDLEX]\nProfile=0\nDetails=1\n");
  make();
  Close(small);
  EXPECT_FALSE(std::filesystem::exists(dir.file("BRINDLEX.LOG")));
}

TEST_F(Trace, OneLinePerCallWithItsError) {
  profile("[QWBRINDLEX]\nProfile=1\nTraceFile=\n");
  make();
  Close(small);
  std::string text = log("BRINDLEX.LOG");  // an empty TraceFile gives the default
  std::regex line(R"(^ADD\()" + dir.file("SMALL.BDX") + R"( \d+\) *Time Taken: \d+\.\d\d secs\r$)");
  std::istringstream in(text);
  std::string first;
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("CREATE(", 0), 0u);
  EXPECT_TRUE(std::regex_match(lines[2], line)) << lines[2];
  EXPECT_NE(lines[5].find("Error: Record Not Available Time Taken: "), std::string::npos) << lines[5];
  EXPECT_EQ(text.find("Ann"), std::string::npos);  // no details asked for
}

TEST_F(Trace, DetailsDumpTheDeclarationAndRecordsButNeverThePassword) {
  profile("[QWBRINDLEX]\nProfile=1\nDetails=1\nTraceFile=trace.log\n");
  make();
  Close(small);
  std::string text = log("trace.log");
  EXPECT_NE(text.find("FILE,DRIVER('BRINDLEX'),OWNER(******)"), std::string::npos);
  EXPECT_EQ(text.find("secret"), std::string::npos);
  EXPECT_NE(text.find("  SMA:ID            :7\r\n"), std::string::npos);
  EXPECT_NE(text.find("  SMA:NAME          :'Ann     '\r\n"), std::string::npos);
  EXPECT_NE(text.find("  SMA:BORN          :31 Oct 1959 (58015)\r\n"), std::string::npos);
}

TEST_F(Trace, OptionsWithoutAllowDetailsNeverDump) {
  profile("[QWBRINDLEX]\nProfile=1\nDetails=1\n");
  std::string with_options = kSmall;
  with_options.replace(with_options.find("DRIVER('BRINDLEX')"), 18, "DRIVER('BRINDLEX','/FAST')");
  make(with_options.c_str());
  Close(small);
  std::string text = log("BRINDLEX.LOG");
  EXPECT_NE(text.find("ADD("), std::string::npos);
  EXPECT_EQ(text.find("  SMA:ID"), std::string::npos);
}

TEST_F(Trace, ViewLinesAndTheViewDeclaration) {
  profile("[QWBRINDLEX]\nDetails=1\n[QWVIEW]\nProfile=1\n");
  make();
  ViewNode root = view_node(small);
  root.projection = {1, 2};
  bind_record_fields(small);
  FileBlock view;
  auto v = std::make_unique<View>(root, view_field_resolver(small));
  make_view_block(view, std::move(v));
  Open(view);
  SetView(view);
  Next(view);
  Next(view);
  Close(view);
  Close(small);
  core::reset_bindings();
  std::string text = log("VIEW.LOG");
  EXPECT_EQ(text.rfind("VIEW(FILE)\r\n  PROJECT(FIELD(1),FIELD(2))\r\nEND\r\n", 0), 0u) << text;
  std::regex line(R"(NEXT\(VIEW:[0-9A-F]+: \d+\) *Time Taken: \d+\.\d\d secs)");
  EXPECT_TRUE(std::regex_search(text, line)) << text;
  EXPECT_NE(text.find("Error: Record Not Available"), std::string::npos);
  EXPECT_NE(text.find("  SMA:NAME          :'Ann     '"), std::string::npos);
}

// The declaration ends with "END", "END" and one empty line; memos follow
// the fields of a record dump in hexadecimal.
TEST_F(Trace, TheDeclarationEndsWithOneEmptyLineAndMemosAreDumpedInHex) {
  profile("[QWBRINDLEX]\nProfile=1\nDetails=1\nTraceFile=trace.log\n");
  std::string with_memo = kSmall;
  with_memo.replace(with_memo.find("RECORD"), 0, "MEMO(40),NAME('SMA:NOTE')\n");
  test::make_file(small, with_memo.c_str(), dir.file("SMALL.BDX"));
  Create(small);
  Open(small);
  std::memset(small.record.data(), 0, small.record.size());
  small.declaration.memos[0].value = "Hello,\tworld! 0123456789";
  Add(small);
  Close(small);
  std::string text = log("trace.log");
  EXPECT_NE(text.find("END\r\nEND\r\n\r\nCREATE("), std::string::npos) << text;
  EXPECT_EQ(text.find("END\r\nEND\r\n\r\n\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  SMA:NOTE          :\r\n"
                      "48 65 6C 6C 6F 2C 09 77 6F 72 6C 64 21 20 30 31  | Hello,.world! 01\r\n"
                      "32 33 34 35 36 37 38 39                          | 23456789\r\n"),
            std::string::npos)
      << text;
}

// A join by a key name is written as its text; projected memos as MEMO(n).
TEST_F(Trace, TheViewDeclarationKeepsAKeyNameJoinAndMemos) {
  ViewNode root = view_node(small);
  root.projection = {1};
  root.projected_memos = {0};
  ViewNode child = view_node(small);
  child.join_text = "SMA:BYID";
  child.key = 0;
  child.link_fields = {1};
  root.children.push_back(child);
  EXPECT_EQ(view_declaration(root),
            "VIEW(FILE)\r\n  PROJECT(FIELD(1),MEMO(0))\r\n  JOIN(SMA:BYID)\r\n  END\r\nEND\r\n");
}

}  // namespace
}  // namespace vrt::data
