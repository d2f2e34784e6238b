// The demonstration program, driven as a user would drive it: the frame's
// menu starts a child procedure on its own thread; its Start button moves
// to the progress page, where a timer moves the bar. With
// VRT_DEMO_SCREENSHOTS=DIR the screenshots are kept in DIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/sheet_control.h"
#include "window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
constexpr const char* kDemo = "vrtdemo$demo01";

std::atomic<HWND> g_child{nullptr};
std::atomic<int> g_progress{0};

void child_procedure(const std::string&) {
  WindowObject w(kDemo, "P2$DEMOCHILD", WindowKind::MdiChild);
  Open(w);
  g_child = w.hwnd;
  HWND sheet = w.control(1)->hwnd();
  SendMessage(w.control(5)->hwnd(), BM_SETCHECK, BST_CHECKED, 0);  // Medium
  bool running = false;
  while (Accept(w)) {
    switch (w.event) {
      case event::Timer:
        if (running && g_progress < 100) {
          g_progress += 5;
          SendMessage(w.control(10)->hwnd(), PBM_SETPOS, g_progress, 0);
        }
        break;
      case event::Accepted:
        if (w.field == 11) {  // Start
          select_tab(sheet, 1);
          running = true;
        }
        if (w.field == 12) PostClose(w);  // Close
        break;
    }
  }
  g_child = nullptr;
}

void frame_procedure() {
  WindowObject frame(kDemo, "P1$DEMOFRAME", WindowKind::Application);
  Open(frame);
  SendMessage(frame.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  while (Accept(frame)) {
    if (frame.event != event::Accepted) continue;
    if (frame.field == -2 || frame.field == 2000) Start(child_procedure, 50000);
    if (frame.field == -3) PostClose(frame);
  }
}

std::string shot_path(const char* name) {
  const char* dir = std::getenv("VRT_DEMO_SCREENSHOTS");
  return (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) / name;
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

}  // namespace
}  // namespace vrt::window
