#include "runtime/window/popup_menu.h"

#include <algorithm>

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/window/loop/modal_state.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// Deeper submenus are read as plain items, so a damaged text cannot run the
// parser's recursion away.
constexpr int kMaxPopupDepth = 16;

class PopupParser {
 public:
  explicit PopupParser(std::string_view s) : s_(s) {
    if (!s_.empty() && s_[0] == '|') pos_ = 1;
  }

  // Every item; a "}" without its "{" is skipped.
  std::vector<PopupItem> all() {
    std::vector<PopupItem> out = list();
    while (pos_ < s_.size()) {
      ++pos_;
      if (pos_ < s_.size() && s_[pos_] == '|') ++pos_;
      for (PopupItem& it : list()) out.push_back(std::move(it));
    }
    return out;
  }

  // Items up to the end, or to the "}" that closes the submenu (left for
  // the caller).
  std::vector<PopupItem> list() {
    std::vector<PopupItem> out;
    while (pos_ < s_.size()) {
      if (s_[pos_] == '}') break;
      out.push_back(item());
      if (pos_ < s_.size() && s_[pos_] == '|') ++pos_;
    }
    return out;
  }

 private:
  PopupItem item() {
    PopupItem it;
    size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != '|' && s_[pos_] != '{' && s_[pos_] != '}') ++pos_;
    std::string_view raw = s_.substr(start, pos_ - start);
    if (pos_ < s_.size() && s_[pos_] == '{') {
      ++pos_;
      if (depth_ < kMaxPopupDepth) {
        ++depth_;
        it.is_submenu = true;
        it.submenu = list();
        --depth_;
        if (pos_ < s_.size() && s_[pos_] == '}') ++pos_;  // an unclosed one ends with the text
      }
    }
    if (raw == "-" && !it.is_submenu) {
      it.separator = true;
      return it;
    }
    if (!raw.empty() && raw[0] == '~') it.greyed = true, raw.remove_prefix(1);
    if (!raw.empty() && raw[0] == '+') it.checked = it.check_item = true, raw.remove_prefix(1);
    else if (!raw.empty() && raw[0] == '-') it.check_item = true, raw.remove_prefix(1);
    if (!raw.empty() && raw[0] == '[') {
      size_t close = raw.find(']');
      if (close != std::string_view::npos) {
        it.image = std::string(raw.substr(1, close - 1));
        raw.remove_prefix(close + 1);
      }
    }
    it.text = std::string(raw);
    return it;
  }

  std::string_view s_;
  size_t pos_ = 0;
  int depth_ = 0;
};

void number(std::vector<PopupItem>& items, int& next) {
  for (PopupItem& it : items) {
    if (it.is_submenu) number(it.submenu, next);
    else if (!it.separator) it.number = next++;
  }
}

HMENU build(const std::vector<PopupItem>& items, int per_column) {
  HMENU menu = CreatePopupMenu();
  int in_column = 0;
  for (const PopupItem& it : items) {
    UINT flags = (it.greyed ? UINT{MF_GRAYED} : 0u) | (it.checked ? UINT{MF_CHECKED} : 0u);
    if (in_column++ == per_column) flags |= MF_MENUBARBREAK, in_column = 1;
    if (it.separator) AppendMenu(menu, MF_SEPARATOR, 0);
    else if (it.is_submenu) AppendMenu(menu, MF_POPUP | flags, reinterpret_cast<uintptr_t>(build(it.submenu, per_column)), it.text);
    else AppendMenu(menu, MF_STRING | flags, static_cast<uintptr_t>(it.number), it.text);
  }
  return menu;
}

}  // namespace

std::vector<PopupItem> parse_popup(std::string_view text) {
  PopupParser parser(text);
  std::vector<PopupItem> items = parser.all();
  int next = 1;
  number(items, next);
  return items;
}

int popup_column_length() { return std::max(1, GetSystemMetrics(SM_CYSCREEN) / menu_item_height()); }

HMENU make_popup_menu(std::string_view text) { return build(parse_popup(text), popup_column_length()); }

int Popup(std::string_view text, HWND owner, POINT at) {
  if (answering_sent_event()) {
    core::fatal_runtime_error(541);
    return 0;
  }
  HMENU menu = make_popup_menu(text);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, owner, kZorPopup);
  DestroyMenu(menu);
  return static_cast<int>(chosen);
}

}  // namespace vrt::window
