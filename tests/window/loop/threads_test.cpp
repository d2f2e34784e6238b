// Started procedures: the thread slots, the global runtime lock, and events
// between the windows of different threads.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>

#include "runtime/platform/gui/mdi.h"
#include "runtime/window/frame_toolbar.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Threads : public test::WindowTest {};

std::atomic<int> g_ran{0};

TEST_F(Threads, SixtyFourthStartReturnsMinusOne) {
  g_ran = 0;
  // This thread holds the runtime lock, so the started procedures wait.
  std::vector<int> slots;
  for (int i = 0; i < 63; ++i) slots.push_back(Start([](const std::string&) { ++g_ran; }, 50000));
  std::vector<int> expected(63);
  std::iota(expected.begin(), expected.end(), 1);
  EXPECT_EQ(slots, expected);
  EXPECT_EQ(Start([](const std::string&) { ++g_ran; }, 50000), -1);
  EXPECT_EQ(started_threads_running(), 63);
  EXPECT_NE(slot_thread(5), std::thread::id{});
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
  EXPECT_EQ(g_ran, 63) << "the 64th start created nothing";
  EXPECT_EQ(Start([](const std::string&) {}, 50000), 1) << "slots are free again";
}

TEST_F(Threads, ParameterAndSlotReachTheProcedure) {
  static std::string seen;
  static int slot = 0;
  int started = Start(
      [](const std::string& p) {
        seen = p;
        slot = ThreadSlot();
        EXPECT_TRUE(runtime_lock_held());
      },
      25000, "hello");
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
  EXPECT_EQ(seen, "hello");
  EXPECT_EQ(slot, started);
}

std::atomic<int> g_inside{0}, g_overlaps{0}, g_events{0};

void ticking_procedure(const std::string&) {
  WindowObject w(kLoopModule, "P4$TICKING", WindowKind::Ordinary);
  Open(w);
  int timers = 0;
  while (timers < 15 && Accept(w)) {
    if (w.event != event::Timer) continue;
    ++timers;
    // Procedure code: no other thread may be here meanwhile.
    if (g_inside.fetch_add(1) != 0) ++g_overlaps;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
    g_inside.fetch_sub(1);
    ++g_events;
  }
  Close(w);
}

TEST_F(Threads, ProcedureCodeNeverRunsOnTwoThreadsAtOnce) {
  g_overlaps = 0;
  g_events = 0;
  for (int i = 0; i < 6; ++i) ASSERT_GT(Start(ticking_procedure, 50000), 0);
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
  EXPECT_EQ(g_events, 6 * 15);
  EXPECT_EQ(g_overlaps, 0);
}

// Two MDI children on two threads; what each procedure received, in order.
std::mutex g_log_mutex;
std::vector<std::pair<int, uint16_t>> g_log;
std::atomic<HWND> g_child_hwnd[3];
std::atomic<bool> g_stop{false};

void child_procedure(const std::string& which) {
  int n = which == "1" ? 1 : 2;
  WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
  // Events sent to the procedure (focus changes, suspension) are answered
  // at once, on this thread, while the sender waits.
  child.on_sent = [n](WindowObject&, uint16_t code) {
    std::lock_guard lock(g_log_mutex);
    g_log.emplace_back(n, code);
    return 0;
  };
  Open(child);
  g_child_hwnd[n] = child.hwnd;
  while (Accept(child)) {
    {
      std::lock_guard lock(g_log_mutex);
      g_log.emplace_back(n, child.event);
    }
    if (child.event == event::CloseWindow) continue;
  }
}

TEST_F(Threads, SwitchingMdiChildrenOfTwoThreads) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  g_log.clear();
  g_child_hwnd[1] = g_child_hwnd[2] = nullptr;
  ASSERT_EQ(Start(child_procedure, 50000, "1"), 1);
  pump(frame, [] { return g_child_hwnd[1] != nullptr; });
  ASSERT_EQ(Start(child_procedure, 50000, "2"), 2);
  pump(frame, [] { return g_child_hwnd[2] != nullptr; });
  pump(frame, [] {
    std::lock_guard lock(g_log_mutex);
    return std::count(g_log.begin(), g_log.end(), std::pair<int, uint16_t>{2, event::GainFocus}) > 0;
  });
  {
    std::lock_guard lock(g_log_mutex);
    g_log.clear();
  }
  // The user brings the first child to the front.
  SendMessage(frame.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(g_child_hwnd[1].load()), 0);
  PostEvent(*window_object(g_child_hwnd[1]), event::Notify);
  pump(frame, [] {
    std::lock_guard lock(g_log_mutex);
    return std::count(g_log.begin(), g_log.end(), std::pair<int, uint16_t>{1, event::Notify}) > 0 &&
           std::count(g_log.begin(), g_log.end(), std::pair<int, uint16_t>{1, event::GainFocus}) > 0;
  });
  std::vector<std::pair<int, uint16_t>> log;
  {
    std::lock_guard lock(g_log_mutex);
    log = g_log;
  }
  auto at = [&](int n, uint16_t code) {
    return std::find(log.begin(), log.end(), std::pair<int, uint16_t>{n, code}) - log.begin();
  };
  ASSERT_LT(at(2, event::LoseFocus), static_cast<long>(log.size())) << "the old child lost the focus";
  ASSERT_LT(at(1, event::GainFocus), static_cast<long>(log.size())) << "the new child gained it";
  EXPECT_LT(at(2, event::LoseFocus), at(1, event::GainFocus));
  for (int n : {1, 2}) PostClose(*window_object(g_child_hwnd[n]));
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
}

TEST_F(Threads, FrameToolbarPressReachesTheActiveChildsProcedure) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  g_log.clear();
  g_child_hwnd[1] = nullptr;
  ASSERT_EQ(Start(child_procedure, 50000, "1"), 1);
  // Pressed once the new child is the active one (before, the frame's own
  // procedure would get the press).
  pump(frame, [&] {
    return g_child_hwnd[1] != nullptr &&
           reinterpret_cast<HWND>(SendMessage(frame.client, WM_MDIGETACTIVE, 0, 0)) == g_child_hwnd[1];
  });
  SendMessage(frame.hwnd, WM_COMMAND, 2000, reinterpret_cast<LPARAM>(frame.toolbar));
  pump(frame, [] {
    std::lock_guard lock(g_log_mutex);
    return std::count(g_log.begin(), g_log.end(), std::pair<int, uint16_t>{1, event::Accepted}) > 0;
  });
  {
    std::lock_guard lock(g_log_mutex);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), std::pair<int, uint16_t>{1, event::Accepted}), 1);
  }
  EXPECT_EQ(window_object(g_child_hwnd[1])->field, 2000);
  EXPECT_TRUE(FrameButtonEnabled(2000));
  EXPECT_TRUE(EnableFrameButton(2000, false));
  EXPECT_FALSE(FrameButtonEnabled(2000));
  EXPECT_FALSE(EnableFrameButton(1999, false)) << "no such button";
  PostClose(*window_object(g_child_hwnd[1]));
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
}

std::atomic<bool> g_served{false};
std::atomic<WindowObject*> g_other{nullptr};
std::vector<uint16_t> g_other_heard;

TEST_F(Threads, ServingAnotherThreadSendsSuspendThenResume) {
  g_served = false;
  g_other_heard.clear();
  Start(
      [](const std::string&) {
        WindowObject w(kLoopModule, "P4$TICKING", WindowKind::Ordinary);
        w.on_sent = [](WindowObject&, uint16_t code) {
          g_other_heard.push_back(code);
          return 0;
        };
        Open(w);
        g_other = &w;
        KillTimer(w.hwnd, 1);
        w.has_timer = false;
        while (Accept(w)) {
          if (w.event == event::OpenWindow) g_served = true;
          if (w.event == event::CloseWindow) g_served = false;
        }
      },
      50000);
  int levels = release_runtime_lock_fully();
  platform::automation::wait_until([] { return g_served.load(); });
  retake_runtime_lock(levels);
  // The other thread's procedure was served last; now this thread's is.
  WindowObject mine(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(mine);
  std::vector<uint16_t> here;
  while (here.size() < 2 && Accept(mine))
    if (mine.event != event::GainFocus) here.push_back(mine.event);
  EXPECT_EQ(here, (std::vector<uint16_t>{event::Resume, event::OpenWindow}));
  EXPECT_NE(std::find(g_other_heard.begin(), g_other_heard.end(), event::Suspend), g_other_heard.end());
  PostClose(*g_other.load());
}

std::atomic<bool> g_release_stuck{false};

TEST_F(Threads, WaitForStartedProceduresEndsAtItsTimeOut) {
  g_release_stuck = false;
  // A procedure that does not hear CloseDown: it waits for something else.
  ASSERT_GT(Start([](const std::string&) {
              int levels = release_runtime_lock_fully();
              platform::automation::wait_until([] { return g_release_stuck.load(); }, 60000);
              retake_runtime_lock(levels);
            }, 50000), 0);
  int levels = release_runtime_lock_fully();
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(wait_for_started_threads(300));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  g_release_stuck = true;
  EXPECT_TRUE(wait_for_started_threads(10000));
  retake_runtime_lock(levels);
}

TEST_F(Threads, StartsInQuickSuccessionAllRun) {
  // The start-up semaphores are no longer the starter's: a start that
  // returns while its thread still leaves the semaphore is harmless.
  g_ran = 0;
  int levels = release_runtime_lock_fully();
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < 10; ++i) ASSERT_GT(Start([](const std::string&) { ++g_ran; }, 50000), 0);
    ASSERT_TRUE(wait_for_started_threads(10000));
  }
  retake_runtime_lock(levels);
  EXPECT_EQ(g_ran, 200);
}

}  // namespace
}  // namespace vrt::window
