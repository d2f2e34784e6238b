// Windows opened from the test declarations, on the headless display, with
// the test thread holding the runtime lock as procedure code does.
#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/controls/window_system.h"
#include "tests/window/window_test_support.h"

namespace vrt::window::test {

inline constexpr const char* kLoopModule = "vrttest$loop01";

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::start_display(platform::DisplayKind::Headless);
    take_runtime_lock();
  }
  void TearDown() override {
    while (!thread_windows().empty()) Close(*thread_windows().back());
    release_runtime_lock_fully();
    wait_for_started_threads();
    platform::automation::settle(1000);
  }
  // The next event other than a focus change, or 0 when the loop ended.
  uint16_t next(WindowObject& w) {
    while (Accept(w))
      if (w.event != event::GainFocus && w.event != event::LoseFocus) return w.event;
    return 0;
  }
  // Runs the window's loop until `done` holds after an event, or `limit`
  // events have passed; returns the events seen.
  std::vector<uint16_t> pump(WindowObject& w, const std::function<bool()>& done, int limit = 500) {
    std::vector<uint16_t> seen;
    while (limit-- > 0 && Accept(w)) {
      seen.push_back(w.event);
      if (done()) break;
    }
    return seen;
  }
};

}  // namespace vrt::window::test
