#include "runtime/window/controls/list_paint.h"

#include <algorithm>

#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

std::string trimmed(std::string_view s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// Texts placed in their cells, all clipped to the column: one clip a
// column, not one a cell, keeps a repaint cheap.
struct CellText {
  RECT cell;
  std::string text;
  COLORREF colour;
};
void draw_column(HDC dc, const ColumnSpan& c, const RECT& area, Justify j, int offset, const DialogUnits& units,
                 const std::vector<CellText>& cells, int text_height, TextWidths& widths) {
  int save = SaveDC(dc);
  IntersectClipRect(dc, std::max(c.left, area.left), area.top, std::min(c.left + c.width, area.right), area.bottom);
  for (const CellText& t : cells) {
    if (t.text.empty()) continue;
    SetTextColor(dc, t.colour);
    TextOut(dc, cell_text_left(dc, j, offset, units, t.cell, t.text, &widths),
            t.cell.top + (t.cell.height() - text_height) / 2, t.text);
  }
  RestoreDC(dc, save);
}

void vertical_line(HDC dc, int x, int top, int bottom) {
  FillRect(dc, {x, top, x + 1, bottom}, GetSysColorBrush(COLOR_BTNSHADOW));
}

void draw_header(HDC dc, ListState& s, const ListGeometry& g, int text_height) {
  if (g.header.height() <= 0) return;
  FillRect(dc, g.header, GetSysColorBrush(COLOR_BTNFACE));
  FillRect(dc, {g.header.left, g.header.bottom - 1, g.header.right, g.header.bottom},
           GetSysColorBrush(COLOR_BTNSHADOW));
  for (const ColumnSpan& span : columns_shown(s, g)) {
    const ListColumn& c = s.columns[span.k];
    RECT cell{span.left, g.header.top, span.left + span.width, g.header.bottom - 1};
    draw_column(dc, span, g.header, c.header_justify, c.header_offset, s.units,
                {{cell, c.header, GetSysColor(COLOR_BTNTEXT)}}, text_height, s.widths);
    vertical_line(dc, std::min(cell.right, g.header.right) - 1, g.header.top, g.header.bottom);
  }
}

// Rows from entry `top` on.
void draw_rows(HDC dc, ListState& s, const ListGeometry& g, int text_height, int top,
               const std::vector<ColumnSpan>& columns) {
  int entries = static_cast<int>(s.queue->size());
  int shown = std::max(0, std::min(entries - top, g.visible_rows + 1));
  auto row_rect = [&](int i) {
    return RECT{g.rows.left, g.rows.top + i * g.row_height, g.rows.right,
                std::min(g.rows.bottom, g.rows.top + (i + 1) * g.row_height)};
  };
  if (s.selected >= top && s.selected < top + shown)
    FillRect(dc, row_rect(s.selected - top), GetSysColorBrush(COLOR_HIGHLIGHT));
  COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), lit_ink = GetSysColor(COLOR_HIGHLIGHTTEXT);
  std::vector<CellText> cells(static_cast<size_t>(shown));
  for (const ColumnSpan& c : columns) {
    for (int i = 0; i < shown; ++i) {
      RECT row = row_rect(i);
      cells[static_cast<size_t>(i)] = {{c.left, row.top, c.left + c.width, row.top + g.row_height},
                                       cell_text(s, static_cast<size_t>(top + i), c.k),
                                       top + i == s.selected ? lit_ink : ink};
    }
    const ListColumn& column = s.columns[c.k];
    draw_column(dc, c, g.rows, column.justify, column.offset, s.units, cells, text_height, s.widths);
  }
  int save = SaveDC(dc);
  IntersectClipRect(dc, g.rows.left, g.rows.top, g.rows.right, g.rows.bottom);
  // Lines run the full height, rows or not.
  for (const ColumnSpan& c : columns)
    if (s.columns[c.k].line) vertical_line(dc, c.left + c.width - 1, g.rows.top, g.rows.bottom);
  RestoreDC(dc, save);
}

// Flat glyphs on the face colour, as the toolbar's icons stand.
void draw_vcr(HDC dc, const ListGeometry& g) {
  if (g.vcr.height() <= 0) return;
  FillRect(dc, g.vcr, GetSysColorBrush(COLOR_BTNFACE));
  FillRect(dc, {g.vcr.left, g.vcr.top, g.vcr.right, g.vcr.top + 1}, GetSysColorBrush(COLOR_INACTIVEBORDER));
  HBRUSH ink = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ ob = SelectObject(dc, ink);
  HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
  // Per button: triangles pointing left (-1) or right (1), and a bar before or after them.
  struct Glyph {
    int direction, triangles;
    bool bar;
  };
  constexpr Glyph kGlyphs[kVcrButtons] = {{-1, 1, true}, {-1, 2, false}, {-1, 1, false},
                                          {1, 1, false},  {1, 2, false},  {1, 1, true}};
  for (int i = 0; i < kVcrButtons; ++i) {
    RECT b = vcr_button(g, i);
    const Glyph& glyph = kGlyphs[i];
    int half = std::max(2, b.height() / 4), cy = b.top + b.height() / 2;
    int bar = glyph.bar ? std::max(2, half / 2) : 0;
    int width = glyph.triangles * half + bar + (glyph.bar ? 1 : 0);
    int x = b.left + (b.width() - width) / 2;
    if (glyph.bar && glyph.direction < 0) FillRect(dc, {x, cy - half, x + bar, cy + half + 1}, ink), x += bar + 1;
    for (int t = 0; t < glyph.triangles; ++t, x += half) {
      POINT p[3];
      if (glyph.direction > 0) p[0] = {x, cy - half}, p[1] = {x, cy + half}, p[2] = {x + half, cy};
      else p[0] = {x + half, cy - half}, p[1] = {x + half, cy + half}, p[2] = {x, cy};
      Polygon(dc, p, 3);
    }
    if (glyph.bar && glyph.direction > 0) FillRect(dc, {x + 1, cy - half, x + 1 + bar, cy + half + 1}, ink);
  }
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(ink);
}

void draw_bars(HDC dc, HWND list, const ListState& s, const ListGeometry& g) {
  bool enabled = IsWindowEnabled(list);
  if (g.vbar.height() > 0) {
    ListBar b = vertical_bar(s, g);
    draw_scroll_bar(dc, g.vbar, true, b.min, b.max, b.page, b.pos, enabled);
  }
  if (g.hbar.width() > 0)
    draw_scroll_bar(dc, g.hbar, false, 0, std::max(0, g.columns_width - 1), g.rows.width(), s.left, enabled);
}

}  // namespace

std::string cell_text(const ListState& s, size_t entry, size_t column) {
  const ListQueue::Entry& fields = s.queue->get(entry + 1);
  if (column >= fields.size() || column >= s.pictures.size()) return {};
  return trimmed(core::Format(s.pictures[column], fields[column]));
}

int cell_text_left(HDC dc, Justify justify, int offset, const DialogUnits& units, const RECT& cell,
                   std::string_view text, TextWidths* widths) {
  int indent = units.x(offset);
  auto width = [&](std::string_view t) { return widths ? widths->of(dc, t) : GetTextExtentPoint32(dc, t).cx; };
  switch (justify) {
    case Justify::Left: return cell.left + indent;
    case Justify::Right: return cell.right - indent - width(text);
    case Justify::Centre: return cell.left + (cell.width() - width(text)) / 2 + indent;
    case Justify::Decimal: {
      size_t point = text.find('.');
      return cell.right - indent - width(text.substr(0, point));
    }
  }
  return cell.left;
}

void paint_list(HWND list, ListState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(list, &ps);
  RECT client = GetClientRect(list);
  ListGeometry g = list_geometry(list, s);
  FillRect(dc, client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, client, GetSysColorBrush(s.focused ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
  HGDIOBJ old_font = nullptr;
  if (auto font = reinterpret_cast<HGDIOBJ>(SendMessage(list, WM_GETFONT, 0, 0))) old_font = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  int text_height = GetTextMetrics(dc).tmHeight;
  if (s.drop) {
    // The chosen row in the box, the arrow at its right.
    int arrow = client.bottom;
    ListGeometry box = g;
    box.rows.right = client.right - arrow;
    box.visible_rows = 1;
    box.rows.top = (client.bottom - g.row_height) / 2;
    box.rows.bottom = box.rows.top + g.row_height;
    if (s.selected >= 0) draw_rows(dc, s, box, text_height, s.selected, columns_shown(s, box));
    int cx = client.right - arrow / 2, cy = client.bottom / 2;
    POINT tri[] = {{cx - scaled(4), cy - scaled(2)}, {cx + scaled(4), cy - scaled(2)}, {cx, cy + scaled(3)}};
    HBRUSH ink = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ ob = SelectObject(dc, ink);
    HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, tri, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(ink);
  } else {
    draw_header(dc, s, g, text_height);
    draw_rows(dc, s, g, text_height, s.top, columns_shown(s, g));
    draw_bars(dc, list, s, g);
    draw_vcr(dc, g);
    if (s.drag == ListDrag::Border)
      FillRect(dc, {s.drag_x, g.header.height() > 0 ? g.header.top : g.rows.top, s.drag_x + 1, g.rows.bottom},
               GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  if (old_font) SelectObject(dc, old_font);
  EndPaint(list, &ps);
}

}  // namespace vrt::window
