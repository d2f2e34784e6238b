// The popup menu text: items, separators, submenus, marks and numbering.
#include <gtest/gtest.h>

#include <thread>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/popup_menu.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {
namespace {

TEST(PopupText, ItemsMarksAndNumbers) {
  auto items = parse_popup("|Insert|~Change|-|View{+Details|-Totals}|[PRINT.ICO]Print|~+[X.ICO]Both");
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].text, "Insert");
  EXPECT_EQ(items[0].number, 1);
  EXPECT_TRUE(items[1].greyed);
  EXPECT_EQ(items[1].text, "Change");
  EXPECT_TRUE(items[2].separator);
  EXPECT_EQ(items[2].number, 0);
  EXPECT_TRUE(items[3].is_submenu);
  EXPECT_EQ(items[3].number, 0) << "a submenu caption takes no number";
  ASSERT_EQ(items[3].submenu.size(), 2u);
  EXPECT_TRUE(items[3].submenu[0].checked);
  EXPECT_EQ(items[3].submenu[0].text, "Details");
  EXPECT_EQ(items[3].submenu[0].number, 3);
  EXPECT_TRUE(items[3].submenu[1].check_item);
  EXPECT_FALSE(items[3].submenu[1].checked);
  EXPECT_EQ(items[3].submenu[1].number, 4);
  EXPECT_EQ(items[4].image, "PRINT.ICO");
  EXPECT_EQ(items[4].text, "Print");
  EXPECT_EQ(items[4].number, 5);
  EXPECT_TRUE(items[5].greyed && items[5].checked);
  EXPECT_EQ(items[5].image, "X.ICO");
  EXPECT_EQ(items[5].text, "Both");
}

TEST(PopupText, NestedAndUnclosedSubmenusDoNotRunAway) {
  auto items = parse_popup("A{B{C|D}|E}|F");
  ASSERT_EQ(items.size(), 2u);
  ASSERT_EQ(items[0].submenu.size(), 2u);
  EXPECT_EQ(items[0].submenu[0].submenu[1].text, "D");
  EXPECT_EQ(items[0].submenu[1].number, 3);
  EXPECT_EQ(items[1].number, 4);
  auto open = parse_popup("A{B|C");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].submenu.size(), 2u);
  auto stray = parse_popup("A}|B");
  ASSERT_EQ(stray.size(), 2u) << "a stray close is skipped";
  EXPECT_EQ(stray[1].number, 2);
  EXPECT_TRUE(parse_popup("").empty());
}

TEST(PopupText, DeepNestingIsReadAsPlainItems) {
  std::string deep(10000, '{');
  auto items = parse_popup("A" + deep + "B");
  ASSERT_FALSE(items.empty());
  int depth = 0;
  for (const PopupItem* it = &items[0]; it->is_submenu && !it->submenu.empty(); it = &it->submenu[0]) ++depth;
  EXPECT_LE(depth, 16);
}

using namespace vrt::platform;

// A text of `n` items "1|2|...".
std::string numbered(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += (i > 1 ? "|" : "") + std::to_string(i);
  return text;
}

TEST(PopupColumns, ATooLongMenuStartsANewColumnWhereTheScreenIsFull) {
  start_display(DisplayKind::Headless);
  int per_column = popup_column_length();
  ASSERT_GT(per_column, 1);
  HMENU menu = make_popup_menu(numbered(2 * per_column + 1) + "|Sub{" + numbered(3) + "}");
  for (int i : {0, per_column - 1, per_column + 1, 2 * per_column - 1})
    EXPECT_FALSE(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_MENUBARBREAK) << i;
  EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(per_column), MF_BYPOSITION) & MF_MENUBARBREAK);
  EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(2 * per_column), MF_BYPOSITION) & MF_MENUBARBREAK);
  HMENU sub = GetSubMenu(menu, 2 * per_column + 1);
  EXPECT_FALSE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_MENUBARBREAK) << "a submenu counts its own items";
  DestroyMenu(menu);
}

TEST(PopupColumns, ShownPopupIsAZorPopupWhoseSecondColumnCanBeChosen) {
  start_display(DisplayKind::Headless);
  register_zor_classes();
  HWND owner = CreateWindow("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr);
  int per_column = popup_column_length();
  std::atomic<int> width{0};
  std::thread user([&] {
    HWND popup = nullptr;
    automation::wait_until([&] {
      for (HWND h : GetTopLevelWindows())
        if (GetClassName(h) == kZorPopup && IsWindowVisible(h)) popup = h;
      return popup != nullptr;
    });
    if (!popup) return;
    // The first item of the second column, to the right of the first.
    RECT r = GetWindowRect(popup);
    width = r.width();
    POINT second{r.width() / 2 + r.width() / 4 - 10, menu_item_height()};
    inject_mouse_move(popup, second);
    inject_mouse_button(popup, second, 0, true);
    inject_mouse_button(popup, second, 0, false);
  });
  int chosen = Popup(numbered(per_column + 1), owner, {0, 0});
  user.join();
  EXPECT_EQ(chosen, per_column + 1);
  EXPECT_GT(width, 0);
  DestroyWindow(owner);
}

}  // namespace
}  // namespace vrt::window
