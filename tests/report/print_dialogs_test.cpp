// The print dialog and the "Print To File..." dialog, driven by scripts as a
// user would drive them.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/print_dialog.h"
#include "runtime/report/print_to_file_dialog.h"
#include "runtime/window/script_runner.h"
#include "runtime/window/script_targets.h"
#include "tests/test_support.h"

namespace vrt::report {
namespace {

namespace fs = std::filesystem;
using platform::DEVMODE;
using platform::DEVNAMES;

class PrintDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::start_display(platform::DisplayKind::Headless);
    setenv("VORTHAL_WININI", dir_.file("win.ini").c_str(), 1);
    test::write_file(dir_.file("win.ini"), "[Devices]\nDraft=PDF,/srv/draft.pdf\nOffice=PDF,/srv/office.pdf\n");
    cupsSetServer(dir_.file("nobody.sock").c_str());
  }
  void TearDown() override {
    unsetenv("VORTHAL_WININI");
    cupsSetServer(nullptr);
  }

  // Shows a dialog on this thread while the script plays its user.
  template <typename Result>
  Result drive(const std::string& script, const std::function<Result()>& show) {
    std::string path = dir_.file("user.script");
    std::ofstream(path) << script;
    window::ScriptOutcome outcome;
    std::thread user([&] {
      outcome = window::run_script(path);
      // A failed script leaves the dialog up: cancel it so that the test ends.
      if (outcome.ok) return;
      if (platform::HWND box = window::frontmost_message_box()) platform::PostMessage(box, platform::WM_CLOSE, 0, 0);
      for (const char* title : {"Print", "Print To File..."})
          if (platform::HWND d = platform::automation::find_window(title, 100))
            platform::PostMessage(d, platform::WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(platform::automation::wait_until([] { return window::script_running(); }));
    testing::internal::CaptureStderr();
    Result result = show();
    testing::internal::GetCapturedStderr();
    user.join();
    EXPECT_TRUE(outcome.ok) << outcome.message;
    return result;
  }

  std::optional<PrintChoice> print(const std::string& script, const DEVNAMES& current, const DEVMODE& mode = {}) {
    return drive<std::optional<PrintChoice>>(script, [&] { return print_dialog(current, mode); });
  }
  std::optional<std::string> print_to_file(const std::string& script, const std::string& initial = "") {
    return drive<std::optional<std::string>>(script, [&] { return print_to_file_dialog(initial); });
  }

  test::TempDir dir_;
  const DEVNAMES draft_{"Draft", "PDF", "/srv/draft.pdf"}, office_{"Office", "PDF", "/srv/office.pdf"};
};

TEST_F(PrintDialogs, AnotherPrinterCopiesAndAPageRange) {
  DEVMODE custom;
  custom.paper_width = 1000;
  custom.paper_length = 1500;
  auto choice = print(
      "wait window \"Print\"\n"
      "click \"Office\"\n"
      "key Tab\ntype \"3\"\n"          // the copies
      "click \"Pages\"\n"
      "key Tab\ntype \"2\"\n"          // from
      "key Tab\ntype \"5\"\n"          // to
      "expect text field 11 \"3\"\n"
      "click \"OK\"\nwait closed \"Print\"\n",
      draft_, custom);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->printer, office_);
  EXPECT_EQ(choice->mode.copies, 3);
  EXPECT_EQ(choice->mode.paper_width, platform::default_device_mode(office_).paper_width)
      << "another printer comes with its own settings";
  EXPECT_FALSE(choice->all_pages);
  EXPECT_EQ(choice->from_page, 2);
  EXPECT_EQ(choice->to_page, 5);
}

TEST_F(PrintDialogs, TheCurrentPrinterKeepsItsSettings) {
  DEVMODE custom;
  custom.paper_width = 1000;
  custom.copies = 2;
  auto choice = print("wait window \"Print\"\nexpect text field 11 \"2\"\nkey Enter\n", draft_, custom);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->printer, draft_);
  EXPECT_EQ(choice->mode.paper_width, 1000);
  EXPECT_EQ(choice->mode.copies, 2);
  EXPECT_TRUE(choice->all_pages);
}

TEST_F(PrintDialogs, CancelAndEscChooseNothing) {
  EXPECT_FALSE(print("wait window \"Print\"\nclick \"Office\"\nclick \"Cancel\"\nwait closed \"Print\"\n", draft_));
  EXPECT_FALSE(print("wait window \"Print\"\nkey Esc\nwait closed \"Print\"\n", draft_));
  EXPECT_FALSE(print_to_file("wait window \"Print To File...\"\ntype \"x.pdf\"\nclick \"Cancel\"\n"));
}

TEST_F(PrintDialogs, WrongNumbersAreSaidAndTheDialogStays) {
  auto choice = print(
      "wait window \"Print\"\n"
      "key Tab\ntype \"0\"\nclick \"OK\"\n"
      "expect message \"The number of copies must be from 1 to 9999.\"\nanswer \"OK\"\n"
      "type \"4\"\n"  // the copies are selected again
      "click \"Pages\"\nkey Tab\ntype \"7\"\nkey Tab\ntype \"6\"\nclick \"OK\"\n"
      "expect message \"The last page must be a number from the first page on.\"\nanswer \"OK\"\n"
      "type \"9\"\nclick \"OK\"\nwait closed \"Print\"\n",
      draft_);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->mode.copies, 4);
  EXPECT_EQ(choice->from_page, 7);
  EXPECT_EQ(choice->to_page, 9);
}

TEST_F(PrintDialogs, APrinterTheListLacksIsOfferedToo) {
  DEVNAMES chosen_by_program{"Elsewhere", "PDF", "/srv/else.pdf"};
  auto choice = print("wait window \"Print\"\nclick \"Draft\"\nclick \"Elsewhere\"\nclick \"OK\"\n", chosen_by_program);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->printer, chosen_by_program);
}

TEST_F(PrintDialogs, PrintToFileNamesAFile) {
  std::string target = dir_.file("report.pdf");
  EXPECT_EQ(print_to_file("wait window \"Print To File...\"\n"
                          "expect text field 11 \"All files (*.*)\"\n"
                          "type \"" + target + "\"\nclick \"OK\"\nwait closed \"Print To File...\"\n"),
            target);
  // The name offered first is selected: typing replaces it.
  EXPECT_EQ(print_to_file("wait window \"Print To File...\"\ntype \"" + target + "\"\nkey Enter\n", "old.pdf"), target);
  // A relative name is made absolute against the working folder.
  EXPECT_EQ(print_to_file("wait window \"Print To File...\"\ntype \"out.pdf\"\nclick \"OK\"\n"),
            (fs::current_path() / "out.pdf").string());
}

TEST_F(PrintDialogs, PrintToFileRefusesNoNameAndFolders) {
  EXPECT_EQ(print_to_file("wait window \"Print To File...\"\nclick \"OK\"\n"
                          "expect message \"Type the name of the file to print into.\"\nanswer \"OK\"\n"
                          "type \"" + dir_.path() + "\"\nclick \"OK\"\n"
                          "expect message \"Not a name of a file: " + dir_.path() + "\"\nanswer \"OK\"\n"
                          "type \"" + dir_.file("a.pdf") + "\"\nclick \"OK\"\n"),
            dir_.file("a.pdf"));
}

TEST(PrintDialogsHeadless, WithoutAScriptTheDefaultsAnswer) {
  platform::start_display(platform::DisplayKind::Headless);
  DEVNAMES pdf{"PDF", "PDF", "FILE:"};
  testing::internal::CaptureStderr();
  auto choice = print_dialog(pdf, DEVMODE{});
  auto none = print_to_file_dialog("");
  auto named = print_to_file_dialog("/srv/x.pdf");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->printer, pdf);
  EXPECT_TRUE(choice->all_pages);
  EXPECT_FALSE(none);
  EXPECT_EQ(named, "/srv/x.pdf");
}

}  // namespace
}  // namespace vrt::report
