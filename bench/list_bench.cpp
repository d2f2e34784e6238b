// The list box's repaint: a list of 30 visible rows by 8 columns, every cell
// formatted through its column's picture, drawn in the headless display,
// with a queue of one page and with one of 200,000 entries scrolled to its
// middle (only the rows shown are formatted). Prints the average and the
// worst repaint, and the processor time of an average one (the figure that
// does not depend on what else the machine is doing).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include <time.h>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/window/controls/list_state.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/window_open.h"

using namespace vrt::platform;
using namespace vrt::window;
using Clock = std::chrono::steady_clock;

namespace {

double thread_cpu_us() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

ListQueue::Entry customer(int n) {
  return {std::to_string(n), "Customer " + std::to_string(n), std::to_string(70000 + n % 9000),
          std::to_string(1 + (n % 8640000)), std::to_string((n * 7919) % 1000000) + ".25",
          n % 2 ? "Northcote" : "Brunswick", "03 9" + std::to_string(1000000 + n % 9000000),
          "customer" + std::to_string(n) + "@example.com"};
}

void measure(WindowObject& w, HWND list, const ListQueue& q, int top, const char* what) {
  BindQueue(w, 1, &q);
  list_state(list)->top = top;  // as though the user had scrolled there
  SetListSelection(w, 1, top + 3);
  automation::settle();
  const int n = 500;
  double total = 0, worst = 0, cpu_start = thread_cpu_us();
  for (int i = 0; i < n; ++i) {
    auto t = Clock::now();
    InvalidateRect(list, nullptr, false);
    UpdateWindow(list);
    double us = std::chrono::duration<double, std::micro>(Clock::now() - t).count();
    total += us;
    worst = std::max(worst, us);
  }
  double cpu = (thread_cpu_us() - cpu_start) / n;
  std::printf("list of %d visible rows x 8 columns, %s: %.3f ms average, %.3f ms worst a repaint (%.3f ms processor time)\n",
              ListRowsVisible(w, 1), what, total / n / 1000, worst / 1000, cpu / 1000);
}

}  // namespace

int main() {
  start_display(DisplayKind::Headless);
  take_runtime_lock();
  WindowObject w("vrtbench$list01", "P1$LISTBENCH", WindowKind::Ordinary);
  Open(w);
  HWND list = w.control(1)->hwnd();
  ListQueue page, long_queue;
  int rows = ListRowsVisible(w, 1);
  for (int i = 1; i <= rows; ++i) page.add(customer(i));
  for (int i = 1; i <= 200000; ++i) long_queue.add(customer(i));
  measure(w, list, page, 0, "a queue of one page");
  measure(w, list, long_queue, 100000, "a queue of 200,000 entries");
  Close(w);
  release_runtime_lock_fully();
  return 0;
}
