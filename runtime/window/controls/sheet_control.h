// The sheet (ZorSheet) and its tabs (ZorTab): the sheet draws a row of tab
// headers from its tab windows' titles and shows the page of the selected
// tab; each tab is a page window holding that tab's controls.
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

inline constexpr int kTabHeaderHeight = 20;

void register_sheet_classes();
// Shows the page of the tab at `index` (0-based) and hides the others.
void select_tab(platform::HWND sheet, int index);
int selected_tab(platform::HWND sheet);

}  // namespace vrt::window
