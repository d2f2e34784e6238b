// Page image files read back: by another reader of placeable metafiles, and
// damaged ones refused by our player without reading past their end.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "runtime/report/page_geometry.h"
#include "tests/report/report_test_support.h"
#include "tests/test_support.h"

namespace vrt::report::test {
namespace {

class PageImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Report report("vrttest$report01", "P1$REPORT");
    report.open(true);
    char name[20];
    std::memset(name, ' ', sizeof name);
    std::memcpy(name, "Somebody", 8);
    report.bind(2, name);
    report.print();
    report.close();
    pages = report.page_images();
    ASSERT_EQ(pages.size(), 1u);
    bytes = vrt::test::read_file(pages[0]);
  }
  void TearDown() override { free_page_images(pages); }

  // The page's bytes changed by `change`, written to a file of its own.
  std::string damaged(const std::function<void(std::string&)>& change) {
    std::string b = bytes;
    change(b);
    std::string file = dir.file("damaged");
    vrt::test::write_file(file, b);
    return file;
  }
  static void put16(std::string& b, size_t at, uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
  }
  static void put32(std::string& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
  }
  // The offset of the first record after the metafile header.
  static constexpr size_t kFirstRecord = 22 + 18;

  std::vector<std::string> pages;
  std::string bytes;
  vrt::test::TempDir dir;
};

TEST_F(PageImageTest, AnotherReaderShowsTheWholeSheet) {
  std::string svg = dir.file("page.svg");
  auto r = vrt::test::run_command("wmf2svg -o " + svg + " " + pages[0] + " 2>&1");
  ASSERT_EQ(r.exit_code, 0) << r.out;
  std::string out = vrt::test::read_file(svg);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(out, m, std::regex(R"(<svg[^>]*width="([0-9.]+)\w*"[^>]*height="([0-9.]+)\w*")")))
      << out.substr(0, 400);
  PageGeometry g = PageGeometry::of_settings(current_device_mode());
  double ratio = std::stod(m[1]) / std::stod(m[2]);
  EXPECT_NEAR(ratio, double(g.sheet_w()) / g.sheet_h(), 0.01) << "the sheet's proportions";
  EXPECT_NE(out.find("Report Title"), std::string::npos);
  EXPECT_NE(out.find("Somebody"), std::string::npos);
}

TEST_F(PageImageTest, ASoundPageImagePlays) {
  Rendered r(pages[0], 200, 280);
  EXPECT_TRUE(r.played());
}

TEST_F(PageImageTest, DamagedFilesAreRefusedAndNothingIsPlayed) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
  };
  const Case cases[] = {
      {"truncated in the records", [](std::string& b) { b.resize(b.size() - 10); }},
      {"truncated in the header", [](std::string& b) { b.resize(15); }},
      {"empty", [](std::string& b) { b.clear(); }},
      {"wrong key", [](std::string& b) { b[0] = 0; }},
      {"checksum off", [](std::string& b) { b[20] ^= 1; }},
      {"bounds changed under the checksum", [](std::string& b) { b[10] ^= 4; }},
      {"metafile header size", [](std::string& b) { put16(b, 22 + 2, 10); }},
      {"metafile size not the file's", [](std::string& b) { put32(b, 22 + 6, 7); }},
      {"a record's size past the end", [](std::string& b) { put32(b, kFirstRecord, 0x7FFFFFFF); }},
      {"a record's size under its header", [](std::string& b) { put32(b, kFirstRecord, 2); }},
      {"no end record", [](std::string& b) { put16(b, b.size() - 2, 0x0213); }},
      {"odd length", [](std::string& b) { b.push_back('\0'); }},
  };
  for (const Case& c : cases) {
    std::string file = damaged(c.change);
    EXPECT_FALSE(read_page_image(file).has_value()) << c.what;
    Rendered r(file, 100, 140);
    EXPECT_FALSE(r.played()) << c.what;
    EXPECT_EQ(r.pixel(50, 70), 0xFFFFFFu) << c.what << ": nothing drawn";
  }
  EXPECT_FALSE(read_page_image(dir.file("missing")).has_value());
}

TEST_F(PageImageTest, ARecordTooLargeToPlayIsFatalError523) {
  // A sound file whose first record is larger than the player takes.
  const uint32_t words = kLargestPlayableRecord + 1;
  std::string file = damaged([&](std::string& b) {
    std::string record(size_t{words} * 2, '\0');
    put32(record, 0, words);
    put16(record, 4, 0x0626);  // a function the player passes over
    b.insert(kFirstRecord, record);
    put32(b, 22 + 6, static_cast<uint32_t>((b.size() - 22) / 2));
    put32(b, 22 + 12, words);
  });
  ASSERT_TRUE(read_page_image(file).has_value());
  FatalCapture fatal;
  Rendered r(file, 100, 140);
  EXPECT_FALSE(r.played());
  EXPECT_EQ(FatalCapture::texts(), std::vector<std::string>{"Metafile record too large in report"});
}

}  // namespace
}  // namespace vrt::report::test
