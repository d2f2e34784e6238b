// Popup menus (class ZorPopup) described by one text:
//
//   "Insert|Change|~Delete|-|View{+Details|-Totals}|[PRINT.ICO]Print"
//
// Items are separated by "|" (a leading one is ignored); "-" alone is a
// separator; a text followed by "{" opens a submenu running to the
// matching "}". Before its text an item may carry "~" (greyed), then "+"
// (checked) or "-" (a check item, unchecked), then an image in brackets.
// Items other than separators and submenu captions are numbered 1, 2, 3
// ... in order; the popup returns the chosen number, or 0. A menu longer
// than the screen is tall runs on in further columns.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

struct PopupItem {
  std::string text;
  std::string image;
  bool separator = false;
  bool greyed = false;
  bool checked = false;
  bool check_item = false;
  int number = 0;  // 0 for separators and submenu captions
  std::vector<PopupItem> submenu;
  bool is_submenu = false;
};

std::vector<PopupItem> parse_popup(std::string_view text);

// How many items fit in one column: the screen height over an item's.
int popup_column_length();
// The menu of a text, with a new column after every popup_column_length()
// items of each level. The caller destroys it.
platform::HMENU make_popup_menu(std::string_view text);

// Shows the menu at a screen point (owned by `owner`) and returns the
// chosen item's number, or 0 when the user cancels. Asked for while the
// thread answers a sent event: fatal runtime error 541, and 0.
int Popup(std::string_view text, platform::HWND owner, platform::POINT at);

}  // namespace vrt::window
