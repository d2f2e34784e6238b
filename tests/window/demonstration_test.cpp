// The demonstration program, driven as a user would drive it: the frame's
// menu starts a child procedure on its own thread; its Start button moves
// to the progress page, where a timer moves the bar. With
// VRT_DEMO_SCREENSHOTS=DIR the screenshots are kept in DIR.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/sheet_control.h"
#include "tools/window_demo/demo_procedures.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using namespace demo;

std::string shot_path(const char* name) {
  const char* dir = std::getenv("VRT_DEMO_SCREENSHOTS");
  if (dir) return std::filesystem::path(dir) / name;
  return std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name);
}

TEST(Demonstration, MenuStartsAThreadWhoseChildMovesItsProgressBar) {
  start_display(DisplayKind::Headless);
  g_child = nullptr;
  g_progress = 0;
  std::atomic<bool> checks_done{false};
  std::atomic<HWND> top{nullptr};
  auto act = [&] {
    top = automation::find_window("Vorthal Demonstration");
    ASSERT_NE(top, nullptr);
    PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-2), 0);  // File | Open Child
    ASSERT_TRUE(automation::wait_until([] { return g_child != nullptr; }));
    automation::settle();
    EXPECT_TRUE(automation::screenshot(top, shot_path("window-demo-settings.png")));
    automation::click(automation::find_child(g_child, "&Start"));
    ASSERT_TRUE(automation::wait_until([] { return g_progress >= 60; }));
    automation::settle();
    EXPECT_TRUE(automation::screenshot(top, shot_path("window-demo-progress.png")));
    automation::click(automation::find_child(g_child, "&Close"));
    ASSERT_TRUE(automation::wait_until([] { return g_child == nullptr; }));
    checks_done = true;
  };
  std::thread user([&] {
    act();
    if (g_child) automation::click(automation::find_child(g_child, "&Close"));
    automation::wait_until([] { return g_child == nullptr; });
    PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-3), 0);  // File | Exit, whatever happened
  });
  take_runtime_lock();
  frame_procedure();
  release_runtime_lock_fully();
  wait_for_started_threads();
  user.join();
  EXPECT_TRUE(checks_done);
  if (!std::getenv("VRT_DEMO_SCREENSHOTS")) {
    std::filesystem::remove(shot_path("window-demo-settings.png"));
    std::filesystem::remove(shot_path("window-demo-progress.png"));
  }
}

// The entries form: a date typed wrong is rejected and told below the
// entries; Cancel leaves without a check.
TEST(Demonstration, EntriesFormTellsARejectedDateAndCancelLeavesWithoutACheck) {
  start_display(DisplayKind::Headless);
  g_entries = nullptr;
  std::atomic<bool> checks_done{false};
  std::atomic<HWND> top{nullptr};
  std::thread user([&] {
    top = automation::find_window("Vorthal Demonstration");
    [&] {
      ASSERT_NE(top, nullptr);
      PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-20), 0);  // File | Entries
      ASSERT_TRUE(automation::wait_until([] { return g_entries != nullptr; }));
      automation::settle();
      HWND born = GetDlgItem(g_entries, 6);
      ASSERT_NE(born, nullptr);
      automation::click(born);
      automation::settle();
      automation::type("{Home}0230");  // overwrites month and day: 30 February
      automation::settle();
      EXPECT_EQ(GetWindowText(born), "02/30/1962");
      automation::click(GetDlgItem(g_entries, 2));  // leave it
      ASSERT_TRUE(automation::wait_until([] { return GetFocus() == GetDlgItem(g_entries, 6); }));
      automation::click(automation::find_child(g_entries, "Cancel"));
      ASSERT_TRUE(automation::wait_until([] { return g_entries == nullptr; }));
      checks_done = true;
    }();
    PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-3), 0);  // File | Exit
  });
  take_runtime_lock();
  frame_procedure();
  release_runtime_lock_fully();
  wait_for_started_threads();
  user.join();
  EXPECT_TRUE(checks_done);
}

}  // namespace
}  // namespace vrt::window
