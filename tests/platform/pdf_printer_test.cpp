#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <regex>

#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/printer.h"
#include "tests/platform/printer_test_support.h"

namespace vrt::platform {
namespace {

namespace fs = std::filesystem;

class PdfPrinter : public test::PrinterProfileTest {
 protected:
  void TearDown() override {
    if (dc_) DeletePrinterDC(dc_);
    test::PrinterProfileTest::TearDown();
  }
  HDC open(const DEVMODE& mode = {}, const DEVNAMES& printer = {"PDF", "PDF", "FILE:"}) {
    dc_ = CreatePrinterDC(printer, mode);
    return dc_;
  }
  // Names in the folder besides the profile.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_.path()))
      if (e.path().filename() != "win.ini") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Where pdftotext finds a word: its left and top edge in points.
  std::pair<double, double> word_position(const std::string& pdf, const std::string& word) {
    std::string html = test::run_command("pdftotext -bbox '" + pdf + "' - 2>/dev/null").out;
    std::smatch m;
    std::regex re("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
    if (!std::regex_search(html, m, re)) return {-1, -1};
    return {std::stod(m[1]), std::stod(m[2])};
  }
  HDC dc_ = nullptr;
};

TEST_F(PdfPrinter, DeviceUnitsArePrinterPixelsOfTheSheet) {
  HDC dc = open();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2480);  // 210 mm at 300 dpi
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 3508);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2480);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 3508);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 0);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
}

TEST_F(PdfPrinter, PagesTextAndSizeReachTheFile) {
  HDC dc = open();
  std::string out = dir_.file("report.pdf");
  ASSERT_GT(StartDoc(dc, {"Customers", out}), 0) << printer_error_text();
  for (int page = 1; page <= 3; ++page) {
    ASSERT_GT(StartPage(dc), 0);
    TextOut(dc, 300, 300, "Page" + std::to_string(page));
    TextOut(dc, 1200, 1700, "Centre");
    Rectangle(dc, 100, 100, 2380, 3408);
    ASSERT_GT(EndPage(dc), 0);
    // Nothing at the target until the whole document is written.
    EXPECT_FALSE(fs::exists(out));
  }
  ASSERT_GT(EndDoc(dc), 0) << printer_error_text();
  EXPECT_EQ(files(), std::vector<std::string>{"report.pdf"});
  EXPECT_EQ(test::pdf_info(out, "Pages"), "3");
  EXPECT_EQ(test::pdf_info(out, "Page size").substr(0, 20), "595.276 x 841.89 pts");
  EXPECT_EQ(test::pdf_info(out, "Title"), "Customers");
  std::string text = test::pdf_text(out);
  size_t p1 = text.find("Page1"), p2 = text.find("Page2"), p3 = text.find("Page3");
  ASSERT_NE(p3, std::string::npos) << text;
  EXPECT_LT(p1, p2);
  EXPECT_LT(p2, p3);
  // 1200 pixels at 300 dpi are 4 inches, 288 points; 1700 are 408 points
  // down to the top of the cell, the word's top a little lower.
  auto [x, y] = word_position(out, "Centre");
  EXPECT_NEAR(x, 288, 2);
  EXPECT_NEAR(y, 408, 4);
}

TEST_F(PdfPrinter, CustomPaperResolutionAndMargins) {
  DEVMODE mode;
  mode.paper_width = 1000;  // 10 x 15 cm
  mode.paper_length = 1500;
  mode.dpi_x = mode.dpi_y = 600;
  mode.margin_left = mode.margin_top = 127;  // half an inch
  mode.margin_right = mode.margin_bottom = 254;
  HDC dc = open(mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2362);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 3543);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 300);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 300);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2362 - 900);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 3543 - 900);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  std::string out = dir_.file("card.pdf");
  ASSERT_GT(StartDoc(dc, {"", out}), 0);
  StartPage(dc);
  TextOut(dc, 600, 0, "Corner");  // device (0, 0) is the printable area's corner
  EndDoc(dc);  // ends the open page too
  EXPECT_EQ(test::pdf_info(out, "Pages"), "1");
  EXPECT_EQ(test::pdf_info(out, "Page size").substr(0, 19), "283.465 x 425.197 p");
  auto [x, y] = word_position(out, "Corner");
  EXPECT_NEAR(x, 36 + 72, 2);
  EXPECT_NEAR(y, 36, 4);
}

TEST_F(PdfPrinter, ThePortIsTheFileUnlessTheDocumentNamesOne) {
  std::string port = dir_.file("port.pdf"), chosen = dir_.file("chosen.pdf");
  HDC dc = open({}, {"Draft", "PDF", port});
  ASSERT_GT(StartDoc(dc, {"", ""}), 0);
  StartPage(dc);
  EndPage(dc);
  ASSERT_GT(EndDoc(dc), 0);
  ASSERT_GT(StartDoc(dc, {"", chosen}), 0);  // print to file
  StartPage(dc);
  EndPage(dc);
  StartPage(dc);
  EndPage(dc);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(files(), (std::vector<std::string>{"chosen.pdf", "port.pdf"}));
  EXPECT_EQ(test::pdf_info(port, "Pages"), "1");
  EXPECT_EQ(test::pdf_info(chosen, "Pages"), "2");
}

TEST_F(PdfPrinter, UnwritableTargetsFailStartDocAndLeaveNothing) {
  HDC dc = open();
  fs::create_directory(dir_.file("folder"));
  test::write_file(dir_.file("plain"), "x");
  struct Case {
    std::string path;
    uint32_t error;
  } cases[] = {
      {dir_.file("missing/out.pdf"), kErrorPathNotFound},
      {dir_.file("plain/out.pdf"), kErrorPathNotFound},
      {dir_.file("folder"), kErrorAccessDenied},
      {"FILE:", kErrorInvalidParameter},  // the port asks for a file none named
  };
  for (const Case& c : cases) {
    SetLastError(kErrorSuccess);
    EXPECT_LE(StartDoc(dc, {"", c.path == "FILE:" ? "" : c.path}), 0) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
    EXPECT_FALSE(printer_error_text().empty());
    EXPECT_LE(StartPage(dc), 0);  // no document was started
  }
  EXPECT_NE(printer_error_text().find("No document"), std::string::npos);
  EXPECT_EQ(files(), (std::vector<std::string>{"folder", "plain"}));
  EXPECT_TRUE(fs::is_empty(dir_.file("folder")));
}

TEST_F(PdfPrinter, AnAbortedDocumentLeavesTheOldFile) {
  std::string out = dir_.file("kept.pdf");
  test::write_file(out, "old");
  HDC dc = open();
  ASSERT_GT(StartDoc(dc, {"", out}), 0);
  EXPECT_LE(StartDoc(dc, {"", out}), 0);  // one document at a time
  StartPage(dc);
  TextOut(dc, 10, 10, "New");
  EndPage(dc);
  ASSERT_GT(AbortDoc(dc), 0);
  EXPECT_EQ(test::read_file(out), "old");
  // Freeing the context mid-document drops the document the same way.
  ASSERT_GT(StartDoc(dc, {"", out}), 0);
  StartPage(dc);
  DeletePrinterDC(dc);
  dc_ = nullptr;
  EXPECT_EQ(test::read_file(out), "old");
  EXPECT_EQ(files(), std::vector<std::string>{"kept.pdf"});
}

TEST_F(PdfPrinter, AFileThatCannotGrowFailsTheDocumentAndLeavesNothing) {
  std::string out = dir_.file("big.pdf");
  HDC dc = open();
  ASSERT_GT(StartDoc(dc, {"", out}), 0);
  // Files of this process may not grow past 4 KiB from here on: writes fail
  // as on a full disk.
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  for (int page = 0; page < 20; ++page) {
    StartPage(dc);
    for (int line = 0; line < 60; ++line) TextOut(dc, 100, 100 + line * 50, "Line " + std::to_string(line * page));
    EndPage(dc);
  }
  int end = EndDoc(dc);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, old_handler);
  EXPECT_LE(end, 0);
  EXPECT_EQ(GetLastError(), kErrorHandleDiskFull);
  EXPECT_NE(printer_error_text().find("Cannot write"), std::string::npos) << printer_error_text();
  EXPECT_EQ(files(), std::vector<std::string>{});
}

TEST_F(PdfPrinter, SettingsOutOfRangeOpenNoPrinter) {
  DEVMODE bad[5];
  bad[0].paper_width = 0;
  bad[1].dpi_y = -300;
  bad[2].copies = 0;
  bad[3].margin_left = bad[3].margin_right = 1050;
  bad[4].paper_length = 1'000'000;
  for (const DEVMODE& mode : bad) {
    EXPECT_EQ(CreatePrinterDC({"PDF", "PDF", "FILE:"}, mode), nullptr);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  }
  EXPECT_EQ(CreatePrinterDC({"Fax", "FAXDRV", "COM1:"}, {}), nullptr);
  // Calls on a context that is not a printer's fail instead of crashing.
  EXPECT_LE(StartDoc(nullptr, {}), 0);
  EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

}  // namespace
}  // namespace vrt::platform
