#include "runtime/platform/gui/input_api.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

class Tracking : public GuiTest {
 protected:
  void drag(HWND top, POINT from, POINT to) {
    automation::settle();
    inject_mouse_move(top, from);
    inject_mouse_button(top, from, 0, true);
    automation::settle();
    inject_mouse_move(top, to);
    automation::settle();
    inject_mouse_button(top, to, 0, false);
    automation::settle();
  }
};

TEST_F(Tracking, CaptionDragMovesAndCornerDragSizes) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr);
  HWND doc = CreateWindow("Logged", "doc", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, 50, 50, 200, 150, top, nullptr);
  log().clear();
  // The caption, left of the buttons.
  drag(top, POINT{70, 60}, POINT{120, 90});
  RECT moved = GetWindowRect(doc);
  EXPECT_EQ(moved.left, 100);
  EXPECT_EQ(moved.top, 80);
  EXPECT_GE(log().count(doc, WM_MOVING), 1);
  EXPECT_GE(log().count(doc, WM_WINDOWPOSCHANGED), 1);
  // The grip at the bottom right corner.
  drag(top, POINT{moved.right - 3, moved.bottom - 3}, POINT{moved.right + 47, moved.bottom + 27});
  RECT sized = GetWindowRect(doc);
  EXPECT_EQ(sized.width(), 250);
  EXPECT_EQ(sized.height(), 180);
  EXPECT_GE(log().count(doc, WM_SIZING), 1);
  EXPECT_GE(log().count(doc, WM_SIZE), 1);
}

TEST_F(Tracking, CaptureKeepsTheMouseWhenItLeavesTheWindow) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr);
  HWND a = CreateWindow("Logged", "a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr);
  HWND b = CreateWindow("Logged", "b", WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, top, nullptr);
  SetCapture(a);
  log().clear();
  inject_mouse_move(top, POINT{120, 120});
  automation::settle();
  EXPECT_EQ(log().count(a, WM_MOUSEMOVE), 1);
  EXPECT_EQ(log().count(b, WM_MOUSEMOVE), 0);
  for (const Heard& h : log().take()) {
    if (h.hwnd == a && h.msg == WM_MOUSEMOVE) {
      EXPECT_EQ(GET_X_LPARAM(h.lp), 120);  // in a's coordinates
    }
  }
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  inject_mouse_move(top, POINT{120, 120});
  automation::settle();
  EXPECT_EQ(log().count(b, WM_MOUSEMOVE), 1);
}

TEST_F(Tracking, AutomationFindsWindowsAndChildren) {
  HWND top = CreateWindow("Logged", "Browse the Customer File", WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr);
  HWND ok = CreateWindow("Logged", "&OK", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top, reinterpret_cast<HMENU>(7));
  EXPECT_EQ(automation::find_window("Browse the Customer File"), top);
  EXPECT_EQ(automation::find_window("Browse", 100, true), top);
  EXPECT_EQ(automation::find_window("Nothing like it", 50), nullptr);
  EXPECT_EQ(automation::find_child(top, "OK"), ok);
  EXPECT_EQ(automation::find_child(top, 7), ok);
  EXPECT_EQ(automation::read_text(ok), "&OK");
}

}  // namespace
}  // namespace vrt::platform::test
