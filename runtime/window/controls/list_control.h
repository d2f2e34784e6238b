// List boxes (ZorList) and drop-down lists (ZorDrop, a list whose record has
// a drop count): rows of text, one selected. The program fills the rows;
// a click or the arrow keys choose a row (the window hears LBN_SELCHANGE),
// a double click or Enter accept it (LBN_DBLCLK). A drop-down list shows
// its chosen row and opens its rows as a popup (a click, Alt+Down, F4).
// The list box of formats, columns and queues is this class's to grow.
#pragma once
#include <memory>

#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"

namespace vrt::window {

enum : platform::UINT {
  LB_ADDSTRING = 0x0180, LB_RESETCONTENT = 0x0184, LB_SETCURSEL = 0x0186, LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B,
};
// Notifications (WM_COMMAND's high word).
enum : platform::UINT { LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SETFOCUS = 4 };

void register_list_classes();
std::unique_ptr<Control> make_list(const ResourceBuffer& buffer, uint32_t record);

}  // namespace vrt::window
