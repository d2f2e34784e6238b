// The report engine: bands laid out on pages, page numbers, splits, forced
// page breaks and the page image files of a preview.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "runtime/report/page_geometry.h"
#include "tests/report/report_test_support.h"
#include "tests/test_support.h"

namespace vrt::report::test {
namespace {

constexpr const char* kModule = "vrttest$report01";
constexpr int32_t kName = 2, kPage = 4;  // the detail's value and the footer's

struct Name {
  char bytes[20];
  void operator=(const std::string& s) {
    std::memset(bytes, ' ', sizeof bytes);
    std::memcpy(bytes, s.data(), std::min(s.size(), sizeof bytes));
  }
};

// The current printer's page as its device context gives it.
PageGeometry printer_geometry() {
  platform::HDC printer = platform::CreatePrinterDC(current_printer(), current_device_mode());
  PageGeometry g = printer ? PageGeometry::of_printer(printer) : PageGeometry{};
  if (printer) platform::DeletePrinterDC(printer);
  return g;
}

class ReportEngineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    free_page_images(pages);
    set_page_image_namer(nullptr);
  }
  // Prints `bands` detail bands named "Row1", "Row2" ... in preview mode.
  void preview(const char* label, int bands, const std::vector<int>& break_after = {}) {
    Report report(kModule, label);
    report.open(true);
    ASSERT_TRUE(report.is_open());
    Name name;
    report.bind(kName, name.bytes);
    for (int i = 1; i <= bands; ++i) {
      name = "Row" + std::to_string(i);
      report.print();
      if (std::ranges::find(break_after, i) != break_after.end()) report.end_page();
    }
    report.close();
    EXPECT_FALSE(report.failed());
    pages = report.page_images();
  }
  std::vector<std::string> pages;
};

TEST_F(ReportEngineTest, ThreeBandsToAPageAndTheFooterCountsThePages) {
  preview("P1$REPORT", 7);
  ASSERT_EQ(pages.size(), 3u);
  for (int page = 1; page <= 3; ++page) {
    const std::string& file = pages[page - 1];
    EXPECT_TRUE(has_text(file, "Page" + std::to_string(page))) << "page " << page;
    EXPECT_TRUE(has_text(file, "ReportTitle")) << "every page has its header";
  }
  EXPECT_TRUE(has_text(pages[0], "Row3"));
  EXPECT_FALSE(has_text(pages[0], "Row4"));
  EXPECT_TRUE(has_text(pages[2], "Row7"));
}

TEST_F(ReportEngineTest, AFullPageIsNotFollowedByAnEmptyOne) {
  preview("P1$REPORT", 6);
  EXPECT_EQ(pages.size(), 2u);
}

TEST_F(ReportEngineTest, EndPageBreaksThePageOnceAndAfterAFullPageNotAgain) {
  preview("P1$REPORT", 4, {1, 3});
  // Row1 | Row2 Row3 (full: the break after it makes no blank page) | Row4.
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_TRUE(has_text(pages[0], "Row1"));
  EXPECT_FALSE(has_text(pages[0], "Row2"));
  EXPECT_TRUE(has_text(pages[1], "Row2"));
  EXPECT_TRUE(has_text(pages[2], "Row4"));
  EXPECT_TRUE(has_text(pages[2], "Page3"));
}

TEST_F(ReportEngineTest, AReportWithoutBandsStillHasItsFirstPage) {
  preview("P1$REPORT", 0);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(has_text(pages[0], "Page1"));
}

// Pixels of a page's whole sheet drawn at 100 per inch, sheet coordinates
// in thousandths.
class Sheet {
 public:
  explicit Sheet(const std::string& file) : r_(file, size(file).cx, size(file).cy) {}
  bool dark(int x, int y) const { return r_.dark(x / 10, y / 10); }
  bool played() const { return r_.played(); }

 private:
  static platform::SIZE size(const std::string& file) {
    auto image = read_page_image(file);
    if (!image) return {100, 100};
    return {image->bounds.width() * 100 / image->units_per_inch, image->bounds.height() * 100 / image->units_per_inch};
  }
  Rendered r_;
};

// The detail area runs from 2000 to 3000; each band is 600 high with a
// black box from 100 to 500 in it.
TEST_F(ReportEngineTest, ABandThatDoesNotFitIsSplitAcrossTwoPages) {
  preview("P2$SPLIT", 2);
  ASSERT_EQ(pages.size(), 2u);
  Sheet one(pages[0]), two(pages[1]);
  ASSERT_TRUE(one.played() && two.played());
  EXPECT_TRUE(one.dark(4000, 2300)) << "the first band's box";
  EXPECT_FALSE(one.dark(4000, 2650)) << "between the boxes";
  EXPECT_TRUE(one.dark(4000, 2850)) << "the upper part of the second band's box";
  EXPECT_FALSE(one.dark(4000, 3050)) << "nothing below the detail area";
  EXPECT_TRUE(two.dark(4000, 2050)) << "the rest of the box at the top of the next page";
  EXPECT_FALSE(two.dark(4000, 2150)) << "the rest is only what the first page did not show";
}

TEST_F(ReportEngineTest, APrintersMarginsMoveNothingOnTheSheet) {
  platform::DEVMODE before = current_device_mode();
  current_device_mode().margin_left = current_device_mode().margin_right = 120;  // 12 mm
  current_device_mode().margin_top = current_device_mode().margin_bottom = 80;
  preview("P2$SPLIT", 2);
  PageGeometry g = printer_geometry();
  current_device_mode() = before;
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_GT(g.offset_x, 0);
  auto image = read_page_image(pages[0]);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bounds.right, g.printable_w + 2 * g.offset_x);
  EXPECT_EQ(image->bounds.bottom, g.printable_h + 2 * g.offset_y);
  Sheet one(pages[0]);
  EXPECT_TRUE(one.dark(4000, 2150)) << "the box where the sheet has it";
  EXPECT_FALSE(one.dark(4000, 2050));
  EXPECT_TRUE(one.dark(1050, 2300));
  EXPECT_FALSE(one.dark(950, 2300));
}

TEST_F(ReportEngineTest, ABandWithEitherSplitBitMovesWholeToTheNextPage) {
  for (const char* label : {"P3$TOGETHER", "P4$WITHPRIOR"}) {
    preview(label, 2);
    ASSERT_EQ(pages.size(), 2u) << label;
    Sheet one(pages[0]), two(pages[1]);
    EXPECT_TRUE(one.dark(4000, 2300)) << label;
    EXPECT_FALSE(one.dark(4000, 2850)) << label;
    EXPECT_TRUE(two.dark(4000, 2300)) << label << ": the whole band at the top of the second page";
    free_page_images(pages);
  }
}

TEST_F(ReportEngineTest, ABandKeptTogetherThatNoPageHoldsIsSplitAfterAll) {
  preview("P5$TALL", 1);
  // 1500 high in a detail area of 1000: its box at 900 to 1100 is cut in two.
  ASSERT_EQ(pages.size(), 2u);
  Sheet one(pages[0]), two(pages[1]);
  EXPECT_TRUE(one.dark(4000, 2950));
  EXPECT_TRUE(two.dark(4000, 2050));
  EXPECT_FALSE(two.dark(4000, 2150));
}

TEST_F(ReportEngineTest, APageImageHasThePlaceableHeaderOfTheWholeSheet) {
  preview("P1$REPORT", 1);
  ASSERT_EQ(pages.size(), 1u);
  std::string bytes = vrt::test::read_file(pages[0]);
  ASSERT_GT(bytes.size(), 40u);
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
  PageGeometry g = printer_geometry();
  EXPECT_EQ(u16(0), 0xCDD7);
  EXPECT_EQ(u16(2), 0x9AC6);
  EXPECT_EQ(u16(4), 0);
  EXPECT_EQ(u16(6), 0);
  EXPECT_EQ(u16(8), 0);
  EXPECT_EQ(u16(10), g.sheet_w());
  EXPECT_EQ(u16(12), g.sheet_h());
  EXPECT_EQ(u16(14), std::max(g.dpi_x, g.dpi_y));
  EXPECT_EQ(u16(16), 0);
  EXPECT_EQ(u16(18), 0);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= u16(i);
  EXPECT_EQ(u16(20), sum);
  EXPECT_EQ(u16(22), 1) << "a memory metafile follows";
  EXPECT_EQ(u16(24), 9);
  EXPECT_EQ(std::filesystem::path(pages[0]).filename().string().substr(0, 3), "ZOR");
}

std::string g_name_dir;
// Names that sort backwards: the list must still be in page order.
std::string backwards(int page) { return g_name_dir + "/page-" + std::string(1, char('z' - page)); }

TEST_F(ReportEngineTest, TheListIsInPageOrderWhateverTheNames) {
  vrt::test::TempDir dir;
  g_name_dir = dir.path();
  set_page_image_namer(backwards);
  preview("P1$REPORT", 9);
  ASSERT_EQ(pages.size(), 3u);
  for (int page = 1; page <= 3; ++page) {
    EXPECT_EQ(pages[page - 1], backwards(page));
    EXPECT_TRUE(has_text(pages[page - 1], "Page" + std::to_string(page)));
  }
}

TEST_F(ReportEngineTest, AnUnwritablePageImageFailsTheReport) {
  set_page_image_namer([](int) { return std::string("/nonexistent-dir/page"); });
  Report report(kModule, "P1$REPORT");
  report.open(true);
  report.print();
  report.close();
  EXPECT_TRUE(report.failed());
  EXPECT_TRUE(report.page_images().empty());
}

TEST_F(ReportEngineTest, StatementsOnAReportThatIsNotOpenAreFatal) {
  FatalCapture fatal;
  Report report(kModule, "P1$REPORT");
  report.print();
  report.end_page();
  report.open(true);
  report.open(true);
  report.close();
  pages = report.page_images();
  EXPECT_EQ(FatalCapture::texts(), (std::vector<std::string>{"PRINT must only be called for reports",
                                                              "ENDPAGE must only be called for reports",
                                                              "Report is already open"}));
}

}  // namespace
}  // namespace vrt::report::test
