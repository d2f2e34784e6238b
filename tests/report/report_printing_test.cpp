// Reports on a real printer: the PDF printer of the profile writing to a
// path. What prints straight away, what prints from the page images, and
// what the preview shows must be the same pages.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>

#include "runtime/platform/print/printer.h"
#include "runtime/report/page_geometry.h"
#include "tests/report/report_test_support.h"
#include "tests/test_support.h"

namespace vrt::report::test {
namespace {

class ReportPrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("VORTHAL_WININI");
    old_profile_ = old ? old : "";
    pdf_ = dir_.file("out.pdf");
    vrt::test::write_file(dir_.file("win.ini"), "[Devices]\nTestPDF=PDF," + pdf_ + "\n");
    setenv("VORTHAL_WININI", dir_.file("win.ini").c_str(), 1);
    ASSERT_TRUE(select_printer("TestPDF"));
  }
  void TearDown() override {
    free_page_images(pages_);
    if (old_profile_.empty()) unsetenv("VORTHAL_WININI");
    else setenv("VORTHAL_WININI", old_profile_.c_str(), 1);
    select_printer("PDF");
  }

  // Seven rows, three to a page: three pages.
  void print_report(bool preview) {
    Report report("vrttest$report01", "P1$REPORT");
    report.open(preview);
    ASSERT_TRUE(report.is_open());
    char name[20];
    report.bind(2, name);
    for (int i = 1; i <= 7; ++i) {
      std::string text = "Row" + std::to_string(i);
      std::memset(name, ' ', sizeof name);
      std::memcpy(name, text.data(), text.size());
      report.print();
    }
    report.close();
    EXPECT_FALSE(report.failed());
    pages_ = report.page_images();
  }
  // The PDF's text with the spaces and line ends taken out.
  std::string pdf_text() {
    std::string text;
    for (char c : vrt::test::run_command("pdftotext " + pdf_ + " -").out)
      if (!std::isspace(static_cast<unsigned char>(c))) text += c;
    return text;
  }
  int pdf_pages() {
    std::string info = vrt::test::run_command("pdfinfo " + pdf_).out;
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
  }

  vrt::test::TempDir dir_;
  std::string old_profile_, pdf_;
  std::vector<std::string> pages_;
};

TEST_F(ReportPrintingTest, DirectPrintingWritesEveryPageAsText) {
  print_report(false);
  EXPECT_TRUE(pages_.empty()) << "no page images when printing straight away";
  ASSERT_TRUE(std::filesystem::exists(pdf_));
  EXPECT_EQ(pdf_pages(), 3);
  std::string text = pdf_text();
  for (const char* want : {"ReportTitle", "Row1", "Row7", "Page1", "Page3"})
    EXPECT_NE(text.find(want), std::string::npos) << want << " in\n" << text;
}

TEST_F(ReportPrintingTest, PageImagesPrintAsTheSameDocument) {
  print_report(true);
  ASSERT_EQ(pages_.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(pdf_)) << "the preview prints nothing";
  ASSERT_TRUE(print_page_images(pages_, "Report"));
  EXPECT_EQ(pdf_pages(), 3);
  std::string text = pdf_text();
  for (const char* want : {"ReportTitle", "Row4", "Page2"}) EXPECT_NE(text.find(want), std::string::npos) << want;
}

// A number right-aligned in a control that ends 2 inches from the sheet's
// left edge ends there on paper, however differently its picture's blanks
// measured when the band was recorded.
TEST_F(ReportPrintingTest, RightAlignedTextEndsAtItsControlsEdge) {
  Report report("vrttest$report01", "P6$NUMBER");
  report.open(true);
  ASSERT_TRUE(report.is_open());
  int32_t number = 671;
  report.bind(1, &number);
  report.print();
  report.close();
  pages_ = report.page_images();
  ASSERT_TRUE(print_page_images(pages_, "Report"));
  std::string words = vrt::test::run_command("pdftotext -bbox " + pdf_ + " -").out;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(words, m, std::regex("xMax=\"([0-9.]+)\"[^>]*>671</word>"))) << words;
  double right = std::stod(m[1]);
  EXPECT_LE(right, 2 * 72 + 1.0) << "the number runs past its control";
  EXPECT_GE(right, 2 * 72 - 3.0);
}

TEST_F(ReportPrintingTest, ADamagedPageImageStopsTheDocumentAndLeavesNoFile) {
  print_report(true);
  ASSERT_EQ(pages_.size(), 3u);
  std::string bytes = vrt::test::read_file(pages_[2]);
  vrt::test::write_file(pages_[2], bytes.substr(0, bytes.size() / 2));
  EXPECT_FALSE(print_page_images(pages_, "Report"));
  EXPECT_FALSE(std::filesystem::exists(pdf_)) << "no half document at the target";
}

TEST_F(ReportPrintingTest, AFailedDocumentMarksTheReport) {
  vrt::test::write_file(dir_.file("win.ini"), "[Devices]\nTestPDF=PDF,/nonexistent-dir/out.pdf\n");
  ASSERT_TRUE(select_printer("TestPDF"));
  Report report("vrttest$report01", "P1$REPORT");
  report.open(false);
  report.print();
  report.close();
  EXPECT_TRUE(report.failed());
  EXPECT_FALSE(print_page_images({}, "Nothing")) << "no document for no pages on a printer that cannot write";
}

TEST_F(ReportPrintingTest, APrinterNotInTheProfileLeavesTheCurrentOne) {
  EXPECT_FALSE(select_printer("NoSuchPrinter"));
  EXPECT_EQ(current_printer().device, "TestPDF");
}

// Share of pixels whose darkness differs by more than a little.
double differing(cairo_surface_t* a, cairo_surface_t* b) {
  int w = std::min(cairo_image_surface_get_width(a), cairo_image_surface_get_width(b));
  int h = std::min(cairo_image_surface_get_height(a), cairo_image_surface_get_height(b));
  auto grey = [](cairo_surface_t* s, int x, int y) {
    const uint8_t* p = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4;
    return (p[0] + p[1] + p[2]) / 3;
  };
  long off = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (std::abs(grey(a, x, y) - grey(b, x, y)) > 96) ++off;
  return double(off) / (double(w) * h);
}

class PreviewAndPrinter : public ReportPrintingTest, public ::testing::WithParamInterface<int> {};

// With and without margins the printer cannot reach.
INSTANTIATE_TEST_SUITE_P(Margins, PreviewAndPrinter, ::testing::Values(0, 150));

TEST_P(PreviewAndPrinter, Agree) {
  platform::DEVMODE& mode = current_device_mode();
  mode.margin_left = mode.margin_right = mode.margin_top = mode.margin_bottom = GetParam();
  print_report(true);
  ASSERT_EQ(pages_.size(), 3u);
  ASSERT_TRUE(print_page_images(pages_, "Report"));
  const int dpi = 50;
  auto r = vrt::test::run_command("pdftoppm -r " + std::to_string(dpi) + " -f 2 -l 2 -png " + pdf_ + " " +
                                  dir_.file("printed"));
  ASSERT_EQ(r.exit_code, 0);
  std::string png;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
    if (e.path().filename().string().starts_with("printed")) png = e.path().string();
  ASSERT_FALSE(png.empty());
  cairo_surface_t* printed = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(printed), CAIRO_STATUS_SUCCESS);
  int w = cairo_image_surface_get_width(printed), h = cairo_image_surface_get_height(printed);
  Rendered shown(pages_[1], w, h);
  ASSERT_TRUE(shown.played());
  // The ink of both (rows, lines, boxes) lands on the same pixels.
  double off = differing(printed, shown.surface());
  EXPECT_LT(off, 0.005) << "pixels differing: " << off;
  // And the comparison sees a page that is not the same.
  Rendered other(pages_[2], w, h);
  EXPECT_GT(differing(printed, other.surface()), off * 2 + 0.0005);
  cairo_surface_destroy(printed);
}

}  // namespace
}  // namespace vrt::report::test
