// A private X server (Xvfb) for the tests that drive the X11 display with
// real input from the XTest extension; ok() is false when Xvfb is missing.
#pragma once
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace vrt::test {

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

}  // namespace vrt::test
