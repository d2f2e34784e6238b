// A program at rest uses no processor: a frame and a document window on
// another thread, both idle, cost next to nothing over a few seconds.
#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <thread>

#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Idle : public test::WindowTest {};

double process_cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::atomic<HWND> g_quiet_child{nullptr};
std::atomic<int> g_child_events{0}, g_frame_events{0};

void quiet_child(const std::string&) {
  WindowObject child(kLoopModule, "P10$QUIETCHILD", WindowKind::MdiChild);
  Open(child);
  g_quiet_child = child.hwnd;
  while (Accept(child)) ++g_child_events;
  g_quiet_child = nullptr;
}

TEST_F(Idle, FrameAndChildAtRestUseNoProcessor) {
  WindowObject frame(kLoopModule, "P9$QUIETFRAME", WindowKind::Application);
  Open(frame);
  g_quiet_child = nullptr;
  ASSERT_GT(Start(quiet_child, 50000), 0);
  pump(frame, [] { return g_quiet_child != nullptr; });
  double used = -1;
  int events = -1;
  // The user does nothing for two seconds, then closes both windows.
  std::thread user([&, frame_hwnd = frame.hwnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the opening settles
    int before = g_frame_events + g_child_events;
    double start = process_cpu_seconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    used = process_cpu_seconds() - start;
    events = g_frame_events + g_child_events - before;
    // The child first, and the frame once the child's loop has ended: a
    // frame closing while its document window's procedure is still at
    // work on another thread can leave that procedure waiting (seen once
    // in a few runs under the sanitizers on a loaded machine).
    PostMessage(g_quiet_child, WM_CLOSE, 0, 0);
    platform::automation::wait_until([] { return g_quiet_child == nullptr; }, 10000);
    PostMessage(frame_hwnd, WM_CLOSE, 0, 0);
  });
  g_frame_events = 0;
  while (Accept(frame)) ++g_frame_events;
  user.join();
  int levels = release_runtime_lock_fully();
  wait_for_started_threads(10000);
  retake_runtime_lock(levels);
  // Before, the two threads sent each other Suspend and Resume without end.
  EXPECT_LT(used, 0.1) << "seconds of processor time in two idle seconds";
  EXPECT_LT(events, 10) << "events delivered while nothing happened";
}

}  // namespace
}  // namespace vrt::window
