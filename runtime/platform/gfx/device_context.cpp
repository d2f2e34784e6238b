#include "runtime/platform/gfx/device_context.h"

#include <cmath>
#include <atomic>
#include <utility>
#include <vector>
#include <algorithm>

#include "runtime/platform/gfx/font_render.h"

namespace vrt::platform {

DeviceContext::DeviceContext() {
  state_.font = GetStockObject(DEFAULT_GUI_FONT);
  state_.pen = GetStockObject(BLACK_PEN);
  state_.brush = GetStockObject(WHITE_BRUSH);
}

int DeviceContext::GetDeviceCaps(int cap) const {
  switch (cap) {
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi();
    default: return 0;
  }
}

HGDIOBJ DeviceContext::SelectObject(HGDIOBJ object) {
  if (!object) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (object->kind()) {
    case GdiObject::Kind::Font: slot = &state_.font; break;
    case GdiObject::Kind::Pen: slot = &state_.pen; break;
    case GdiObject::Kind::Brush: slot = &state_.brush; break;
    case GdiObject::Kind::Bitmap: return nullptr;
  }
  HGDIOBJ old = *slot;
  *slot = object;
  return old;
}

COLORREF DeviceContext::SetTextColor(COLORREF c) { return std::exchange(state_.text_color, c); }
COLORREF DeviceContext::SetBkColor(COLORREF c) { return std::exchange(state_.bk_color, c); }
int DeviceContext::SetBkMode(int mode) { return std::exchange(state_.bk_mode, mode); }
uint32_t DeviceContext::SetTextAlign(uint32_t align) { return std::exchange(state_.text_align, align); }

// The fixed modes set their extents from the device's resolution; the y
// axis of every fixed mode but MM_TEXT points up.
int DeviceContext::SetMapMode(int mode) {
  int old = state_.map_mode;
  state_.map_mode = mode;
  int d = dpi();
  switch (mode) {
    case MM_TEXT: state_.window_ext = {1, 1}, state_.viewport_ext = {1, 1}; break;
    case MM_LOENGLISH: state_.window_ext = {100, 100}, state_.viewport_ext = {d, -d}; break;
    case MM_HIENGLISH: state_.window_ext = {1000, 1000}, state_.viewport_ext = {d, -d}; break;
    case MM_LOMETRIC: state_.window_ext = {254, 254}, state_.viewport_ext = {d, -d}; break;
    case MM_HIMETRIC: state_.window_ext = {2540, 2540}, state_.viewport_ext = {d, -d}; break;
    case MM_TWIPS: state_.window_ext = {1440, 1440}, state_.viewport_ext = {d, -d}; break;
    default: break;  // ISOTROPIC and ANISOTROPIC keep the extents they are given
  }
  return old;
}

void DeviceContext::SetWindowOrgEx(int x, int y) { state_.window_org = {x, y}; }
void DeviceContext::SetViewportOrgEx(int x, int y) { state_.viewport_org = {x, y}; }

void DeviceContext::SetWindowExtEx(int cx, int cy) {
  if (state_.map_mode != MM_ISOTROPIC && state_.map_mode != MM_ANISOTROPIC) return;
  if (cx != 0 && cy != 0) state_.window_ext = {cx, cy};
}

void DeviceContext::SetViewportExtEx(int cx, int cy) {
  if (state_.map_mode != MM_ISOTROPIC && state_.map_mode != MM_ANISOTROPIC) return;
  if (cx == 0 || cy == 0) return;
  if (state_.map_mode == MM_ISOTROPIC) {
    // Both axes take the smaller scale, keeping their signs.
    double sx = double(cx) / state_.window_ext.cx, sy = double(cy) / state_.window_ext.cy;
    double s = std::min(std::fabs(sx), std::fabs(sy));
    cx = static_cast<int>(std::lround(std::copysign(s, sx) * state_.window_ext.cx));
    cy = static_cast<int>(std::lround(std::copysign(s, sy) * state_.window_ext.cy));
  }
  state_.viewport_ext = {cx, cy};
}

void DeviceContext::LetGoOf(HGDIOBJ object) {
  if (!object || object->stock()) return;
  HGDIOBJ stock = nullptr;
  switch (object->kind()) {
    case GdiObject::Kind::Font: stock = GetStockObject(DEFAULT_GUI_FONT); break;
    case GdiObject::Kind::Pen: stock = GetStockObject(BLACK_PEN); break;
    case GdiObject::Kind::Brush: stock = GetStockObject(WHITE_BRUSH); break;
    case GdiObject::Kind::Bitmap: return;
  }
  for (State& saved : saved_)
    for (HGDIOBJ* slot : {&saved.font, &saved.pen, &saved.brush})
      if (*slot == object) *slot = stock;
  // The current state goes through SelectObject so that a recording context
  // records the change.
  if (state_.font == object || state_.pen == object || state_.brush == object) SelectObject(stock);
}

int DeviceContext::SaveDC() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

bool DeviceContext::RestoreDC(int level) {
  if (level < 0) level = static_cast<int>(saved_.size()) + level + 1;
  if (level < 1 || level > static_cast<int>(saved_.size())) return false;
  state_ = saved_[static_cast<size_t>(level - 1)];
  saved_.resize(static_cast<size_t>(level - 1));
  return true;
}

void DeviceContext::IntersectClipRect(int left, int top, int right, int bottom) {
  RECT r = lp_to_dp(RECT{left, top, right, bottom});
  state_.clip = state_.has_clip ? intersect(state_.clip, r) : r;
  state_.has_clip = true;
}

void DeviceContext::MoveToEx(int x, int y) { state_.position = {x, y}; }

double DeviceContext::x_scale() const { return double(state_.viewport_ext.cx) / state_.window_ext.cx; }
double DeviceContext::y_scale() const { return double(state_.viewport_ext.cy) / state_.window_ext.cy; }

POINT DeviceContext::lp_to_dp(POINT p) const {
  return {static_cast<int32_t>(std::lround((p.x - state_.window_org.x) * x_scale() + state_.viewport_org.x)),
          static_cast<int32_t>(std::lround((p.y - state_.window_org.y) * y_scale() + state_.viewport_org.y))};
}

POINT DeviceContext::dp_to_lp(POINT p) const {
  return {static_cast<int32_t>(std::lround((p.x - state_.viewport_org.x) / x_scale() + state_.window_org.x)),
          static_cast<int32_t>(std::lround((p.y - state_.viewport_org.y) / y_scale() + state_.window_org.y))};
}

RECT DeviceContext::lp_to_dp(const RECT& r) const {
  POINT a = lp_to_dp(POINT{r.left, r.top}), b = lp_to_dp(POINT{r.right, r.bottom});
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SIZE DeviceContext::GetTextExtentPoint(std::string_view text) const {
  double ys = std::fabs(y_scale()), xs = std::fabs(x_scale());
  FontMetrics m = font_metrics(state_.font, ys, dpi());
  double w = text_width(state_.font, ys, dpi(), text);
  return {static_cast<int32_t>(std::lround(w / xs)), static_cast<int32_t>(std::lround((m.ascent + m.descent) / ys))};
}

TEXTMETRIC DeviceContext::GetTextMetrics() const {
  double ys = std::fabs(y_scale()), xs = std::fabs(x_scale());
  FontMetrics m = font_metrics(state_.font, ys, dpi());
  TEXTMETRIC tm{};
  tm.tmAscent = static_cast<int32_t>(std::lround(m.ascent / ys));
  tm.tmDescent = static_cast<int32_t>(std::lround(m.descent / ys));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - static_cast<int32_t>(std::lround(m.em / ys)));
  tm.tmAveCharWidth = static_cast<int32_t>(std::lround(m.average_width / xs));
  tm.tmMaxCharWidth = static_cast<int32_t>(std::lround(m.max_width / xs));
  tm.tmWeight = state_.font ? static_cast<const Font*>(state_.font)->log.lfWeight : FW_NORMAL;
  return tm;
}

void FrameRect(HDC dc, const RECT& r, HBRUSH brush) {
  dc->FillRect({r.left, r.top, r.right, r.top + 1}, brush);
  dc->FillRect({r.left, r.bottom - 1, r.right, r.bottom}, brush);
  dc->FillRect({r.left, r.top, r.left + 1, r.bottom}, brush);
  dc->FillRect({r.right - 1, r.top, r.right, r.bottom}, brush);
}

namespace {
std::atomic<bool> g_access_underlines{false};
}  // namespace

void show_access_underlines(bool show) { g_access_underlines = show; }
bool access_underlines_shown() { return g_access_underlines; }

namespace {

// Words of the text in lines that fit the width (a word wider than the
// width stands on a line of its own, clipped); "\n" breaks a line.
std::vector<std::string> wrapped_lines(HDC dc, std::string_view text, int width) {
  std::vector<std::string> lines(1);
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      lines.emplace_back();
      ++i;
      continue;
    }
    size_t end = text.find_first_of(" \n", i);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(i, end - i);
    std::string joined = lines.back().empty() ? std::string(word) : lines.back() + " " + std::string(word);
    if (!lines.back().empty() && dc->GetTextExtentPoint(joined).cx > width) lines.emplace_back(word);
    else if (!word.empty()) lines.back() = joined;
    i = end < text.size() && text[end] == ' ' ? end + 1 : end;
  }
  return lines;
}

}  // namespace

int DrawText(HDC dc, std::string_view text, RECT* rect, uint32_t format) {
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    std::vector<std::string> lines = wrapped_lines(dc, text, rect->right - rect->left);
    int line_h = dc->GetTextMetrics().tmHeight, height = 0, widest = 0;
    for (const std::string& line : lines) {
      RECT r{rect->left, rect->top + height, rect->right, rect->top + height + line_h};
      if (format & DT_CALCRECT) widest = std::max(widest, static_cast<int>(dc->GetTextExtentPoint(line).cx));
      else if (r.top < rect->bottom) DrawText(dc, line, &r, format & ~(DT_WORDBREAK | DT_VCENTER | DT_BOTTOM));
      height += line_h;
    }
    if (format & DT_CALCRECT) {
      rect->right = rect->left + widest;
      rect->bottom = rect->top + height;
    }
    return height;
  }
  std::string shown;
  bool prefix = !(format & DT_NOPREFIX);
  size_t underline = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (prefix && text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && g_access_underlines) underline = shown.size();
    }
    shown += text[i];
  }
  SIZE size = dc->GetTextExtentPoint(shown);
  int width = rect->right - rect->left;
  if ((format & DT_END_ELLIPSIS) && size.cx > width && width > 0) {
    while (!shown.empty() && dc->GetTextExtentPoint(shown + "...").cx > width) shown.pop_back();
    shown += "...";
    size = dc->GetTextExtentPoint(shown);
  }
  if (format & DT_CALCRECT) {
    rect->right = rect->left + size.cx;
    rect->bottom = rect->top + size.cy;
    return size.cy;
  }
  int x = rect->left, y = rect->top;
  if (format & DT_CENTER) x = rect->left + (width - size.cx) / 2;
  if (format & DT_RIGHT) x = rect->right - size.cx;
  if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - size.cy) / 2;
  if (format & DT_BOTTOM) y = rect->bottom - size.cy;
  uint32_t align = dc->SetTextAlign(TA_LEFT | TA_TOP);
  dc->ExtTextOut(x, y, ETO_CLIPPED, rect, shown);
  if (underline != std::string::npos && underline < shown.size()) {
    int ux = x + dc->GetTextExtentPoint(shown.substr(0, underline)).cx;
    int uw = dc->GetTextExtentPoint(shown.substr(underline, 1)).cx;
    TEXTMETRIC tm = dc->GetTextMetrics();
    HBRUSH line = CreateSolidBrush(dc->state().text_color);
    dc->FillRect({ux, y + tm.tmAscent + 1, ux + uw, y + tm.tmAscent + 2}, line);
    DeleteObject(line);
  }
  dc->SetTextAlign(align);
  return size.cy;
}

SIZE dialog_base_units(HDC dc, HFONT font) {
  HGDIOBJ old = dc->SelectObject(font);
  SIZE letters = dc->GetTextExtentPoint("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  TEXTMETRIC tm = dc->GetTextMetrics();
  dc->SelectObject(old);
  return {(letters.cx / 26 + 1) / 2, tm.tmHeight};
}

}  // namespace vrt::platform
