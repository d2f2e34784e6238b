#include <atomic>
#include <thread>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

class Menus : public GuiTest {
 protected:
  HMENU build() {
    HMENU bar = CreateMenu();
    file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 101, "&Open");
    AppendMenu(file, MF_SEPARATOR, 0);
    AppendMenu(file, MF_STRING | MF_GRAYED, 102, "&Save");
    sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, 201, "&Deep");
    AppendMenu(file, MF_POPUP, reinterpret_cast<uintptr_t>(sub), "&More");
    AppendMenu(file, MF_STRING, 103, "E&xit");
    AppendMenu(bar, MF_POPUP, reinterpret_cast<uintptr_t>(file), "&File");
    AppendMenu(bar, MF_STRING, 300, "&Help");
    return bar;
  }
  // Types keys from another thread once a popup menu is open.
  void type_when_open(const std::string& keys) {
    typist_done = false;
    typist = std::thread([this, keys] {
      automation::wait_until([] {
        for (HWND h : GetTopLevelWindows())
          if (GetClassName(h) == "#32768" && IsWindowVisible(h)) return true;
        return false;
      });
      automation::type(keys);
      typist_done = true;
    });
  }
  void TearDown() override {
    if (typist.joinable()) {
      // The typist waits for this thread to be idle; stay in the queue.
      automation::wait_until([&] { return typist_done.load(); });
      typist.join();
    }
    GuiTest::TearDown();
  }
  HMENU file = nullptr, sub = nullptr;
  std::thread typist;
  std::atomic<bool> typist_done{false};
};

TEST_F(Menus, ItemStates) {
  build();
  EXPECT_EQ(CheckMenuItem(file, 101, MF_CHECKED), 0u);
  EXPECT_EQ(GetMenuState(file, 101, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(file, 102, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(file, 201, MF_BYCOMMAND), MF_STRING);  // found inside the submenu
  EXPECT_EQ(GetMenuItemCount(file), 5);
  EXPECT_EQ(GetMenuItemID(file, 0), 101u);
  EXPECT_EQ(GetSubMenu(file, 3), sub);
  EXPECT_EQ(GetMenuString(file, 4, MF_BYPOSITION), "E&xit");
  EXPECT_EQ(CheckMenuItem(file, 999, MF_CHECKED), 0xFFFFFFFFu);
  EXPECT_TRUE(DeleteMenu(file, 1, MF_BYPOSITION));
  EXPECT_EQ(GetMenuItemCount(file), 4);
}

TEST_F(Menus, KeyboardSkipsSeparatorsAndGreyItemsAndReportsHighlights) {
  build();
  HWND owner = CreateWindow("Logged", "owner", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
  log().clear();
  // Down to Open, Down skips the separator to the grey Save (which cannot be
  // chosen), Down to More, Right opens it, Enter picks Deep.
  type_when_open("{Down}{Down}{Enter}{Down}{Right}{Down}{Enter}");
  UINT command = TrackPopupMenu(file, TPM_RETURNCMD, 10, 10, owner);
  EXPECT_EQ(command, 201u);
  auto heard = log().take();
  std::vector<UINT> highlighted;
  for (const Heard& h : heard)
    if (h.msg == WM_MENUSELECT && HIWORD(h.wp) != 0xFFFF) highlighted.push_back(LOWORD(h.wp));
  std::vector<UINT> expected{101, 102, 3, 201};  // a submenu reports its position
  EXPECT_EQ(highlighted, expected);
  EXPECT_EQ(log().of(owner, {WM_ENTERMENULOOP}).size(), 0u);  // taken above
}

TEST_F(Menus, EscapeChoosesNothing) {
  build();
  HWND owner = CreateWindow("Logged", "owner", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
  type_when_open("{Esc}");
  EXPECT_EQ(TrackPopupMenu(file, TPM_RETURNCMD, 10, 10, owner), 0u);
}

TEST_F(Menus, AccessLettersChoose) {
  build();
  HWND owner = CreateWindow("Logged", "owner", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
  log().clear();
  type_when_open("x");
  EXPECT_TRUE(TrackPopupMenu(file, 0, 10, 10, owner));
  automation::settle();
  EXPECT_EQ(log().count(owner, WM_COMMAND), 1);
}

TEST_F(Menus, MenuBarClickOpensAndSendsTheCommand) {
  HMENU bar = build();
  HWND frame = CreateWindow("Logged", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, bar);
  automation::settle();
  log().clear();
  // The bar lies under the caption; its first item starts near the left.
  RECT wr = GetWindowRect(frame);
  POINT origin = ClientToScreen(frame, POINT{0, 0});
  int bar_y = origin.y - wr.top - 8;
  type_when_open("{Down}{Enter}");
  // Clicking the bar runs the menu on this thread until Enter.
  inject_mouse_button(frame, POINT{20, bar_y}, 0, true);
  inject_mouse_button(frame, POINT{20, bar_y}, 0, false);
  automation::wait_until([&] { return log().count(frame, WM_COMMAND) == 1; });
  std::vector<Heard> heard = log().take();
  bool opened = false;
  for (const Heard& h : heard) {
    if (h.msg == WM_INITMENUPOPUP) opened = true;
    if (h.msg == WM_COMMAND) {
      EXPECT_TRUE(opened);
      EXPECT_EQ(LOWORD(h.wp), 101u);
    }
  }
}

}  // namespace
}  // namespace vrt::platform::test
