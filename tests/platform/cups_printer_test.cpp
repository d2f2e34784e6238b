#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/printer.h"
#include "tests/platform/cups_server.h"
#include "tests/platform/printer_test_support.h"

namespace vrt::platform {
namespace {

namespace fs = std::filesystem;

// One server for the suite: starting cupsd takes a moment.
class CupsPrinter : public test::PrinterProfileTest {
 protected:
  static void SetUpTestSuite() {
    server_ = new test::CupsServer;
    if (!server_->failure().empty()) return;
    server_->add_queue("alpha", server_->file("alpha.pdf"));
    server_->add_queue("beta", server_->file("beta.pdf"));
    server_->run("lpadmin -d beta");
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(server_->failure(), "") << "the test's own CUPS server is not there";
    use_cups_server(server_->socket());
  }

  // Waits (at most 30 seconds) until the queue has written a whole PDF.
  static bool wait_for_pdf(const std::string& path) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (test::pdf_info(path, "Pages").empty()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  }

  static test::CupsServer* server_;
};

test::CupsServer* CupsPrinter::server_ = nullptr;

TEST_F(CupsPrinter, DestinationsAreThePrintersWhenTheProfileNamesNone) {
  EXPECT_EQ(available_printers(), (std::vector<DEVNAMES>{{"beta", "CUPS", "beta"},
                                                          {"alpha", "CUPS", "alpha"},
                                                          {"PDF", "PDF", "FILE:"}}));
  EXPECT_EQ(select_printer(""), (DEVNAMES{"beta", "CUPS", "beta"}));
  EXPECT_EQ(select_printer("alpha"), (DEVNAMES{"alpha", "CUPS", "alpha"}));
  EXPECT_EQ(select_printer("gamma"), std::nullopt);
  // Named in the profile, the queues stand behind the profile's names only.
  write_profile("[Devices]\nOffice=CUPS,alpha\nGone=CUPS,gamma\n");
  EXPECT_EQ(select_printer("Office"), (DEVNAMES{"Office", "CUPS", "alpha"}));
  EXPECT_EQ(select_printer("Gone"), std::nullopt);
  EXPECT_EQ(select_printer("beta"), std::nullopt);
}

TEST_F(CupsPrinter, TheQueueGivesMediaMarginsAndResolution) {
  test::ScopedEnv letter("LC_PAPER", "en_US.UTF-8");  // the queue's A4 wins over the locale
  test::ScopedEnv all("LC_ALL", nullptr);
  DEVMODE mode = default_device_mode({"beta", "CUPS", "beta"});
  EXPECT_EQ(mode.media, "iso_a4_210x297mm");
  EXPECT_EQ(mode.paper_width, 2100);
  EXPECT_EQ(mode.paper_length, 2970);
  EXPECT_EQ(mode.margin_left, 64);  // 18 points
  EXPECT_EQ(mode.margin_right, 64);
  EXPECT_EQ(mode.margin_top, 127);  // 36 points
  EXPECT_EQ(mode.margin_bottom, 127);
  EXPECT_EQ(mode.dpi_x, 600);
  EXPECT_EQ(mode.dpi_y, 600);
  HDC dc = CreatePrinterDC({"beta", "CUPS", "beta"}, mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 151);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 300);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 4961);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4961 - 2 * 151);
  DeletePrinterDC(dc);
}

TEST_F(CupsPrinter, PagesReachTheQueuesDevice) {
  std::string out = server_->file("alpha.pdf");
  test::TempDir temp;  // the copy handed to the queue goes here, and away
  test::ScopedEnv tmpdir("TMPDIR", temp.path().c_str());
  DEVMODE mode = default_device_mode({"alpha", "CUPS", "alpha"});
  mode.copies = 2;
  HDC dc = CreatePrinterDC({"alpha", "CUPS", "alpha"}, mode);
  ASSERT_NE(dc, nullptr);
  ASSERT_GT(StartDoc(dc, {"Members", ""}), 0) << printer_error_text();
  for (const char* text : {"First", "Second"}) {
    StartPage(dc);
    TextOut(dc, 600, 600, text);
    EndPage(dc);
  }
  ASSERT_GT(EndDoc(dc), 0) << printer_error_text();
  DeletePrinterDC(dc);
  ASSERT_TRUE(wait_for_pdf(out)) << server_->log();
  EXPECT_EQ(test::pdf_info(out, "Pages"), "2");
  EXPECT_EQ(test::pdf_info(out, "Page size").substr(0, 20), "595.276 x 841.89 pts");
  std::string text = test::pdf_text(out);
  EXPECT_LT(text.find("First"), text.find("Second"));
  EXPECT_NE(text.find("Second"), std::string::npos);
  EXPECT_NE(server_->log().find("copies asked: 2"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(CupsPrinter, ARefusedJobFailsEndDoc) {
  test::TempDir temp;
  test::ScopedEnv tmpdir("TMPDIR", temp.path().c_str());
  HDC dc = CreatePrinterDC({"beta", "CUPS", "beta"}, default_device_mode({"beta", "CUPS", "beta"}));
  ASSERT_NE(dc, nullptr);
  ASSERT_EQ(server_->run("cupsreject beta"), 0);
  ASSERT_GT(StartDoc(dc, {"Refused", ""}), 0);
  StartPage(dc);
  TextOut(dc, 10, 10, "Refused");
  EXPECT_LE(EndDoc(dc), 0);
  server_->run("cupsaccept beta");
  EXPECT_EQ(GetLastError(), kErrorGeneralFailure);
  EXPECT_NE(printer_error_text().find("\"beta\" refused the job"), std::string::npos) << printer_error_text();
  EXPECT_TRUE(fs::is_empty(temp.path()));
  EXPECT_FALSE(fs::exists(server_->file("beta.pdf")));
  DeletePrinterDC(dc);
}

TEST_F(CupsPrinter, PrintToFileBypassesTheQueue) {
  test::TempDir target;
  HDC dc = CreatePrinterDC({"beta", "CUPS", "beta"}, default_device_mode({"beta", "CUPS", "beta"}));
  ASSERT_GT(StartDoc(dc, {"", target.file("copy.pdf")}), 0);
  StartPage(dc);
  EndPage(dc);
  ASSERT_GT(EndDoc(dc), 0);
  DeletePrinterDC(dc);
  EXPECT_EQ(test::pdf_info(target.file("copy.pdf"), "Pages"), "1");
  EXPECT_FALSE(fs::exists(server_->file("beta.pdf")));
}

}  // namespace
}  // namespace vrt::platform
