// The X11 display under a real X server (Xvfb), with input from the XTest
// extension: a click and typed keys reach the right window procedure, and
// what the window drew is on the screen.
// The test framework comes before the X headers, whose macros (None,
// Status) would otherwise spoil its names.
#include "runtime/platform/gui/input_api.h"
#include "tests/platform/gui_test_support.h"
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

#include <chrono>
#include <thread>

namespace vrt::platform::test {
namespace {

class XServer {
 public:
  XServer() {
    if (::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
    for (int n = 90 + getpid() % 100; n < 400 && !ok_; n += 7) {
      display_ = ":" + std::to_string(n);
      pid_ = fork();
      if (pid_ == 0) {
        int null = open("/dev/null", 1);
        dup2(null, 1);
        dup2(null, 2);
        execlp("Xvfb", "Xvfb", display_.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", nullptr);
        _exit(127);
      }
      for (int i = 0; i < 100 && !ok_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        if (Display* d = XOpenDisplay(display_.c_str())) {
          XCloseDisplay(d);
          ok_ = true;
        }
        int status;
        if (waitpid(pid_, &status, WNOHANG) == pid_) break;  // that display number was taken
      }
      if (!ok_) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    }
  }
  ~XServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool ok() const { return ok_; }
  const std::string& display() const { return display_; }

 private:
  std::string display_;
  pid_t pid_ = -1;
  bool ok_ = false;
};

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
  stop_display();
}

}  // namespace
}  // namespace vrt::platform::test
