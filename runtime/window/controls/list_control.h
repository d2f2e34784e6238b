// List boxes (ZorList) and drop-down lists (ZorDrop, a list whose record has
// a drop count). The record's format text gives the columns; the rows are
// the entries of a queue the program binds (list_program.h), or rows of
// text put in with LB_ADDSTRING. A click or the arrow keys choose a row (the
// window hears LBN_SELCHANGE), a double click or Enter accept it
// (LBN_DBLCLK). A list whose record has flag 0x800 does not scroll by
// itself: the arrow keys move the highlight within the rows shown, and at
// their edge, like the other keys, its scroll bar and its VCR buttons, tell
// the window what the user asked for (kListScrollUp ...); the procedure
// refills the queue and places the thumb. Dragging the border of an "M"
// column resizes it (kListColumnResized). A drop-down list shows its chosen
// row and opens its rows as a popup (a click, Alt+Down, F4); its keys
// choose, whatever its flags.
#pragma once
#include <memory>

#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"

namespace vrt::window {

enum : platform::UINT {
  LB_ADDSTRING = 0x0180, LB_RESETCONTENT = 0x0184, LB_SETCURSEL = 0x0186, LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B,
};
// The list's own messages (list_program.h wraps them for the program).
enum : platform::UINT {
  kListSetFormat = 0x0450,  // lp: the format text; wp: the record's flag word
  kListBindQueue,           // lp: const ListQueue*, null for the list's own rows
  kListRefresh,             // repaints when the queue changed since last shown
  kListSetThumb,            // wp: the position, clamped to the range
  kListGetThumb,
  kListSetThumbRange,       // wp: the lowest, lp: the highest position
  kListSetVcr,              // wp: on or off
  kListGetVcr,
  kListRowsShown,           // lp: std::vector<ListRowShown>* to fill
  kListGetTop,              // the first entry shown, 0-based
  kListThumbDrag,           // wp: a percentage; lp: POINT[2], where to grab the thumb and drop it
  kListGetVisibleRows,      // how many rows fit
  kListGetRightClicked,     // whether the last new selection came from the right button
  kListGetAlertKey,         // the key of the last EVENT:AlertKey
};
// Notifications (WM_COMMAND's high word).
enum : platform::UINT { LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SETFOCUS = 4 };
// What a list that reports its scrolling asks of its procedure, and a
// column resized with the mouse.
enum : platform::UINT {
  kListScrollUp = 0x0800, kListScrollDown, kListPageUp, kListPageDown, kListScrollTop, kListScrollBottom,
  kListScrollTrack, kListScrollDrag, kListColumnResized, kListAlertKey,
};

void register_list_classes();
std::unique_ptr<Control> make_list(const ResourceBuffer& buffer, uint32_t record);

}  // namespace vrt::window
