// What a list shows, for scripts and tests that look at a window: the
// visible rows, top to bottom, each cell's text as drawn (leading and
// trailing blanks removed), and whether the VCR buttons are on. Safe to call
// from any thread: the list answers on its own.
#pragma once
#include <string>
#include <vector>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

struct ListRowShown {
  bool selected;
  std::vector<std::string> cells;  // cells as drawn, leading/trailing blanks removed
};

std::vector<ListRowShown> list_rows_shown(platform::HWND list);  // the visible rows, top to bottom
bool list_vcr(platform::HWND list);
// Where a user grabs the list's scroll thumb and where he drops it to leave
// it at `percent` (0 to 100) of its track, in the list's client pixels;
// false when the list shows no bar.
bool list_thumb_drag(platform::HWND list, int percent, platform::POINT* grab, platform::POINT* drop);

}  // namespace vrt::window
