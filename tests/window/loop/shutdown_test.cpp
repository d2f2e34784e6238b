// Shutting the window system down closes every window and ends every
// started procedure that runs an event loop.
#include <gtest/gtest.h>

#include "runtime/window/window_system_start.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using test::kLoopModule;

std::atomic<bool> g_child_open{false};
std::atomic<uint16_t> g_last_event{0};

TEST(WindowSystemShutdown, ClosesWindowsAndEndsStartedProcedures) {
  platform::start_display(platform::DisplayKind::Headless);
  start_window_system();
  EXPECT_TRUE(runtime_lock_held());
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  g_child_open = false;
  Start(
      [](const std::string&) {
        WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
        Open(child);
        g_child_open = child.is_open();
        while (Accept(child)) {
          g_last_event = child.event;
          // The procedure ends its loop on CloseDown by not cancelling it.
        }
      },
      50000);
  while (!g_child_open && Accept(frame)) {
  }
  shutdown_window_system();
  EXPECT_EQ(started_threads_running(), 0);
  EXPECT_EQ(g_last_event, event::CloseDown);
  EXPECT_FALSE(frame.is_open());
  EXPECT_EQ(window_system().application, nullptr);
  EXPECT_FALSE(runtime_lock_held());
  window_system().active = true;  // for the tests that follow
}

}  // namespace
}  // namespace vrt::window
