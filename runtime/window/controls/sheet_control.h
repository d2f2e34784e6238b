// The sheet (ZorSheet) and its tabs (ZorTab): the sheet draws a row of tab
// headers from its tab windows' titles and shows the page of the selected
// tab; each tab is a page window holding that tab's controls.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

inline constexpr int kTabHeaderHeight = 20;

// The codes (WM_COMMAND's high word) a sheet sends its parent when the user
// chooses another tab: before the page changes, and after.
enum : platform::UINT { kTabChanging = 0x0700, kTabChanged = 0x0701 };

void register_sheet_classes();
// Shows the page of the tab at `index` (0-based) and hides the others.
void select_tab(platform::HWND sheet, int index);
int selected_tab(platform::HWND sheet);
// A tab's header, in its sheet's client coordinates (empty when hwnd is no tab).
platform::RECT tab_header(platform::HWND tab);

}  // namespace vrt::window
