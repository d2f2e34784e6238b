#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gfx/icons.h"
#include "runtime/platform/gui/region.h"

namespace vrt::platform {
namespace {

// A white image with a memory context on it.
struct Canvas {
  HBITMAP bitmap;
  HDC dc;
  Canvas(int w, int h, int dpi = 96) : bitmap(CreateBitmap(w, h)), dc(CreateCompatibleDC(bitmap, dpi)) {
    FillRect(dc, {0, 0, w, h}, GetStockObject(WHITE_BRUSH));
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  COLORREF at(int x, int y) {
    cairo_surface_t* s = static_cast<Bitmap*>(bitmap)->surface();
    cairo_surface_flush(s);
    const uint8_t* d = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4;
    return RGB(d[2], d[1], d[0]);
  }
  // Pixels darker than mid-grey inside a rectangle.
  int ink(const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += GetRValue(at(x, y)) < 128;
    return n;
  }
};

TEST(MappingModes, FixedModesTurnTheYAxisUp) {
  Canvas c(200, 200, 100);
  SetMapMode(c.dc, MM_LOENGLISH);  // hundredths of an inch
  EXPECT_EQ(c.dc->lp_to_dp(POINT{100, -100}).x, 100);
  EXPECT_EQ(c.dc->lp_to_dp(POINT{100, -100}).y, 100);
  SetMapMode(c.dc, MM_HIENGLISH);
  EXPECT_EQ(c.dc->lp_to_dp(POINT{1000, 0}).x, 100);
  SetMapMode(c.dc, MM_TWIPS);
  EXPECT_EQ(c.dc->lp_to_dp(POINT{1440, 0}).x, 100);
}

TEST(MappingModes, AnisotropicAndIsotropicExtents) {
  Canvas c(200, 200);
  SetMapMode(c.dc, MM_ANISOTROPIC);
  SetWindowExtEx(c.dc, 1000, 2000);
  SetViewportExtEx(c.dc, 100, 100);
  SetWindowOrgEx(c.dc, 500, 0);
  SetViewportOrgEx(c.dc, 10, 10);
  POINT p = c.dc->lp_to_dp(POINT{1500, 2000});
  EXPECT_EQ(p.x, 110);
  EXPECT_EQ(p.y, 110);
  EXPECT_EQ(c.dc->dp_to_lp(p).x, 1500);
  SetMapMode(c.dc, MM_ISOTROPIC);
  SetWindowExtEx(c.dc, 1000, 2000);
  SetViewportExtEx(c.dc, 100, 100);  // both axes take the smaller scale
  EXPECT_DOUBLE_EQ(c.dc->x_scale(), c.dc->y_scale());
  EXPECT_DOUBLE_EQ(c.dc->y_scale(), 0.05);
  // Extents set in a fixed mode are ignored.
  SetMapMode(c.dc, MM_TEXT);
  SetWindowExtEx(c.dc, 7, 7);
  EXPECT_DOUBLE_EQ(c.dc->x_scale(), 1.0);
}

TEST(Drawing, SaveRestoreAndClipping) {
  Canvas c(100, 100);
  int level = SaveDC(c.dc);
  IntersectClipRect(c.dc, 0, 0, 50, 100);
  SetTextColor(c.dc, RGB(1, 2, 3));
  FillRect(c.dc, {0, 0, 100, 100}, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(c.at(25, 50), RGB(0, 0, 0));
  EXPECT_EQ(c.at(75, 50), RGB(255, 255, 255));  // outside the clip
  EXPECT_TRUE(RestoreDC(c.dc, level));
  EXPECT_EQ(c.dc->state().text_color, RGB(0, 0, 0));
  EXPECT_FALSE(c.dc->state().has_clip);
  EXPECT_FALSE(RestoreDC(c.dc, 5));
}

TEST(Drawing, PensBrushesAndShapes) {
  Canvas c(100, 100);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(c.dc, pen);
  SelectObject(c.dc, brush);
  Rectangle(c.dc, 10, 10, 60, 60);
  EXPECT_EQ(c.at(11, 30), RGB(255, 0, 0));  // the pen inside the edge
  EXPECT_EQ(c.at(35, 35), RGB(0, 0, 255));  // the brush
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  Ellipse(c.dc, 60, 60, 100, 100);
  EXPECT_EQ(c.at(80, 80), RGB(255, 255, 255));  // a hollow ellipse
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
  DeleteObject(brush);
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects survive
  EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr);
}

TEST(Text, MetricsScaleWithTheFontAndTheDevice) {
  Canvas c(400, 100);
  HFONT small = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
  HFONT big = CreateFont(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
  SelectObject(c.dc, small);
  SIZE a = GetTextExtentPoint32(c.dc, "Customer");
  TEXTMETRIC ta = GetTextMetrics(c.dc);
  SelectObject(c.dc, big);
  SIZE b = GetTextExtentPoint32(c.dc, "Customer");
  EXPECT_NEAR(b.cx, 2 * a.cx, 3);
  EXPECT_GT(ta.tmHeight, 12);  // the cell is taller than the character height
  EXPECT_EQ(ta.tmHeight, ta.tmAscent + ta.tmDescent);
  EXPECT_GT(ta.tmAveCharWidth, 0);
  // Dialog units follow the font: a bigger font, bigger units.
  SIZE du_small = dialog_base_units(c.dc, small), du_big = dialog_base_units(c.dc, big);
  EXPECT_GT(du_big.cx, du_small.cx);
  EXPECT_EQ(du_small.cy, ta.tmHeight);
  SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
  DeleteObject(small);
  DeleteObject(big);
}

TEST(Text, FacesMapToMetricCompatibleFamilies) {
  EXPECT_EQ(font_family_for("MS Sans Serif"), "Liberation Sans");
  EXPECT_EQ(font_family_for("arial"), "Liberation Sans");
  EXPECT_EQ(font_family_for("Helv"), "Liberation Sans");
  EXPECT_EQ(font_family_for("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(font_family_for("Courier New"), "Liberation Mono");
  EXPECT_EQ(font_family_for("Wingdings Unknown"), "DejaVu Sans");
}

TEST(Text, DrawTextAlignsAndCuts) {
  Canvas c(300, 40);
  RECT calc{0, 0, 300, 40};
  DrawText(c.dc, "&Save", &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.right, GetTextExtentPoint32(c.dc, "Save").cx);  // the prefix mark takes no room
  SetBkMode(c.dc, TRANSPARENT);
  RECT right{0, 0, 300, 40};
  DrawText(c.dc, "Total", &right, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  EXPECT_GT(c.ink({250, 0, 300, 40}), 0);
  EXPECT_EQ(c.ink({0, 0, 200, 40}), 0);
  Canvas narrow(60, 20);
  RECT cut{0, 0, 60, 20};
  SetBkMode(narrow.dc, TRANSPARENT);
  DrawText(narrow.dc, "A rather long title", &cut, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_GT(narrow.ink({0, 0, 60, 20}), 0);
}

TEST(Text, AnsiTextIsDrawnAsItsCharacters) {
  // An e with acute accent (0xE9 in the ANSI page) measures as one
  // character, not as a broken byte.
  Canvas c(100, 30);
  EXPECT_NEAR(GetTextExtentPoint32(c.dc, "\xE9").cx, GetTextExtentPoint32(c.dc, "e").cx, 2);
}

TEST(Icons, EveryNamedIconDraws) {
  for (const char* name : {"STOP", "QUESTION", "EXCLAMATION", "INFORMATION", "COPY.ICO", "VCRFIRST.ICO",
                           "VCRPRIOR.ICO", "VCRNEXT.ICO", "VCRLAST.ICO", "VCRUP.ICO", "VCRDOWN.ICO", "INSERT.ICO",
                           "EDIT.ICO", "DELETE.ICO", "DITTO.ICO", "FIND.ICO", "HELP.ICO", "MARK.ICO"}) {
    Canvas c(32, 32);
    ASSERT_TRUE(draw_icon(c.dc, 0, 0, 32, name)) << name;
    int painted = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) painted += c.at(x, y) != RGB(255, 255, 255);
    EXPECT_GT(painted, 20) << name;
  }
  Canvas c(32, 32);
  EXPECT_FALSE(draw_icon(c.dc, 0, 0, 32, "MISSING.ICO"));
}

TEST(Regions, SubtractingLeavesTheRestInPieces) {
  Region r(RECT{0, 0, 100, 100});
  r.subtract({25, 25, 75, 75});
  int area = 0;
  for (const RECT& x : r.rects()) area += x.width() * x.height();
  EXPECT_EQ(area, 100 * 100 - 50 * 50);
  for (const RECT& x : r.rects()) EXPECT_TRUE(intersect(x, RECT{25, 25, 75, 75}).empty());
  r.intersect({0, 0, 50, 50});
  area = 0;
  for (const RECT& x : r.rects()) area += x.width() * x.height();
  EXPECT_EQ(area, 50 * 50 - 25 * 25);
  r.subtract({-10, -10, 200, 200});
  EXPECT_TRUE(r.empty());
}

TEST(Text, AccessKeyIsUnderlinedOnlyWhileAltIsHeld) {
  // The underline lies below the letters: the bottom rows of the text.
  auto underline_ink = [](bool shown) {
    show_access_underlines(shown);
    Canvas c(80, 30);
    RECT r{0, 0, 80, 30};
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawText(c.dc, "&File", &r, DT_LEFT | DT_SINGLELINE);
    RECT calc = r;
    DrawText(c.dc, "File", &calc, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    return c.ink({0, calc.bottom - 3, 80, calc.bottom + 2});
  };
  int hidden = underline_ink(false), shown = underline_ink(true);
  show_access_underlines(false);
  EXPECT_GT(shown, hidden + 2) << "no underline while Alt is held";
}

}  // namespace
}  // namespace vrt::platform
