// The X11 display under a real X server (Xvfb), with input from the XTest
// extension: a click and typed keys reach the right window procedure, and
// what the window drew is on the screen.
// The test framework comes before the X headers, whose macros (None,
// Status) would otherwise spoil its names.
#include "runtime/platform/gui/input_api.h"
#include "tests/platform/gui_test_support.h"
#include "tests/x_server.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace vrt::platform::test {
namespace {

using vrt::test::XServer;

TEST(X11, ClicksKeysAndPixelsGoThroughTheServer) {
  XServer server;
  if (!server.ok()) GTEST_SKIP() << "Xvfb is not available";
  setenv("DISPLAY", server.display().c_str(), 1);
  stop_display();  // another test of this process may have started the headless one
  ASSERT_EQ(start_display(DisplayKind::X11), DisplayKind::X11);
  register_logging_class();
  WNDCLASS green;
  green.lpszClassName = "Green";
  green.lpfnWndProc = logging_proc;
  green.hbrBackground = CreateSolidBrush(RGB(0, 200, 0));
  RegisterClass(green);
  HWND top = CreateWindow("Green", "X test", WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr);
  SetFocus(top);
  automation::settle();

  Display* dpy = XOpenDisplay(server.display().c_str());
  ASSERT_NE(dpy, nullptr);
  // Wait until the window is on the screen and painted green.
  auto pixel = [&](int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = img ? XGetPixel(img, 0, 0) : 0;
    if (img) XDestroyImage(img);
    return p;
  };
  EXPECT_TRUE(automation::wait_until([&] { return pixel(250, 200) == 0x00C800; }, 5000));

  log().clear();
  XTestFakeMotionEvent(dpy, 0, 200, 180, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_a), True, CurrentTime);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_a), False, CurrentTime);
  XFlush(dpy);
  EXPECT_TRUE(automation::wait_until([&] { return log().count(top, WM_KEYUP) >= 1; }, 5000));
  bool clicked = false, typed = false;
  for (const Heard& h : log().take()) {
    if (h.hwnd == top && h.msg == WM_LBUTTONDOWN) {
      clicked = true;
      EXPECT_EQ(GET_X_LPARAM(h.lp), 100);  // client coordinates of the click
      EXPECT_EQ(GET_Y_LPARAM(h.lp), 80);
    }
    if (h.hwnd == top && h.msg == WM_KEYDOWN && h.wp == 'A') typed = true;
  }
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(typed);
  XCloseDisplay(dpy);
  DestroyWindow(top);
  DeleteObject(green.hbrBackground);
  stop_display();
}

TEST(X11, ABusyWindowDoesNotHoldUpTheInputOfAnother) {
  XServer server;
  if (!server.ok()) GTEST_SKIP() << "Xvfb is not available";
  setenv("DISPLAY", server.display().c_str(), 1);
  stop_display();
  ASSERT_EQ(start_display(DisplayKind::X11), DisplayKind::X11);
  WNDCLASS green;
  green.lpszClassName = "Green";
  green.lpfnWndProc = logging_proc;
  green.hbrBackground = CreateSolidBrush(RGB(0, 200, 0));
  RegisterClass(green);
  // A window whose thread stops taking messages for three seconds when told.
  std::atomic<HWND> busy{nullptr};
  std::atomic<bool> go_busy{false}, done{false};
  std::thread owner([&] {
    busy = CreateWindow("Green", "busy", WS_VISIBLE, 50, 50, 200, 150, nullptr, nullptr);
    while (!done) {
      if (go_busy.exchange(false)) std::this_thread::sleep_for(std::chrono::seconds(3));
      MSG m;
      if (PeekMessage(&m, nullptr, PM_REMOVE)) DispatchMessage(m);
      else WaitMessage(50);
    }
    DestroyWindow(busy);
  });
  HWND quick = CreateWindow("Green", "quick", WS_VISIBLE, 400, 100, 300, 200, nullptr, nullptr);
  Display* dpy = XOpenDisplay(server.display().c_str());
  ASSERT_NE(dpy, nullptr);
  auto pixel = [&](int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = img ? XGetPixel(img, 0, 0) : 0;
    if (img) XDestroyImage(img);
    return p;
  };
  EXPECT_TRUE(automation::wait_until([&] { return pixel(150, 150) == 0x00C800 && pixel(550, 250) == 0x00C800; }, 5000));
  log().clear();
  go_busy = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // its thread sleeps now
  for (POINT p : {POINT{150, 150}, POINT{550, 250}}) {
    XTestFakeMotionEvent(dpy, 0, p.x, p.y, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  }
  XFlush(dpy);
  // The quick window hears its click while the busy one still sleeps.
  EXPECT_TRUE(automation::wait_until([&] { return log().count(quick, WM_LBUTTONDOWN) >= 1; }, 1500))
      << "the display's input thread waited on the busy window";
  EXPECT_TRUE(automation::wait_until([&] { return log().count(busy, WM_LBUTTONDOWN) >= 1; }, 8000))
      << "the busy window gets its click once it takes messages again";
  // The owner's last messages may be sent to this thread's window: this
  // thread keeps taking them until the owner has ended.
  std::atomic<bool> ended{false};
  done = true;
  std::thread joiner([&] {
    owner.join();
    ended = true;
  });
  automation::wait_until([&] { return ended.load(); }, 10000);
  joiner.join();
  XCloseDisplay(dpy);
  DestroyWindow(quick);
  DeleteObject(green.hbrBackground);
  stop_display();
}

}  // namespace
}  // namespace vrt::platform::test
