// A window class that writes down every message it receives, for tests that
// compare what a window heard with what it should have heard.
#pragma once
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::platform::test {

struct Heard {
  HWND hwnd;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

class MessageLog {
 public:
  void add(const Heard& h) {
    std::lock_guard lock(m_);
    heard_.push_back(h);
  }
  std::vector<Heard> take() {
    std::lock_guard lock(m_);
    return std::exchange(heard_, {});
  }
  // The messages of one window, in order, limited to those in `only`.
  std::vector<UINT> of(HWND hwnd, const std::vector<UINT>& only) {
    std::lock_guard lock(m_);
    std::vector<UINT> out;
    for (const Heard& h : heard_)
      if (h.hwnd == hwnd && std::find(only.begin(), only.end(), h.msg) != only.end()) out.push_back(h.msg);
    return out;
  }
  int count(HWND hwnd, UINT msg) {
    std::lock_guard lock(m_);
    int n = 0;
    for (const Heard& h : heard_) n += h.hwnd == hwnd && h.msg == msg;
    return n;
  }
  void clear() { take(); }

 private:
  std::mutex m_;
  std::vector<Heard> heard_;
};

inline MessageLog& log() {
  static MessageLog l;
  return l;
}

inline LRESULT logging_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  log().add({hwnd, msg, wp, lp});
  return DefWindowProc(hwnd, msg, wp, lp);
}

inline void register_logging_class(const char* name = "Logged") {
  WNDCLASS wc;
  wc.lpszClassName = name;
  wc.lpfnWndProc = logging_proc;
  wc.style = CS_DBLCLKS;
  RegisterClass(wc);
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_display(DisplayKind::Headless);
    register_logging_class();
    log().clear();
  }
  void TearDown() override {
    for (HWND h : GetTopLevelWindows()) DestroyWindow(h);
    automation::settle(1000);
  }
};

}  // namespace vrt::platform::test
