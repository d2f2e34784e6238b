// The popup menu text: items, separators, submenus, marks and numbering.
#include <gtest/gtest.h>

#include "runtime/window/popup_menu.h"

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

}  // namespace
}  // namespace vrt::window
