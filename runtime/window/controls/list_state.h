// What a list window keeps between messages: its columns, the queue it
// shows, the selection, the thumb the program or the user placed, the VCR
// switch and a drag in progress. The geometry below turns it into pixels.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/core/pictures/picture.h"
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"
#include "runtime/window/controls/list_format.h"
#include "runtime/window/controls/list_queue.h"

namespace vrt::window {

// Widths of texts in the list's font, kept from one repaint to the next:
// most repaints show the rows the last one showed. Forgotten when the font
// changes, and when there are too many to keep.
class TextWidths {
 public:
  int of(platform::HDC dc, std::string_view text);
  void clear() { widths_.clear(); }

 private:
  std::unordered_map<std::string, int> widths_;
};

enum class ListDrag { None, Thumb, HorizontalThumb, Border };

struct ListState {
  ListQueue own;  // rows put in with LB_ADDSTRING, when the program binds no queue
  const ListQueue* queue = &own;
  uint64_t shown_changes = 0;
  std::vector<ListColumn> columns;  // no format: one column as wide as the list
  std::vector<core::CompiledPicture> pictures;  // one per column
  DialogUnits units;
  bool reports_scrolling = false;  // flag 0x800: scrolling is the procedure's
  bool drop = false;
  bool focused = false;
  int selected = -1;  // 0-based entry, -1 none
  int top = 0;        // the first entry shown
  int left = 0;       // pixels the columns are scrolled to the left
  int thumb = 0, thumb_min = 0, thumb_max = 100;
  bool vcr = false;
  bool right_clicked = false;  // the last new selection came from the right button
  int32_t alert_key = 0;       // the key that raised the last alert
  ListDrag drag = ListDrag::None;
  int drag_column = -1;
  int drag_x = 0;     // the tracking line, in client pixels
  int drag_grab = 0;  // where the thumb was grabbed, from its top
  TextWidths widths;
};

ListState* list_state(platform::HWND list);

// The parts of the client area, in client pixels.
struct ListGeometry {
  platform::RECT header{};   // empty without headers
  platform::RECT rows{};
  platform::RECT vbar{};     // empty without a vertical bar
  platform::RECT hbar{};     // empty when the columns fit
  platform::RECT vcr{};      // empty with the switch off
  int row_height = 0;
  int visible_rows = 1;
  int columns_width = 0;
};

int list_row_height();
ListGeometry list_geometry(platform::HWND list, const ListState& s);
// Column k's left edge and width in client pixels, after the horizontal scroll.
int column_left(const ListState& s, const ListGeometry& g, size_t k);
int column_width(const ListState& s, size_t k);
// The columns that show between the rows' left and right edges.
struct ColumnSpan {
  size_t k;
  int left, width;
};
std::vector<ColumnSpan> columns_shown(const ListState& s, const ListGeometry& g);
// The column whose right border (give or take a few pixels) is at x among
// those that can be resized, or -1.
int resizable_border_at(const ListState& s, const ListGeometry& g, int x);
// The length of a scroll bar's arrow buttons, as the platform draws them.
int bar_arrow(const platform::RECT& bar, bool vertical);
// The vertical bar's range and thumb: the program's thumb on a list that
// reports its scrolling, else the entries with the rows shown as its page.
struct ListBar {
  int32_t min, max, page, pos;
};
ListBar vertical_bar(const ListState& s, const ListGeometry& g);
// The thumb's top and length in client pixels, and the bar position whose
// thumb top would be at `thumb_top`.
void thumb_extent(const ListState& s, const ListGeometry& g, int* top, int* length);
int32_t bar_position_at(const ListState& s, const ListGeometry& g, int thumb_top);
// The VCR buttons: first, previous page, previous, next, next page, last.
inline constexpr int kVcrButtons = 6;
platform::RECT vcr_button(const ListGeometry& g, int index);

}  // namespace vrt::window
