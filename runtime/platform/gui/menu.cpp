#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/menu_items.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

struct Menu {
  std::vector<MenuItem> items;
};

std::atomic<uintptr_t> g_next_menu{0x20000};
std::map<HMENU, std::unique_ptr<Menu>>& menus() {
  static std::map<HMENU, std::unique_ptr<Menu>> m;
  return m;
}

// The lock of the window manager guards menus too.
Menu* find_menu(HMENU h) {
  auto it = menus().find(h);
  return it == menus().end() ? nullptr : it->second.get();
}

MenuItem* find_item(HMENU h, UINT item, UINT flags, int* position = nullptr) {
  Menu* m = find_menu(h);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    if (position) *position = static_cast<int>(item);
    return &m->items[item];
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& it = m->items[i];
    if (!(it.flags & MF_POPUP) && it.id == item) {
      if (position) *position = static_cast<int>(i);
      return &it;
    }
  }
  // Commands in submenus count too.
  for (MenuItem& it : m->items)
    if (it.flags & MF_POPUP)
      if (MenuItem* found = find_item(reinterpret_cast<HMENU>(it.id), item, flags)) return found;
  return nullptr;
}

HMENU new_menu() {
  WindowLock lock = lock_windows();
  HMENU h = reinterpret_cast<HMENU>(g_next_menu.fetch_add(4));
  menus()[h] = std::make_unique<Menu>();
  return h;
}

}  // namespace

// The text shown: "&" marks the access letter, a tab the shortcut text.
std::string label(const std::string& text, std::string* shortcut) {
  size_t tab = text.find('\t');
  if (shortcut) *shortcut = tab == std::string::npos ? "" : text.substr(tab + 1);
  return tab == std::string::npos ? text : text.substr(0, tab);
}

char access_letter(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '&' && text[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  return 0;
}

int item_width(HDC dc, const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != '&' || (i + 1 < text.size() && text[i + 1] == '&')) shown += text[i];
  return GetTextExtentPoint32(dc, shown).cx;
}

HMENU CreateMenu() { return new_menu(); }
HMENU CreatePopupMenu() { return new_menu(); }

bool DestroyMenu(HMENU menu) {
  std::vector<HMENU> subs;
  {
    WindowLock lock = lock_windows();
    Menu* m = find_menu(menu);
    if (!m) return false;
    for (MenuItem& it : m->items)
      if (it.flags & MF_POPUP) subs.push_back(reinterpret_cast<HMENU>(it.id));
    menus().erase(menu);
  }
  for (HMENU s : subs) DestroyMenu(s);
  return true;
}

bool InsertMenu(HMENU menu, UINT position, UINT flags, uintptr_t id, const std::string& text) {
  WindowLock lock = lock_windows();
  Menu* m = find_menu(menu);
  if (!m) return false;
  size_t at = m->items.size();
  if (flags & MF_BYPOSITION) {
    at = std::min<size_t>(position, m->items.size());
  } else if (position != 0xFFFFFFFF) {
    for (size_t i = 0; i < m->items.size(); ++i)
      if (m->items[i].id == position) at = i;
  }
  m->items.insert(m->items.begin() + static_cast<long>(at), MenuItem{flags & ~MF_BYPOSITION, id, text});
  return true;
}

bool AppendMenu(HMENU menu, UINT flags, uintptr_t id, const std::string& text) {
  return InsertMenu(menu, 0xFFFFFFFF, flags & ~MF_BYPOSITION, id, text);
}

bool DeleteMenu(HMENU menu, UINT item, UINT flags) {
  WindowLock lock = lock_windows();
  int pos = -1;
  if (!find_item(menu, item, flags, &pos) || pos < 0) return false;
  Menu* m = find_menu(menu);
  m->items.erase(m->items.begin() + pos);
  return true;
}

bool ModifyMenu(HMENU menu, UINT item, UINT flags, uintptr_t id, const std::string& text) {
  WindowLock lock = lock_windows();
  MenuItem* it = find_item(menu, item, flags);
  if (!it) return false;
  *it = MenuItem{flags & ~MF_BYPOSITION, id, text};
  return true;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  WindowLock lock = lock_windows();
  MenuItem* it = find_item(menu, item, flags);
  if (!it) return 0xFFFFFFFF;
  UINT old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  UINT old;
  {
    WindowLock lock = lock_windows();
    MenuItem* it = find_item(menu, item, flags);
    if (!it) return 0xFFFFFFFF;
    old = it->flags & (MF_GRAYED | MF_DISABLED);
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  }
  return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  WindowLock lock = lock_windows();
  MenuItem* it = find_item(menu, item, flags);
  return it ? it->flags : 0xFFFFFFFF;
}

int GetMenuItemCount(HMENU menu) {
  WindowLock lock = lock_windows();
  Menu* m = find_menu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  WindowLock lock = lock_windows();
  Menu* m = find_menu(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return 0xFFFFFFFF;
  const MenuItem& it = m->items[static_cast<size_t>(position)];
  return it.flags & MF_POPUP ? 0xFFFFFFFF : static_cast<UINT>(it.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
  WindowLock lock = lock_windows();
  Menu* m = find_menu(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return nullptr;
  const MenuItem& it = m->items[static_cast<size_t>(position)];
  return it.flags & MF_POPUP ? reinterpret_cast<HMENU>(it.id) : nullptr;
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags) {
  WindowLock lock = lock_windows();
  MenuItem* it = find_item(menu, item, flags);
  return it ? it->text : std::string();
}

bool SetMenu(HWND hwnd, HMENU menu) {
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w || (w->style & WS_CHILD)) return false;
    w->menu = menu;
  }
  RECT r = GetWindowRect(hwnd);
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(hwnd);
  return true;
}

HMENU GetMenu(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->menu : nullptr;
}

void DrawMenuBar(HWND hwnd) { RedrawWindow(hwnd); }

std::vector<MenuItem> items_of(HMENU menu) {
  WindowLock lock = lock_windows();
  Menu* m = find_menu(menu);
  return m ? m->items : std::vector<MenuItem>();
}

// Left and right edges of each item of a menu bar.
std::vector<std::pair<int, int>> bar_layout(HDC dc, const std::vector<MenuItem>& items, int left) {
  std::vector<std::pair<int, int>> spans;
  int x = left + scaled(4);
  for (const MenuItem& it : items) {
    int w = item_width(dc, label(it.text, nullptr)) + scaled(16);
    spans.emplace_back(x, x + w);
    x += w;
  }
  return spans;
}

void draw_menu_bar(HDC dc, HMENU menu, const RECT& bar, int highlighted) {
  FillRect(dc, bar, GetSysColorBrush(COLOR_MENU));
  FillRect(dc, {bar.left, bar.bottom - 1, bar.right, bar.bottom}, GetSysColorBrush(COLOR_INACTIVEBORDER));
  std::vector<MenuItem> items = items_of(menu);
  auto spans = bar_layout(dc, items, bar.left);
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < items.size(); ++i) {
    RECT r{spans[i].first, bar.top + 1, spans[i].second, bar.bottom - 2};
    if (static_cast<int>(i) == highlighted) {
      FillRect(dc, r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, GetSysColor(items[i].flags & MF_GRAYED ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    }
    std::string text = label(items[i].text, nullptr);
    DrawText(dc, text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

}  // namespace vrt::platform
