// What the menu code shares between its model and its tracking: the items
// of a menu and how their texts are laid out.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

struct MenuItem {
  UINT flags = 0;
  uintptr_t id = 0;  // the command, or the submenu for MF_POPUP
  std::string text;
};

// A copy of a menu's items.
std::vector<MenuItem> items_of(HMENU menu);
// The text shown: "&" marks the access letter, a tab starts the shortcut.
std::string label(const std::string& text, std::string* shortcut);
char access_letter(const std::string& text);
int item_width(HDC dc, const std::string& text);
// Left and right edges of each item of a menu bar.
std::vector<std::pair<int, int>> bar_layout(HDC dc, const std::vector<MenuItem>& items, int left);

}  // namespace vrt::platform
