// A runtime window's keyboard and mouse rules: size limits while dragging,
// the program's cursor, dialog navigation and the document windows'
// system keys.
#include <gtest/gtest.h>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/window/loop/dialog_keyboard.h"
#include "runtime/window/controls/program_cursor.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Keyboard : public test::WindowTest {
 protected:
  // A key-down as the loop takes it, with the modifiers held then
  // (bit 0 Shift, 1 Ctrl, 2 Alt).
  MSG key(HWND to, UINT vk, uint8_t modifiers = 0) {
    LPARAM lp = static_cast<LPARAM>(0x80 | modifiers) << kModifierShift;
    take_message_modifiers(lp);
    MSG m;
    m.hwnd = to;
    m.message = (modifiers & 4) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    m.wParam = vk;
    m.lParam = lp;
    return m;
  }
  // The field of the next Accepted event.
  int32_t accepted(WindowObject& w) {
    pump(w, [] { return Event() == event::Accepted; });
    return Event() == event::Accepted ? Field() : 0;
  }
};

TEST_F(Keyboard, SizingKeepsTheEdgeOppositeToTheDraggedOne) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  RECT outer = GetWindowRect(w.hwnd), inner = GetClientRect(w.hwnd);
  int extra_x = outer.width() - inner.right, extra_y = outer.height() - inner.bottom;
  int min_w = w.units.x(120) + extra_x, min_h = w.units.y(60) + extra_y;
  int max_w = w.units.x(300) + extra_x, max_h = w.units.y(150) + extra_y;

  RECT shrunk{500, 400, 510, 405};  // dragged up and left by the top-left corner
  EXPECT_EQ(SendMessage(w.hwnd, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&shrunk)), 1);
  EXPECT_EQ(shrunk.right, 510);
  EXPECT_EQ(shrunk.bottom, 405);
  EXPECT_EQ(shrunk.width(), min_w);
  EXPECT_EQ(shrunk.height(), min_h);

  RECT grown{10, 20, 5000, 5000};  // dragged by the bottom-right corner
  SendMessage(w.hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&grown));
  EXPECT_EQ(grown.left, 10);
  EXPECT_EQ(grown.top, 20);
  EXPECT_EQ(grown.width(), max_w);
  EXPECT_EQ(grown.height(), max_h);

  RECT inside{10, 20, 10 + min_w + 5, 20 + min_h + 5};
  RECT before = inside;
  SendMessage(w.hwnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&inside));
  EXPECT_EQ(inside, before);

  // A window declared without limits is sized freely.
  WindowObject free(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(free);
  RECT tiny{0, 0, 3, 3};
  EXPECT_EQ(SendMessage(free.hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&tiny)), 0);
  EXPECT_EQ(tiny.width(), 3);
}

TEST_F(Keyboard, ProgramCursorOverTheClientAreaElseTheClassCursor) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  window::SetCursor(LoadCursor(IDC_WAIT));
  platform::SetCursor(LoadCursor(IDC_IBEAM));
  SendMessage(w.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(current_cursor(), LoadCursor(IDC_WAIT));
  window::SetCursor(nullptr);
  SendMessage(w.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(current_cursor(), LoadCursor(IDC_ARROW));
}

TEST_F(Keyboard, TabMovesThroughEnabledControlsInFieldOrderRoundTheEnd) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  HWND first = w.control(2)->hwnd(), third = w.control(5)->hwnd();
  HWND cancel = w.control(6)->hwnd(), ok = w.control(7)->hwnd();
  SetFocus(first);
  ASSERT_TRUE(dialog_keyboard(w, key(first, VK_TAB)));
  EXPECT_EQ(GetFocus(), third) << "the disabled button and the string are passed over";
  dialog_keyboard(w, key(third, VK_TAB));
  dialog_keyboard(w, key(cancel, VK_TAB));
  EXPECT_EQ(GetFocus(), ok);
  dialog_keyboard(w, key(ok, VK_TAB));
  EXPECT_EQ(GetFocus(), first);
  dialog_keyboard(w, key(first, VK_TAB, 1));
  EXPECT_EQ(GetFocus(), ok) << "Shift+Tab goes back round the start";
  EXPECT_FALSE(dialog_keyboard(w, key(ok, VK_TAB, 2))) << "Ctrl+Tab belongs to the document windows";
}

TEST_F(Keyboard, EnterEscapeAndMnemonicsPressButtonsThroughTheLoop) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  ASSERT_EQ(next(w), event::OpenWindow);
  SetActiveWindow(w.hwnd);
  SetFocus(w.hwnd);
  inject_key(VK_RETURN, true, '\r');
  inject_key(VK_RETURN, false);
  EXPECT_EQ(accepted(w), 7) << "Enter presses the default button";

  inject_key(VK_ESCAPE, true, 27);
  inject_key(VK_ESCAPE, false);
  EXPECT_EQ(accepted(w), 6) << "Escape presses the button whose key it is";

  SetFocus(w.control(5)->hwnd());
  inject_key(VK_RETURN, true, '\r');
  inject_key(VK_RETURN, false);
  EXPECT_EQ(accepted(w), 5) << "Enter presses the focused button";

  HWND first = w.control(2)->hwnd();
  EXPECT_TRUE(dialog_keyboard(w, key(first, 'T', 4)));
  EXPECT_EQ(accepted(w), 5) << "Alt+T presses &Third";
  EXPECT_FALSE(dialog_keyboard(w, key(first, 'S', 4))) << "&Second is disabled";
  EXPECT_FALSE(dialog_keyboard(w, key(first, 'Q', 4)));
  SetFocus(w.control(5)->hwnd());
  EXPECT_TRUE(dialog_keyboard(w, key(first, 'N', 4)));
  EXPECT_EQ(GetFocus(), first) << "Alt+N moves to the control after the prompt &Name";
}

TEST_F(Keyboard, AKeyTheProcedureAskedForIsAnAlertForTheFocusedControl) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  ASSERT_EQ(next(w), event::OpenWindow);
  constexpr int32_t kCtrlQuote = 0x200 | VK_OEM_7;
  w.alert_keys.push_back(kCtrlQuote);
  HWND third = w.control(5)->hwnd();
  SetFocus(third);
  EXPECT_FALSE(dialog_keyboard(w, key(third, VK_OEM_7))) << "the quote alone is typed";
  EXPECT_TRUE(dialog_keyboard(w, key(third, VK_OEM_7, 2)));
  pump(w, [] { return Event() == event::AlertKey; });
  EXPECT_EQ(Event(), event::AlertKey);
  EXPECT_EQ(Field(), 5);
  EXPECT_EQ(w.alert_key, kCtrlQuote);
  w.alert_keys.clear();
  EXPECT_FALSE(dialog_keyboard(w, key(third, VK_OEM_7, 2))) << "a key no one asked for is not taken";
}

// The child procedure of the MDI tests: opens its window and runs its loop.
std::atomic<HWND> g_children[2];
std::atomic<bool> g_closed[2];
void run_child(const std::string& parameter) {
  int i = parameter == "1";
  WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
  Open(child);
  g_children[i] = child.hwnd;
  while (Accept(child)) {
  }
  g_closed[i] = true;
}

TEST_F(Keyboard, ControlF6ActivatesTheNextChildAndControlF4ClosesIt) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  for (int i = 0; i < 2; ++i) g_children[i] = nullptr, g_closed[i] = false;
  for (const char* p : {"0", "1"}) {
    ASSERT_GT(Start(run_child, 50000, p), 0);
    int levels = release_runtime_lock_fully();
    automation::wait_until([&] { return g_children[*p - '0'] != nullptr; });
    retake_runtime_lock(levels);
  }
  auto active = [&] { return reinterpret_cast<HWND>(SendMessage(frame.client, WM_MDIGETACTIVE, 0, 0)); };
  int levels = release_runtime_lock_fully();
  automation::wait_until([&] { return active() == g_children[1]; });
  retake_runtime_lock(levels);
  ASSERT_EQ(active(), g_children[1].load());

  EXPECT_TRUE(pre_translate(key(frame.hwnd, VK_F6, 2)));
  EXPECT_EQ(active(), g_children[0].load());
  EXPECT_TRUE(pre_translate(key(frame.hwnd, VK_F6, 3)));
  EXPECT_EQ(active(), g_children[1].load()) << "Ctrl+Shift+F6 goes back";
  EXPECT_FALSE(pre_translate(key(frame.hwnd, VK_F4)));

  EXPECT_TRUE(pre_translate(key(frame.hwnd, VK_F4, 2)));
  levels = release_runtime_lock_fully();
  EXPECT_TRUE(automation::wait_until([] { return g_closed[1].load(); })) << "Ctrl+F4 closed the active child";
  EXPECT_FALSE(g_closed[0]);
  PostMessage(g_children[0], WM_CLOSE, 0, 0);
  automation::wait_until([] { return g_closed[0].load(); });
  retake_runtime_lock(levels);
}

TEST_F(Keyboard, TabGoesOnPastTheControlsOfASheet) {
  WindowObject w(kLoopModule, "P11$SHEETKEYS", WindowKind::Ordinary);
  Open(w);
  // Fields: sheet 1, tab 2, One 3, Two 4, Outside 5.
  HWND one = w.control(3)->hwnd(), two = w.control(4)->hwnd(), outside = w.control(5)->hwnd();
  SetFocus(one);
  EXPECT_TRUE(dialog_keyboard(w, key(one, VK_TAB)));
  EXPECT_EQ(GetFocus(), two) << "the sheet that holds the focus is not the control that has it";
  EXPECT_TRUE(dialog_keyboard(w, key(two, VK_TAB)));
  EXPECT_EQ(GetFocus(), outside);
  EXPECT_TRUE(dialog_keyboard(w, key(outside, VK_TAB)));
  EXPECT_EQ(GetFocus(), one);
  EXPECT_TRUE(dialog_keyboard(w, key(one, VK_TAB, 1)));
  EXPECT_EQ(GetFocus(), outside) << "Shift+Tab goes back round the start";
}

}  // namespace
}  // namespace vrt::window
