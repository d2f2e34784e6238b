#include <algorithm>

#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/list_state.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

constexpr int kMaxColumnsWidth = 1 << 28;

int vcr_height() { return scaled(20); }
int border_grip() { return scaled(3); }

bool has_headers(const ListState& s) {
  return std::any_of(s.columns.begin(), s.columns.end(), [](const ListColumn& c) { return !c.header.empty(); });
}

}  // namespace

int TextWidths::of(HDC dc, std::string_view text) {
  constexpr size_t kMostKept = 4096;
  auto found = widths_.find(std::string(text));
  if (found != widths_.end()) return found->second;
  if (widths_.size() >= kMostKept) widths_.clear();
  int width = GetTextExtentPoint32(dc, text).cx;
  widths_.emplace(text, width);
  return width;
}

int bar_arrow(const RECT& bar, bool vertical) {
  return vertical ? std::min(bar.width(), bar.height() / 2) : std::min(bar.height(), bar.width() / 2);
}

int list_row_height() { return scaled(16); }

int column_width(const ListState& s, size_t k) { return std::max(0, s.units.x(s.columns[k].width)); }

ListGeometry list_geometry(HWND list, const ListState& s) {
  ListGeometry g;
  RECT inner = GetClientRect(list);
  inner = {inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
  g.row_height = list_row_height();
  // However many columns a hostile format gives, the sum stays an int.
  for (size_t k = 0; k < s.columns.size() && g.columns_width < kMaxColumnsWidth; ++k)
    g.columns_width = std::min(kMaxColumnsWidth, g.columns_width + column_width(s, k));
  if (s.drop) {
    g.rows = inner;
    return g;
  }
  if (s.vcr) {
    g.vcr = {inner.left, inner.bottom - vcr_height(), inner.right, inner.bottom};
    inner.bottom = g.vcr.top;
  }
  if (has_headers(s)) {
    g.header = {inner.left, inner.top, inner.right, inner.top + g.row_height};
    inner.top = g.header.bottom;
  }
  int bar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  bool vertical = s.reports_scrolling;
  bool horizontal = g.columns_width > inner.width() - (vertical ? bar : 0);
  int rows_height = inner.height() - (horizontal ? hbar : 0);
  if (!vertical && static_cast<int>(s.queue->size()) * g.row_height > rows_height) {
    vertical = true;
    horizontal = g.columns_width > inner.width() - bar;
  }
  if (vertical) {
    g.vbar = {inner.right - bar, g.header.bottom > 0 ? g.header.top : inner.top, inner.right, inner.bottom};
    inner.right = g.vbar.left;
    g.header.right = inner.right;
  }
  if (horizontal) {
    g.hbar = {inner.left, inner.bottom - hbar, inner.right, inner.bottom};
    inner.bottom = g.hbar.top;
    if (vertical) g.vbar.bottom = g.hbar.top;
  }
  g.rows = inner;
  g.visible_rows = std::max(1, inner.height() / g.row_height);
  return g;
}

int column_left(const ListState& s, const ListGeometry& g, size_t k) {
  int x = g.rows.left - s.left;
  for (size_t i = 0; i < k && x < g.rows.right; ++i) x += column_width(s, i);
  return x;
}

std::vector<ColumnSpan> columns_shown(const ListState& s, const ListGeometry& g) {
  std::vector<ColumnSpan> shown;
  int x = g.rows.left - s.left;
  for (size_t k = 0; k < s.columns.size() && x < g.rows.right; ++k) {
    int width = column_width(s, k);
    if (x + width > g.rows.left) shown.push_back({k, x, width});
    x += width;
  }
  return shown;
}

int resizable_border_at(const ListState& s, const ListGeometry& g, int x) {
  for (const ColumnSpan& c : columns_shown(s, g))
    if (s.columns[c.k].resizable && std::abs(x - (c.left + c.width)) <= border_grip()) return static_cast<int>(c.k);
  return -1;
}

ListBar vertical_bar(const ListState& s, const ListGeometry& g) {
  if (s.reports_scrolling) return {s.thumb_min, s.thumb_max, 0, s.thumb};
  return {0, std::max(0, static_cast<int32_t>(s.queue->size()) - 1), g.visible_rows, s.top};
}

void thumb_extent(const ListState& s, const ListGeometry& g, int* top, int* length) {
  ListBar b = vertical_bar(s, g);
  int arrow = bar_arrow(g.vbar, true);
  scroll_thumb(g.vbar.height() - 2 * arrow, b.min, b.max, b.page, b.pos, top, length);
  *top += g.vbar.top + arrow;
}

int32_t bar_position_at(const ListState& s, const ListGeometry& g, int thumb_top) {
  ListBar b = vertical_bar(s, g);
  int top, length;
  thumb_extent(s, g, &top, &length);
  int free = std::max(1, g.vbar.height() - 2 * bar_arrow(g.vbar, true) - length);
  int along = std::clamp(thumb_top - g.vbar.top - bar_arrow(g.vbar, true), 0, free);
  int32_t range = std::max(1, b.max - b.min + 1);
  int32_t span = std::max(1, range - std::max<int32_t>(b.page > 0 ? std::min(b.page, range) : 1, 1));
  return b.min + static_cast<int32_t>((int64_t{span} * along + free / 2) / free);
}

RECT vcr_button(const ListGeometry& g, int index) {
  int size = g.vcr.height() - scaled(2);
  int left = g.vcr.left + scaled(2) + index * (size + scaled(1));
  return {left, g.vcr.top + scaled(1), left + size, g.vcr.top + scaled(1) + size};
}

}  // namespace vrt::window
