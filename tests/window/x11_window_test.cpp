// Runtime windows on a real X server with real input (XTest): a click on a
// radio clears the others of its option box only, and Tab walks the
// controls of a sheet and on past it.
// The test framework comes before the X headers, whose macros would spoil its names.
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "tests/window/window_test_fixture.h"
#include "tests/x_server.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

#include <atomic>
#include <thread>

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class X11Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.ok()) GTEST_SKIP() << "Xvfb is not available";
    setenv("DISPLAY", server.display().c_str(), 1);
    stop_display();
    ASSERT_EQ(start_display(DisplayKind::X11), DisplayKind::X11);
    dpy = XOpenDisplay(server.display().c_str());
    ASSERT_NE(dpy, nullptr);
    take_runtime_lock();
  }
  void TearDown() override {
    if (!server.ok()) return;
    while (!thread_windows().empty()) Close(*thread_windows().back());
    release_runtime_lock_fully();
    if (dpy) XCloseDisplay(dpy);
    stop_display();
    unsetenv("DISPLAY");
  }
  // A click in the middle of a control, where the X server has it.
  void click(HWND control) {
    RECT r = GetWindowRect(control);
    XTestFakeMotionEvent(dpy, 0, (r.left + r.right) / 2, (r.top + r.bottom) / 2, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XFlush(dpy);
  }
  void tab() {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Tab), True, CurrentTime);
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Tab), False, CurrentTime);
    XFlush(dpy);
  }
  // Runs the window's loop while `user` acts; the user closes it at the end.
  void run(WindowObject& w, const std::function<void()>& user) {
    std::thread t([&, hwnd = w.hwnd] {
      automation::wait_until([&] { return IsWindowVisible(hwnd); });
      std::this_thread::sleep_for(std::chrono::milliseconds(300));  // mapped on the server
      user();
      PostMessage(hwnd, WM_CLOSE, 0, 0);
    });
    while (Accept(w)) {
    }
    t.join();
  }
  vrt::test::XServer server;
  Display* dpy = nullptr;
};

bool checked(HWND radio) { return SendMessage(radio, BM_GETCHECK, 0, 0) == BST_CHECKED; }

TEST_F(X11Windows, ClickedRadiosClearOnlyTheirOwnBox) {
  WindowObject w(kLoopModule, "P12$RADIOS", WindowKind::Ordinary);
  Open(w);
  // Fields: option A 1, A1 2, A2 3, option B 4, B1 5, B2 6.
  HWND a1 = w.control(2)->hwnd(), a2 = w.control(3)->hwnd(), b1 = w.control(5)->hwnd();
  run(w, [&] {
    click(a1);
    EXPECT_TRUE(automation::wait_until([&] { return checked(a1); }));
    click(a2);
    EXPECT_TRUE(automation::wait_until([&] { return checked(a2) && !checked(a1); })) << "A1 stays checked";
    click(b1);
    EXPECT_TRUE(automation::wait_until([&] { return checked(b1); }));
    EXPECT_TRUE(checked(a2)) << "a click in box B cleared box A";
  });
}

TEST_F(X11Windows, TabWalksASheetsControlsAndOnPastIt) {
  WindowObject w(kLoopModule, "P11$SHEETKEYS", WindowKind::Ordinary);
  Open(w);
  // Fields: sheet 1, tab 2, One 3, Two 4, Outside 5.
  HWND one = w.control(3)->hwnd(), two = w.control(4)->hwnd(), outside = w.control(5)->hwnd();
  run(w, [&] {
    click(one);
    EXPECT_TRUE(automation::wait_until([&] { return GetFocus() == one; }));
    tab();
    EXPECT_TRUE(automation::wait_until([&] { return GetFocus() == two; })) << "Tab went back to the page's first";
    tab();
    EXPECT_TRUE(automation::wait_until([&] { return GetFocus() == outside; }));
  });
}

}  // namespace
}  // namespace vrt::window
