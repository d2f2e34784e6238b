// The window layer's speed: a message round trip between two threads, the
// processor time of the demonstration program at rest with a child open, a
// full repaint of a 1024 x 768 frame with two MDI children and a 20-row grid
// of text in the headless display, and recording plus playing back a
// 50-line text page as a metafile. Prints each figure.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <time.h>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gfx/metafile.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/runtime_lock.h"
#include "tools/window_demo/demo_procedures.h"

using namespace vrt::platform;
using Clock = std::chrono::steady_clock;

namespace {

double us_since(Clock::time_point t) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

HWND g_client;
LRESULT frame_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefFrameProc(h, g_client, m, w, l); }

// A list-like grid: 20 rows of five columns of text, with rules.
LRESULT grid_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT) return DefMDIChildProc(h, m, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r = GetClientRect(h);
  FillRect(dc, r, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  for (int row = 0; row < 20; ++row) {
    int y = row * 18;
    if (row % 2) FillRect(dc, {0, y, r.right, y + 18}, GetSysColorBrush(COLOR_BTNFACE));
    for (int col = 0; col < 5; ++col)
      TextOut(dc, 6 + col * 100, y + 2, "Row " + std::to_string(row) + " col " + std::to_string(col));
  }
  EndPaint(h, &ps);
  return 0;
}

void message_round_trip() {
  std::atomic<HWND> hwnd{nullptr};
  std::thread owner([&] {
    WNDCLASS wc;
    wc.lpszClassName = "Echo";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_USER) {
        PostThreadMessage(reinterpret_cast<std::thread::id*>(l)[0], WM_USER + 1, w, 0);
        return 0;
      }
      return DefWindowProc(h, m, w, l);
    };
    RegisterClass(wc);
    hwnd = CreateWindow("Echo", "", 0, 0, 0, 1, 1, nullptr, nullptr);
    MSG m;
    while (GetMessage(&m)) DispatchMessage(m);
    DestroyWindow(hwnd);
  });
  while (!hwnd) std::this_thread::yield();
  std::thread::id me = std::this_thread::get_id();
  const int n = 20000;
  auto t = Clock::now();
  for (int i = 0; i < n; ++i) {
    PostMessage(hwnd, WM_USER, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&me));
    MSG m;
    GetMessage(&m);
  }
  double post_us = us_since(t) / n;
  t = Clock::now();
  for (int i = 0; i < n; ++i) SendMessage(hwnd, WM_NULL, 0, 0);
  double send_us = us_since(t) / n;
  PostThreadMessage(owner.get_id(), WM_QUIT, 0, 0);
  owner.join();
  std::printf("post to another thread and back: %.2f us a round trip\n", post_us);
  std::printf("send to another thread:          %.2f us a call\n", send_us);
}

double process_cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The demonstration's frame and one child (whose timer ticks ten times a
// second) on two threads, left alone for five seconds.
void idle_program() {
  using namespace vrt::window;
  start_display(DisplayKind::Headless);
  const double seconds = 5;
  double used = -1;
  std::thread user([&] {
    HWND top = automation::find_window("Vorthal Demonstration");
    PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-2), 0);  // File | Open Child
    automation::wait_until([] { return demo::g_child != nullptr; });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    double start = process_cpu_seconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    used = process_cpu_seconds() - start;
    PostMessage(demo::g_child, WM_CLOSE, 0, 0);
    automation::wait_until([] { return demo::g_child == nullptr; });
    PostMessage(top, WM_COMMAND, static_cast<uint16_t>(-3), 0);  // File | Exit
  });
  take_runtime_lock();
  demo::frame_procedure();
  release_runtime_lock_fully();
  wait_for_started_threads(10000);
  user.join();
  std::printf("idle program, frame and one child for %.0f s: %.1f ms of processor time (%.2f %% of a core)\n", seconds,
              used * 1000, used / seconds * 100);
}

void repaint() {
  start_display(DisplayKind::Headless);
  register_mdi_client_class();
  WNDCLASS f;
  f.lpszClassName = "BenchFrame";
  f.lpfnWndProc = frame_proc;
  RegisterClass(f);
  WNDCLASS g;
  g.lpszClassName = "BenchGrid";
  g.lpfnWndProc = grid_proc;
  RegisterClass(g);
  HWND frame = CreateWindow("BenchFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr);
  RECT c = GetClientRect(frame);
  g_client = CreateWindow(kMdiClientClass, "", WS_CHILD | WS_VISIBLE, 0, 0, c.right, c.bottom, frame, nullptr);
  for (int i = 0; i < 2; ++i)
    CreateWindowEx(WS_EX_MDICHILD, "BenchGrid", "Grid " + std::to_string(i), WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                   20 + i * 300, 20 + i * 150, 560, 420, g_client, nullptr);
  automation::settle();
  const int n = 200;
  double worst = 0, total = 0;
  for (int i = 0; i < n; ++i) {
    auto t = Clock::now();
    invalidate_tree(frame);
    UpdateWindow(frame);
    double us = us_since(t);
    worst = std::max(worst, us);
    total += us;
  }
  std::printf("full repaint, 1024x768 frame, two MDI children with 20-row grids: %.2f ms average, %.2f ms worst\n",
              total / n / 1000, worst / 1000);
  DestroyWindow(frame);
}

void metafile_page() {
  const int n = 300;
  HBITMAP bmp = CreateBitmap(850, 1100);
  double record_total = 0, play_total = 0;
  size_t bytes = 0;
  for (int i = 0; i < n; ++i) {
    auto t = Clock::now();
    HDC dc = CreateMetaFile();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 8500, 11000);
    HFONT font = CreateFont(-120, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(dc, font);
    for (int line = 0; line < 50; ++line)
      TextOut(dc, 1000, 1000 + line * 180, "Customer " + std::to_string(line) + "   Smith & Sons   1,234.50");
    HMETAFILE mf = CloseMetaFile(dc);
    DeleteObject(font);
    record_total += us_since(t);
    bytes = GetMetaFileBits(mf).size();
    t = Clock::now();
    HDC target = CreateCompatibleDC(bmp);
    SetMapMode(target, MM_ANISOTROPIC);
    SetViewportExtEx(target, 850, 1100);
    PlayMetaFile(target, mf);
    DeleteDC(target);
    play_total += us_since(t);
    DeleteMetaFile(mf);
  }
  DeleteObject(bmp);
  std::printf("50-line page as a metafile (%zu bytes): record %.3f ms, play into 850x1100 %.2f ms\n", bytes,
              record_total / n / 1000, play_total / n / 1000);
}

}  // namespace

int main() {
  message_round_trip();
  idle_program();
  repaint();
  metafile_page();
  return 0;
}
