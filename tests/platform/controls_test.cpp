#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

class Controls : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    top = CreateWindow("Logged", "form", WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr);
  }
  HWND edit(uint32_t style = 0, const char* text = "") {
    HWND e = CreateWindow(kEditClass, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 24, top,
                          reinterpret_cast<HMENU>(5));
    automation::click(e);
    return e;
  }
  std::vector<UINT> notifications(UINT code) {
    std::vector<UINT> out;
    for (const Heard& h : log().take())
      if (h.hwnd == top && h.msg == WM_COMMAND && HIWORD(h.wp) == code) out.push_back(LOWORD(h.wp));
    return out;
  }
  HWND top = nullptr;
};

TEST_F(Controls, EditTypingSelectionAndClipboard) {
  HWND e = edit();
  automation::type("hello world");
  EXPECT_EQ(GetWindowText(e), "hello world");
  EXPECT_FALSE(notifications(EN_CHANGE).empty());
  automation::type("{Home}{Shift+Right}{Shift+Right}{Shift+Right}{Shift+Right}{Shift+Right}");
  uint32_t lo = 0, hi = 0;
  SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  EXPECT_EQ(lo, 0u);
  EXPECT_EQ(hi, 5u);
  automation::type("{Ctrl+c}{End}{Ctrl+v}");
  EXPECT_EQ(get_clipboard_text(), "hello");
  EXPECT_EQ(GetWindowText(e), "hello worldhello");
  automation::type("{Back}{Back}{Ctrl+z}");
  EXPECT_EQ(GetWindowText(e), "hello worldhell");  // undo takes back the last edit only
  automation::type("{Ctrl+a}{Del}");
  EXPECT_EQ(GetWindowText(e), "");
}

TEST_F(Controls, EditStylesAndLimit) {
  HWND upper = edit(ES_UPPERCASE);
  automation::type("abc");
  EXPECT_EQ(GetWindowText(upper), "ABC");
  DestroyWindow(upper);
  HWND digits = edit(ES_NUMBER);
  automation::type("a1b2");
  EXPECT_EQ(GetWindowText(digits), "12");
  DestroyWindow(digits);
  HWND limited = edit();
  SendMessage(limited, EM_LIMITTEXT, 3, 0);
  log().clear();
  automation::type("abcdef");
  EXPECT_EQ(GetWindowText(limited), "abc");
  EXPECT_FALSE(notifications(EN_MAXTEXT).empty());
  DestroyWindow(limited);
  HWND readonly = edit(ES_READONLY, "fixed");
  automation::type("x{Back}{Del}");
  EXPECT_EQ(GetWindowText(readonly), "fixed");
}

TEST_F(Controls, EditSelectionByMessage) {
  HWND e = edit(0, "abcdef");
  SendMessage(e, EM_SETSEL, 1, 3);
  SendMessage(e, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("XY"));
  EXPECT_EQ(GetWindowText(e), "aXYdef");
  SendMessage(e, EM_SETSEL, 2, -1);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(GetWindowText(e), "aX");
  EXPECT_EQ(get_clipboard_text(), "Ydef");
}

TEST_F(Controls, ButtonsCheckAndNotify) {
  HWND check = CreateWindow(kButtonClass, "Active", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 100, 20, top,
                            reinterpret_cast<HMENU>(1));
  HWND r1 = CreateWindow(kButtonClass, "One", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 40, 100, 20, top,
                         reinterpret_cast<HMENU>(2));
  HWND r2 = CreateWindow(kButtonClass, "Two", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 70, 100, 20, top,
                         reinterpret_cast<HMENU>(3));
  HWND push = CreateWindow(kButtonClass, "OK", WS_CHILD | WS_VISIBLE, 10, 100, 80, 26, top, reinterpret_cast<HMENU>(4));
  log().clear();
  automation::click(check);
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  automation::click(r1);
  automation::click(r2);
  EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  automation::click(push);
  SetFocus(push);
  automation::type(" ");  // the space bar clicks too
  EXPECT_EQ(notifications(BN_CLICKED), (std::vector<UINT>{1, 2, 3, 4, 4}));
}

// A form whose entry refuses to be left takes the focus back while the
// button is held down; the button must let the mouse go, or the next click
// anywhere would be its own.
TEST_F(Controls, AButtonThatLosesTheFocusWhilePressedLetsTheMouseGo) {
  HWND ok = CreateWindow(kButtonClass, "OK", WS_CHILD | WS_VISIBLE, 10, 50, 80, 26, top, reinterpret_cast<HMENU>(1));
  HWND cancel = CreateWindow(kButtonClass, "Cancel", WS_CHILD | WS_VISIBLE, 100, 50, 80, 26, top,
                             reinterpret_cast<HMENU>(2));
  HWND e = edit();
  POINT on_ok = automation::point_in_top(ok, {40, 13});
  automation::press_at(top, on_ok);
  automation::settle();
  EXPECT_EQ(GetFocus(), ok);
  SetFocus(e);  // the entry's check sends the user back
  automation::release_at(top, on_ok);
  automation::settle();
  EXPECT_EQ(GetCapture(), nullptr);
  log().clear();
  automation::click(cancel);
  EXPECT_EQ(GetFocus(), cancel);
  EXPECT_EQ(notifications(BN_CLICKED), (std::vector<UINT>{2}));
}

TEST_F(Controls, ProgressStatusAndToolbar) {
  HWND bar = CreateWindow(kProgressClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 10, top, nullptr);
  SendMessage(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50));
  SendMessage(bar, PBM_SETPOS, 80, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 50);  // held to the range
  SendMessage(bar, PBM_SETSTEP, 20, 0);
  SendMessage(bar, PBM_SETPOS, 40, 0);
  SendMessage(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 10);  // wraps past the end

  HWND status = CreateWindow(kStatusClass, "Ready", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, top, nullptr);
  int32_t edges[] = {100, -1};
  SendMessage(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  SendMessage(status, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("Browsing"));
  char text[32];
  SendMessage(status, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Browsing");
  EXPECT_EQ(GetWindowRect(status).bottom, ClientToScreen(top, POINT{0, GetClientRect(top).bottom}).y);

  HWND tools = CreateWindow(kToolbarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, top, nullptr);
  TBBUTTON buttons[2];
  buttons[0].icon = LoadIcon(std::string("VCRFIRST.ICO"));
  buttons[0].idCommand = 40;
  buttons[0].tip = "First";
  buttons[1].icon = LoadIcon(std::string("HELP.ICO"));
  buttons[1].idCommand = 41;
  SendMessage(tools, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(buttons));
  SendMessage(tools, TB_ENABLEBUTTON, 41, MAKELPARAM(0, 0));
  EXPECT_FALSE(SendMessage(tools, TB_ISBUTTONENABLED, 41, 0));
  log().clear();
  RECT first;
  SendMessage(tools, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  POINT at = ClientToScreen(tools, POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2});
  RECT tr = GetWindowRect(top);
  automation::click_at(top, POINT{at.x - tr.left, at.y - tr.top});
  int commands = 0;
  for (const Heard& h : log().take())
    if (h.hwnd == top && h.msg == WM_COMMAND && h.wp == 40) ++commands;
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(LoadIcon(std::string("NOSUCH.ICO")), nullptr);
}

TEST_F(Controls, ToolbarTipGoesWhenTheMouseLeavesTheBar) {
  HWND top = CreateWindow("Logged", "bar", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  HWND bar = CreateWindow(kToolbarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, top, nullptr);
  TBBUTTON button;
  button.idCommand = 100;
  button.tip = "Copy";
  button.icon = LoadIcon("COPY.ICO");
  SendMessage(bar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&button));
  RECT r;
  ASSERT_TRUE(SendMessage(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
  RECT t = GetWindowRect(top);
  auto in_top = [&](HWND h, POINT p) {
    POINT s = ClientToScreen(h, p);
    return POINT{s.x - t.left, s.y - t.top};
  };
  auto tip_shown = [] {
    for (HWND h : GetTopLevelWindows())
      if (GetClassName(h) == kToolTipClass && IsWindowVisible(h)) return true;
    return false;
  };
  inject_mouse_move(top, in_top(bar, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  ASSERT_TRUE(automation::wait_until(tip_shown, 3000)) << "the tip shows over its button";
  inject_mouse_move(top, in_top(top, {200, 200}));  // down into the window, off the bar
  EXPECT_TRUE(automation::wait_until([&] { return !tip_shown(); }, 2000)) << "the tip stays after the mouse left";
}

}  // namespace
}  // namespace vrt::platform::test
