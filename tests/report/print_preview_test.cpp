// The print preview driven as a user drives it: a script on another thread
// clicks, types and chooses from the menus while the preview's loop runs
// here; the test looks at the window between the script's steps.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/preview_pages.h"
#include "runtime/report/print_preview.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/script_runner.h"
#include "tests/report/report_test_support.h"
#include "tests/test_support.h"

namespace vrt::report::test {
namespace {

using namespace vrt::platform;
constexpr const char* kPreviewModule = "marlock$marlo_sf";

struct PreviewRun {
  bool print = false;
  window::ScriptOutcome script;
};

class PrintPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_display(DisplayKind::Headless);
    window::take_runtime_lock();
  }
  void TearDown() override {
    free_page_images(pages);
    window::release_runtime_lock_fully();
    window::wait_for_started_threads(5000);
    automation::settle(1000);
  }

  // A report of `count` pages, three rows to a page.
  void make_pages(int count) {
    Report report("vrttest$report01", "P1$REPORT");
    report.open(true);
    for (int i = 0; i < count * 3; ++i) report.print();
    report.close();
    pages = report.page_images();
    ASSERT_EQ(pages.size(), static_cast<size_t>(count));
  }

  // Runs the preview while the scripts drive it, `look` between them; a
  // preview the scripts left open is closed.
  PreviewRun run(const std::vector<std::string>& scripts, const std::function<void()>& look = {}) {
    PreviewRun outcome;
    std::thread driver([&] {
      for (size_t i = 0; i < scripts.size() && outcome.script.ok; ++i) {
        std::string path = dir.file("preview" + std::to_string(i) + ".script");
        std::ofstream(path) << scripts[i];
        outcome.script = window::run_script(path);
        if (i == 0 && outcome.script.ok && look) look();
      }
      for (HWND h : GetTopLevelWindows())
        if (IsWindowVisible(h)) PostMessage(h, WM_CLOSE, 0, 0);
    });
    outcome.print = PrintPreview(pages, kPreviewModule);
    driver.join();
    return outcome;
  }

  // The preview's top-level window with this title, and its pages.
  static HWND preview(const std::string& title) { return automation::find_window(title, 2000); }
  static const PreviewPages* pages_of(HWND top) {
    for (HWND child : GetChildren(top))
      if (const PreviewPages* p = preview_pages_of(child)) return p;
    return nullptr;
  }
  static std::string status_text(HWND top) {
    for (HWND child : GetChildren(top)) {
      if (GetClassName(child) != kStatusClass) continue;
      std::string text(static_cast<size_t>(SendMessage(child, SB_GETTEXT, 0, 0)) + 1, '\0');
      SendMessage(child, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
      return text.c_str();
    }
    return "";
  }
  static bool greyed(HWND top, int field) { return GetMenuState(GetMenu(top), field, MF_BYCOMMAND) & MF_GRAYED; }
  static bool checked(HWND top, int field) { return GetMenuState(GetMenu(top), field, MF_BYCOMMAND) & MF_CHECKED; }

  std::vector<std::string> pages;
  vrt::test::TempDir dir;
};

TEST_F(PrintPreviewTest, AOnePageReportAndItsExitButton) {
  make_pages(1);
  PreviewRun r = run({"wait window \"Page 1 of 1\"\nclick field 18\nwait closed \"Page 1 of 1\"\n"});
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_FALSE(r.print);
}

TEST_F(PrintPreviewTest, PrintFromTheToolbarAndFromTheMenu) {
  make_pages(2);
  PreviewRun button = run({"wait window \"Page 1 of 2\"\nclick field 17\nwait closed \"Page 1 of 2\"\n"});
  EXPECT_TRUE(button.script.ok) << button.script.message;
  EXPECT_TRUE(button.print);
  PreviewRun menu = run({"wait window \"Page 1 of 2\"\nmenu \"&File|&Print\"\nwait closed \"Page 1 of 2\"\n"});
  EXPECT_TRUE(menu.script.ok) << menu.script.message;
  EXPECT_TRUE(menu.print);
  PreviewRun exit = run({"wait window \"Page 1 of 2\"\nmenu \"&File|E&xit\"\nwait closed \"Page 1 of 2\"\n"});
  EXPECT_TRUE(exit.script.ok) << exit.script.message;
  EXPECT_FALSE(exit.print);
}

TEST_F(PrintPreviewTest, FourCellsFromPageNineOfTenHideTwo) {
  make_pages(10);
  bool looked = false;
  PreviewRun r = run(
      {"wait window \"Page 1 of 10\"\n"
       "menu \"&View|&Jump to a page\"\n"
       "wait window \"Jump to a Report Page\"\n"
       "click field 2\nkey Home\nkey Delete\nkey Delete\nkey Delete\nkey Delete\nkey Delete\ntype \"9\"\nclick \"OK\"\n"
       "wait window \"Page 9 of 10\"\n"
       "menu \"&View|&Change Display\"\n"
       "wait window \"Change the Report Display\"\n"
       "click field 2\nkey Home\nkey Delete\nkey Delete\nkey Delete\nkey Delete\nkey Delete\ntype \"2\"\nclick field 3\nkey Home\nkey Delete\nkey Delete\nkey Delete\nkey Delete\nkey Delete\ntype \"2\"\nclick field 4\n"
       "wait window \"Pages 9-10 of 10\"\n",
       "menu \"&View|&Previous Page(s)\"\nwait window \"Pages 5-8 of 10\"\nclick field 18\n"},
      [&] {
        HWND top = preview("Pages 9-10 of 10");
        ASSERT_TRUE(top);
        const PreviewPages* p = pages_of(top);
        ASSERT_TRUE(p);
        ASSERT_EQ(p->cells().size(), 4u);
        EXPECT_EQ(p->cells()[0].page, 9);
        EXPECT_EQ(p->cells()[1].page, 10);
        EXPECT_EQ(p->cells()[2].page, 0) << "hidden";
        EXPECT_EQ(p->cells()[3].page, 0) << "hidden";
        EXPECT_TRUE(greyed(top, 5)) << "no pages after 10";
        EXPECT_FALSE(greyed(top, 6));
        looked = true;
      });
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_TRUE(looked);
}

TEST_F(PrintPreviewTest, CancellingTheJumpOrClosingTheSelectWindowChangesNothing) {
  make_pages(10);
  PreviewRun r = run({"wait window \"Page 1 of 10\"\n"
                      "menu \"&View|&Jump to a page\"\nwait window \"Jump to a Report Page\"\n"
                      "click field 2\nkey Home\nkey Delete\ntype \"5\"\nclick \"Cancel\"\n"
                      "wait closed \"Jump to a Report Page\"\n"
                      "menu \"&View|&Change Display\"\nwait window \"Change the Report Display\"\n"
                      "click field 2\nkey Up\n",
                      "wait closed \"Change the Report Display\"\nwait window \"Page 1 of 10\"\nclick field 18\n"},
                     [] { PostMessage(automation::find_window("Change the Report Display"), WM_CLOSE, 0, 0); });
  EXPECT_TRUE(r.script.ok) << r.script.message;
}

TEST_F(PrintPreviewTest, ThePageSpinBoxTellsItsRangeAndShowsTheLastPage) {
  make_pages(10);
  std::string message;
  PreviewRun r = run({"wait window \"Page 1 of 10\"\nclick field 20\n",
                      "key Home\nkey Delete\nkey Delete\nkey Delete\nkey Delete\nkey Delete\ntype \"10\"\nclick field 21\n"
                      "wait window \"Page 10 of 10\"\n"
                      "expect text field 20 \"10\"\n"
                      "click field 18\n"},
                     [&] { message = status_text(preview("Page 1 of 10")); });
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(message, "Enter a page number from 1 to 10");
}

TEST_F(PrintPreviewTest, TheZoomPopupChecksTheStateAndSetsTheTitle) {
  make_pages(3);
  bool looked = false;
  PreviewRun r = run({"wait window \"Page 1 of 3\"\nclick field 19\nclick \"50%\"\nwait window \"Zoom (50%)\"\n",
               "menu \"&Zoom|Page &Width\"\nwait window \"Zoom (Page Width)\"\n"
               "menu \"&Zoom|No &Zoom\"\nwait window \"Page 1 of 3\"\nclick field 18\n"},
              [&] {
                HWND top = preview("Zoom (50%)");
                ASSERT_TRUE(top);
                EXPECT_TRUE(checked(top, 12));
                EXPECT_FALSE(checked(top, 10));
                const PreviewPages* p = pages_of(top);
                ASSERT_TRUE(p);
                ASSERT_EQ(p->cells().size(), 1u);
                EXPECT_EQ(p->cells()[0].page, 1);
                looked = true;
              });
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_TRUE(looked);
}

TEST_F(PrintPreviewTest, AZoomedPageLargerThanTheWindowScrolls) {
  make_pages(2);
  int scrolled = 0;
  PreviewRun r = run({"wait window \"Page 1 of 2\"\nclick field 19\nclick \"300%\"\nwait window \"Zoom (300%)\"\n",
                      "menu \"&Zoom|No &Zoom\"\nwait window \"Page 1 of 2\"\nclick field 18\n"},
                     [&] {
                       HWND top = preview("Zoom (300%)");
                       ASSERT_TRUE(top);
                       const PreviewPages* p = pages_of(top);
                       ASSERT_TRUE(p);
                       SendMessage(p->hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
                       SendMessage(p->hwnd(), WM_MOUSEWHEEL, static_cast<WPARAM>(uint16_t(-120)) << 16, 0);
                       scrolled = p->scrolled().y;
                     });
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_GT(scrolled, 100) << "a page down and a wheel turn";
}

TEST_F(PrintPreviewTest, ResizingTheWindowLaysThePagesOutAgain) {
  make_pages(2);
  int before = 0, after = 0;
  PreviewRun r = run({"wait window \"Page 1 of 2\"\n", "click field 18\n"}, [&] {
    HWND top = preview("Page 1 of 2");
    ASSERT_TRUE(top);
    before = pages_of(top)->cells()[0].rect.height();
    RECT w = GetWindowRect(top);
    MoveWindow(top, w.left, w.top, w.width() + 200, w.height() + 300);
    automation::wait_until([&] { return pages_of(top)->cells()[0].rect.height() != before; }, 2000);
    after = pages_of(top)->cells()[0].rect.height();
  });
  EXPECT_TRUE(r.script.ok) << r.script.message;
  EXPECT_GT(after, before + 100);
}

TEST_F(PrintPreviewTest, ADamagedPageIsShownCrossedOutAndTheRestStillShow) {
  make_pages(2);
  vrt::test::write_file(pages[0], "not a page image");
  PreviewRun r = run({"wait window \"Page 1 of 2\"\nmenu \"&View|&Next Page(s)\"\n"
                      "wait window \"Page 2 of 2\"\nclick field 18\n"});
  EXPECT_TRUE(r.script.ok) << r.script.message;
}

TEST_F(PrintPreviewTest, NextAndPreviousFollowThePages) {
  make_pages(3);
  PreviewRun r = run({"wait window \"Page 1 of 3\"\n"
               "menu \"&View|&Next Page(s)\"\nwait window \"Page 2 of 3\"\n"
               "menu \"&View|&Next Page(s)\"\nwait window \"Page 3 of 3\"\n"
               "menu \"&View|&Next Page(s)\"\n"});
  EXPECT_FALSE(r.script.ok);
  EXPECT_NE(r.script.message.find("greyed"), std::string::npos) << r.script.message;
}

}  // namespace
}  // namespace vrt::report::test
