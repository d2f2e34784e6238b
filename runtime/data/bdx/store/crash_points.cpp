#include "runtime/data/bdx/store/crash_points.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"

namespace vrt::data {

namespace {
std::atomic<int> g_armed{0};
std::atomic<CrashMode> g_mode{CrashMode::Fail};
std::atomic<bool> g_paused{false};
std::atomic<bool> g_resume{false};
std::atomic<int> g_fault_countdown[2] = {0, 0};
}  // namespace

void inject_fault(Fault fault, int nth) { g_fault_countdown[static_cast<int>(fault)] = nth; }

bool fault_now(Fault fault) {
  std::atomic<int>& countdown = g_fault_countdown[static_cast<int>(fault)];
  int left = countdown.load();
  while (left > 0 && !countdown.compare_exchange_weak(left, left - 1)) {
  }
  return left == 1;
}

void crash_next_at(CrashPoint point, CrashMode mode) {
  g_mode = mode;
  g_resume = false;
  g_armed = static_cast<int>(point);
}

void crash_point(CrashPoint point) {
  int expected = static_cast<int>(point);
  if (expected == 0 || !g_armed.compare_exchange_strong(expected, 0)) return;
  if (g_mode == CrashMode::Kill) kill(getpid(), SIGKILL);
  if (g_mode == CrashMode::Pause) {
    g_paused = true;
    while (!g_resume) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    g_paused = false;
    return;
  }
  throw DriverFailure{kAlreadyPosted};
}

bool update_paused() { return g_paused; }
void resume_update() { g_resume = true; }

}  // namespace vrt::data
