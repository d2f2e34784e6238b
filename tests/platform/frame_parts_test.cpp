#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

class FrameParts : public GuiTest {};

TEST_F(FrameParts, ScrollBarsHoldTheirRangeAndReportClicks) {
  HWND w = CreateWindow("Logged", "w", WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 200, nullptr, nullptr);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 500;
  EXPECT_EQ(SetScrollInfo(w, SB_VERT, si), 90);  // the last page starts at 90
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 90);
  SetScrollPos(w, SB_VERT, 0);
  automation::settle();
  log().clear();
  RECT wr = GetWindowRect(w);
  // The bar's lower arrow, at the bottom right of the window.
  automation::click_at(w, POINT{wr.width() - 3, wr.height() - 3});
  std::vector<WPARAM> codes;
  for (const Heard& h : log().take())
    if (h.hwnd == w && h.msg == WM_VSCROLL) codes.push_back(h.wp);
  EXPECT_EQ(codes, (std::vector<WPARAM>{SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST_F(FrameParts, WheelGoesToTheFocusAndUpToItsParent) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr);
  HWND c = CreateWindow("Logged", "c", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, nullptr);
  SetFocus(c);
  automation::settle();
  log().clear();
  inject_mouse_wheel(top, POINT{20, 20}, -120);
  automation::settle();
  EXPECT_EQ(log().count(c, WM_MOUSEWHEEL), 1);
  EXPECT_EQ(log().count(top, WM_MOUSEWHEEL), 1);
}

LRESULT stubborn(HWND h, UINT m, WPARAM w, LPARAM l) {
  log().add({h, m, w, l});
  if (m == WM_QUERYENDSESSION) return 0;
  return DefWindowProc(h, m, w, l);
}

TEST_F(FrameParts, AnyWindowMayRefuseTheEndOfTheSession) {
  HWND a = CreateWindow("Logged", "a", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr);
  EXPECT_TRUE(query_end_session());
  EXPECT_EQ(log().count(a, WM_ENDSESSION), 1);
  WNDCLASS wc;
  wc.lpszClassName = "Stubborn";
  wc.lpfnWndProc = stubborn;
  RegisterClass(wc);
  CreateWindow("Stubborn", "b", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr);
  EXPECT_FALSE(query_end_session());
}

LRESULT half_max(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMaxSize.x /= 2;
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

TEST_F(FrameParts, MaximisingAsksForMinMaxInformation) {
  WNDCLASS wc;
  wc.lpszClassName = "HalfMax";
  wc.lpfnWndProc = half_max;
  RegisterClass(wc);
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr);
  HWND c = CreateWindow("HalfMax", "c", WS_CHILD | WS_VISIBLE | WS_CAPTION, 10, 10, 50, 50, top, nullptr);
  ShowWindow(c, SW_SHOWMAXIMIZED);
  EXPECT_EQ(GetWindowRect(c).width(), 200);
  ShowWindow(c, SW_RESTORE);
  EXPECT_EQ(GetWindowRect(c).width(), 50);
}

TEST_F(FrameParts, ToolTipsShowAfterTheMouseRests) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
  HWND tools = CreateWindow(kToolbarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, top, nullptr);
  TBBUTTON b;
  b.icon = LoadIcon(std::string("FIND.ICO"));
  b.idCommand = 7;
  b.tip = "Find a record";
  SendMessage(tools, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&b));
  RECT r;
  SendMessage(tools, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  automation::settle();
  inject_mouse_move(top, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  HWND tip = nullptr;
  EXPECT_TRUE(automation::wait_until([&] {
    for (HWND h : GetTopLevelWindows())
      if (GetClassName(h) == kToolTipClass && IsWindowVisible(h)) tip = h;
    return tip != nullptr;
  }));
  EXPECT_EQ(GetWindowText(tip), "Find a record");
}

}  // namespace
}  // namespace vrt::platform::test
