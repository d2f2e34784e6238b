// The program's side of a list (the browse procedures use it): bind the
// queue whose entries are the rows, and set and read the selected row, the
// scroll thumb and the VCR switch. `field` is the list's field number; a
// window without such a list answers 0 (or false) and changes nothing.
#pragma once
#include <cstdint>

#include "runtime/window/controls/list_queue.h"
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// The list shows the queue's entries from now on, and again each time the
// window's variables are displayed (Display). Null: no rows. The queue must
// outlive the window's controls.
bool BindQueue(WindowObject& window, int32_t field, const ListQueue* queue);
// The selected row: a queue position (1-based), 0 for none.
bool SetListSelection(WindowObject& window, int32_t field, int32_t position);
int32_t ListSelection(WindowObject& window, int32_t field);
// Whether the last new selection came from the right mouse button (the
// procedure shows its popup menu then).
bool ListRightClicked(WindowObject& window, int32_t field);
// The key of the list's last EVENT:AlertKey, which a list that reports its
// scrolling raises for Insert, Delete, Ctrl+Enter and typed characters: the
// virtual key (with kListCtrl for Ctrl), or a character's code with
// kListCharacterKey.
inline constexpr int32_t kListCtrl = 0x200;
inline constexpr int32_t kListCharacterKey = 0x10000;
int32_t ListAlertKey(WindowObject& window, int32_t field);
// How many rows the list has room for: a page of the program's queue.
int32_t ListRowsVisible(WindowObject& window, int32_t field);
// The thumb within its range (0 to 100 until the program sets another).
bool SetListThumbRange(WindowObject& window, int32_t field, int32_t low, int32_t high);
bool SetListThumb(WindowObject& window, int32_t field, int32_t position);
int32_t ListThumb(WindowObject& window, int32_t field);
// The record-navigation (VCR) buttons.
bool SetListVcr(WindowObject& window, int32_t field, bool on);
bool ListVcr(WindowObject& window, int32_t field);

}  // namespace vrt::window
