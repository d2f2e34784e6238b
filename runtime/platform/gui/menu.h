// Menus: the menu bar of a top-level window and popup menus with check
// marks, grey items, submenus and separators. While an item is highlighted
// the owner receives WM_MENUSELECT with its identifier, so that a status
// bar can show the item's help text; a chosen item sends WM_COMMAND.
#pragma once
#include <string>
#include <vector>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

enum : UINT {
  MF_STRING = 0, MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_CHECKED = 0x8, MF_POPUP = 0x10, MF_SEPARATOR = 0x800,
  MF_BYCOMMAND = 0, MF_BYPOSITION = 0x400, MF_UNCHECKED = 0, MF_ENABLED = 0,
  MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40,  // a popup's item that starts a new column
};
enum : UINT { TPM_LEFTALIGN = 0, TPM_RETURNCMD = 0x100 };

HMENU CreateMenu();
HMENU CreatePopupMenu();
bool DestroyMenu(HMENU menu);
// `id` is the command, or the submenu's handle with MF_POPUP.
bool AppendMenu(HMENU menu, UINT flags, uintptr_t id, const std::string& text = {});
bool InsertMenu(HMENU menu, UINT position, UINT flags, uintptr_t id, const std::string& text = {});
bool DeleteMenu(HMENU menu, UINT item, UINT flags);
bool ModifyMenu(HMENU menu, UINT item, UINT flags, uintptr_t id, const std::string& text);
// Returns the previous state, or -1 (as UINT) when there is no such item.
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
std::string GetMenuString(HMENU menu, UINT item, UINT flags);

bool SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
void DrawMenuBar(HWND hwnd);

// The class of popup menu windows; a program may register the same window
// procedure under a name of its own and have its popups made of that class.
inline constexpr const char* kPopupMenuClass = "#32768";
void register_popup_menu_class(const std::string& name = kPopupMenuClass);
// The height of an item of a popup menu (separators are lower).
int menu_item_height();

// Shows a popup menu at a screen point and runs until an item is chosen or
// the menu is dismissed. With TPM_RETURNCMD the command is returned instead
// of sent.
UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                    const std::string& popup_class = kPopupMenuClass);

// For scripts: whether a window is a popup menu being shown, and its items
// (texts without "&" and shortcut, rectangles in its client area).
bool is_popup_menu(HWND hwnd);
struct PopupItems {
  std::vector<std::string> texts;
  std::vector<RECT> rects;
  std::vector<bool> greyed;  // items that cannot be chosen
};
PopupItems popup_menu_items(HWND popup);

// For the frame: drawing the bar, clicks on it and Alt+letter.
void draw_menu_bar(HDC dc, HMENU menu, const RECT& bar, int highlighted);
void track_menu_bar(HWND hwnd, POINT screen);
bool menu_accelerator(HWND hwnd, char letter);

}  // namespace vrt::platform
