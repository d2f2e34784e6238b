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

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace vrt::platform::test {
namespace {

class XServer {
 public:
  // Xvfb picks a free display number itself and writes it to a pipe, so
  // that servers of tests running side by side never collide.
  XServer() {
    if (::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
             nullptr);
      _exit(127);
    }
    close(fds[1]);
    char buf[32] = {};
    ssize_t n = 0, got;
    while (n < 31 && (got = read(fds[0], buf + n, 31 - static_cast<size_t>(n))) > 0) {
      n += got;
      if (std::memchr(buf, '\n', static_cast<size_t>(n))) break;
    }
    close(fds[0]);
    if (n <= 0) return;
    display_ = ":" + std::to_string(std::atoi(buf));
    for (int i = 0; i < 100 && !ok_; ++i) {
      if (Display* d = XOpenDisplay(display_.c_str())) {
        XCloseDisplay(d);
        ok_ = true;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
      }
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
