#include "runtime/platform/gfx/icons.h"

#include <strings.h>

#include <cstring>
#include <algorithm>
#include <functional>
#include <vector>

namespace vrt::platform {

namespace {

// Every icon is drawn on a 32 x 32 grid, scaled to the size asked for.
struct Pad {
  HDC dc;
  int x, y, size;
  int px(double v) const { return x + static_cast<int>(v * size / 32.0 + 0.5); }
  int py(double v) const { return y + static_cast<int>(v * size / 32.0 + 0.5); }

  void brush_pen(COLORREF fill, COLORREF line, int width = 1) {
    HBRUSH b = CreateSolidBrush(fill);
    HPEN p = CreatePen(PS_SOLID, std::max(1, width * size / 32), line);
    SelectObject(dc, b);
    old_brush.push_back(b);
    old_pen.push_back(p);
    SelectObject(dc, p);
  }
  void circle(double cx, double cy, double r, COLORREF fill, COLORREF line) {
    brush_pen(fill, line);
    Ellipse(dc, px(cx - r), py(cy - r), px(cx + r), py(cy + r));
  }
  void rect(double l, double t, double r, double b, COLORREF fill, COLORREF line) {
    brush_pen(fill, line);
    Rectangle(dc, px(l), py(t), px(r), py(b));
  }
  void poly(std::initializer_list<std::pair<double, double>> pts, COLORREF fill, COLORREF line) {
    brush_pen(fill, line);
    POINT p[16];
    int n = 0;
    for (auto [a, b] : pts)
      if (n < 16) p[n++] = {px(a), py(b)};
    Polygon(dc, p, n);
  }
  void line(double x0, double y0, double x1, double y1, COLORREF color, int width) {
    HPEN p = CreatePen(PS_SOLID, std::max(1, width * size / 32), color);
    old_pen.push_back(p);
    SelectObject(dc, p);
    MoveToEx(dc, px(x0), py(y0));
    LineTo(dc, px(x1), py(y1));
  }
  void glyph(const char* text, COLORREF color, double height) {
    LOGFONT lf;
    lf.lfHeight = -static_cast<int>(height * size / 32.0);
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT f = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT r{x, y, x + size, y + size};
    DrawText(dc, text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(f);
  }
  ~Pad() {
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    for (HGDIOBJ o : old_brush) DeleteObject(o);
    for (HGDIOBJ o : old_pen) DeleteObject(o);
  }
  // Objects made while drawing, deleted once they are no longer selected.
  std::vector<HGDIOBJ> old_brush, old_pen;
};

constexpr COLORREF kInk = RGB(0x33, 0x3A, 0x44);
constexpr COLORREF kBlue = RGB(0x2F, 0x6F, 0xD6);
constexpr COLORREF kRed = RGB(0xD6, 0x3A, 0x3A);
constexpr COLORREF kAmber = RGB(0xF2, 0xB1, 0x2E);
constexpr COLORREF kGreen = RGB(0x2E, 0x9E, 0x5B);
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

void document(Pad& p, double dx, double dy) {
  p.poly({{6 + dx, 3 + dy}, {20 + dx, 3 + dy}, {26 + dx, 9 + dy}, {26 + dx, 29 + dy}, {6 + dx, 29 + dy}}, kPaper, kInk);
  for (int i = 0; i < 4; ++i) p.line(10 + dx, 13 + dy + i * 4, 22 + dx, 13 + dy + i * 4, RGB(0xA7, 0xAE, 0xB8), 1);
}

// VCR arrows: a triangle pointing one way, with a bar for first and last.
void arrow(Pad& p, bool up_or_left, bool vertical, bool bar) {
  auto pt = [&](double along, double across) { return vertical ? std::pair{across, along} : std::pair{along, across}; };
  double tip = up_or_left ? 8 : 24, base = up_or_left ? 22 : 10;
  p.poly({pt(tip, 16), pt(base, 7), pt(base, 25)}, kBlue, kBlue);
  if (bar) {
    double b = up_or_left ? 6 : 26;
    if (vertical)
      p.rect(7, b - 1.5, 25, b + 1.5, kBlue, kBlue);
    else
      p.rect(b - 1.5, 7, b + 1.5, 25, kBlue, kBlue);
  }
}

struct Named {
  const char* name;
  std::function<void(Pad&)> draw;
};

const std::vector<Named>& icons() {
  static const std::vector<Named> all = {
      {"STOP", [](Pad& p) { p.circle(16, 16, 14, kRed, kRed); p.line(10, 10, 22, 22, kWhite, 3); p.line(22, 10, 10, 22, kWhite, 3); }},
      {"QUESTION", [](Pad& p) { p.circle(16, 16, 14, kBlue, kBlue); p.glyph("?", kWhite, 20); }},
      {"EXCLAMATION", [](Pad& p) { p.poly({{16, 2}, {30, 28}, {2, 28}}, kAmber, RGB(0xC8, 0x8A, 0x10)); p.glyph("!", kInk, 18); }},
      {"INFORMATION", [](Pad& p) { p.circle(16, 16, 14, kBlue, kBlue); p.glyph("i", kWhite, 20); }},
      {"APPLICATION", [](Pad& p) { document(p, 0, 0); }},
      {"COPY.ICO", [](Pad& p) { document(p, -3, -2); document(p, 3, 2); }},
      {"VCRFIRST.ICO", [](Pad& p) { arrow(p, true, false, true); }},
      {"VCRPRIOR.ICO", [](Pad& p) { arrow(p, true, false, false); }},
      {"VCRNEXT.ICO", [](Pad& p) { arrow(p, false, false, false); }},
      {"VCRLAST.ICO", [](Pad& p) { arrow(p, false, false, true); }},
      {"VCRUP.ICO", [](Pad& p) { arrow(p, true, true, false); }},
      {"VCRDOWN.ICO", [](Pad& p) { arrow(p, false, true, false); }},
      {"INSERT.ICO", [](Pad& p) { document(p, 0, 0); p.circle(23, 23, 7, kGreen, kGreen); p.line(23, 19, 23, 27, kWhite, 2); p.line(19, 23, 27, 23, kWhite, 2); }},
      {"EDIT.ICO", [](Pad& p) { document(p, 0, 0); p.poly({{12, 26}, {14, 20}, {26, 8}, {30, 12}, {18, 24}}, kAmber, kInk); }},
      {"DELETE.ICO", [](Pad& p) { document(p, 0, 0); p.circle(23, 23, 7, kRed, kRed); p.line(19, 23, 27, 23, kWhite, 2); }},
      {"DITTO.ICO", [](Pad& p) { p.glyph("\"", kBlue, 30); }},
      {"FIND.ICO", [](Pad& p) { p.circle(13, 13, 9, kPaper, kInk); p.line(20, 20, 28, 28, kInk, 4); }},
      {"HELP.ICO", [](Pad& p) { p.circle(16, 16, 14, kGreen, kGreen); p.glyph("?", kWhite, 20); }},
      {"MARK.ICO", [](Pad& p) { p.line(6, 17, 13, 24, kGreen, 4); p.line(13, 24, 27, 8, kGreen, 4); }},
      {"PRINT.ICO", [](Pad& p) { p.rect(9, 3, 23, 13, kPaper, kInk); p.rect(3, 12, 29, 24, RGB(0xB8, 0xBE, 0xC6), kInk); p.rect(9, 20, 23, 29, kPaper, kInk); }},
      {"EXIT.ICO", [](Pad& p) { p.rect(5, 3, 21, 29, RGB(0xB8, 0xBE, 0xC6), kInk); p.line(14, 16, 29, 16, kRed, 3); p.poly({{24, 10}, {30, 16}, {24, 22}}, kRed, kRed); }},
      {"ZOOM.ICO", [](Pad& p) { p.circle(13, 13, 9, kPaper, kInk); p.line(9, 13, 17, 13, kInk, 2); p.line(13, 9, 13, 17, kInk, 2); p.line(20, 20, 28, 28, kInk, 4); }},
  };
  return all;
}

const Named* find(const std::string& name) {
  for (const Named& n : icons())
    if (strcasecmp(n.name, name.c_str()) == 0) return &n;
  return nullptr;
}

}  // namespace

bool icon_exists(const std::string& name) { return find(name) != nullptr; }

bool draw_icon(HDC dc, int x, int y, int size, const std::string& name) {
  const Named* n = find(name);
  if (!n) return false;
  int saved = SaveDC(dc);
  Pad pad{dc, x, y, size, {}, {}};
  n->draw(pad);
  RestoreDC(dc, saved);
  return true;
}

}  // namespace vrt::platform
