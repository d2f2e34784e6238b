// Drawing a list: its headers, rows cell by cell through the column
// pictures, lines, scroll bars, VCR buttons and the tracking line of a
// column being resized.
#pragma once
#include <string>
#include <string_view>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/window/controls/list_state.h"

namespace vrt::window {

void paint_list(platform::HWND list, ListState& s);
// The text of an entry's cell: the field through the column's picture,
// without leading and trailing blanks.
std::string cell_text(const ListState& s, size_t entry, size_t column);
// Where a cell's text starts: placed in `cell` by the justification and
// the offset (dialog units); for D the decimal point (or the text's end,
// without one) sits `offset` units left of the cell's right edge. Widths
// come from `widths` when given.
int cell_text_left(platform::HDC dc, Justify justify, int offset, const DialogUnits& units,
                   const platform::RECT& cell, std::string_view text, TextWidths* widths = nullptr);

}  // namespace vrt::window
