#include "runtime/platform/gfx/metafile.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "runtime/platform/gfx/cairo_dc.h"
#include "tests/test_support.h"

namespace vrt::platform {
namespace {

// A text page: a title in a bold font, lines of text, a frame and rules.
HMETAFILE record_page(const std::string& file = {}) {
  HDC dc = CreateMetaFile(file);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 8500, 11000);
  LOGFONT lf;
  lf.lfHeight = -180;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT title = CreateFontIndirect(lf);
  SelectObject(dc, title);
  SetTextColor(dc, RGB(0x20, 0x40, 0x80));
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, 1000, 700, "Customer list");
  for (int i = 0; i < 50; ++i) {
    lf.lfHeight = -120;
    lf.lfWeight = FW_NORMAL;
    HFONT body = CreateFontIndirect(lf);  // a fresh font for every line, as report code does
    SelectObject(dc, body);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOut(dc, 1000, 1200 + i * 150, "Line " + std::to_string(i) + " of the page, with O'Neil & Sons");
    SelectObject(dc, title);
    DeleteObject(body);
  }
  HPEN pen = CreatePen(PS_SOLID, 10, RGB(0, 0, 0));
  SelectObject(dc, pen);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, 900, 600, 7600, 10000);
  MoveToEx(dc, 900, 1000);
  LineTo(dc, 7600, 1000);
  FillRect(dc, {900, 9800, 7600, 10000}, GetStockObject(LTGRAY_BRUSH));
  HMETAFILE mf = CloseMetaFile(dc);
  DeleteObject(title);
  DeleteObject(pen);
  return mf;
}

struct Counter {
  int records = 0, texts = 0, fonts = 0;
};

int count_records(HDC, HANDLETABLE*, const METARECORD* r, int, void* data) {
  auto* c = static_cast<Counter*>(data);
  ++c->records;
  if (r->rdFunction == META_EXTTEXTOUT) ++c->texts;
  if (r->rdFunction == META_CREATEFONTINDIRECT) ++c->fonts;
  return 1;
}

TEST(Metafile, RecordsAndEnumeratesEveryCall) {
  HMETAFILE mf = record_page();
  ASSERT_NE(mf, nullptr);
  Counter c;
  HDC target = CreateMetaFile();
  EXPECT_TRUE(EnumMetaFile(target, mf, count_records, &c));
  EXPECT_EQ(c.texts, 51);
  EXPECT_EQ(c.fonts, 2);  // equal fonts share one object of the metafile
  // The bits survive a round trip and replay to the same records.
  HMETAFILE copy = SetMetaFileBits(GetMetaFileBits(mf));
  ASSERT_NE(copy, nullptr);
  Counter again;
  EnumMetaFile(target, copy, count_records, &again);
  EXPECT_EQ(again.records, c.records);
  DeleteMetaFile(CloseMetaFile(target));
  DeleteMetaFile(copy);
  DeleteMetaFile(mf);
}

TEST(Metafile, PlaysIntoAnImage) {
  HMETAFILE mf = record_page();
  HBITMAP bmp = CreateBitmap(425, 550);
  HDC dc = CreateCompatibleDC(bmp);
  FillRect(dc, {0, 0, 425, 550}, GetStockObject(WHITE_BRUSH));
  SetMapMode(dc, MM_ANISOTROPIC);
  SetViewportExtEx(dc, 425, 550);
  ASSERT_TRUE(PlayMetaFile(dc, mf));
  cairo_surface_t* s = static_cast<Bitmap*>(bmp)->surface();
  cairo_surface_flush(s);
  auto pixel = [&](int x, int y) {
    const uint8_t* d = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4;
    return RGB(d[2], d[1], d[0]);
  };
  EXPECT_EQ(pixel(45, 30), RGB(0, 0, 0));          // the frame's left edge, 900/20 = 45
  EXPECT_EQ(pixel(200, 495), RGB(192, 192, 192));  // the grey band at the bottom
  EXPECT_EQ(pixel(10, 10), RGB(255, 255, 255));    // outside the frame
  int dark = 0;
  for (int x = 50; x < 300; ++x) dark += GetRValue(pixel(x, 65)) < 128;
  EXPECT_GT(dark, 10);  // a line of text crosses row 65
  DeleteDC(dc);
  DeleteObject(bmp);
  DeleteMetaFile(mf);
}

TEST(Metafile, DamagedBitsAreRefused) {
  HMETAFILE mf = record_page();
  std::vector<uint8_t> bits = GetMetaFileBits(mf);
  std::vector<uint8_t> truncated(bits.begin(), bits.begin() + static_cast<long>(bits.size() / 2));
  EXPECT_EQ(SetMetaFileBits(truncated), nullptr);
  std::vector<uint8_t> huge = bits;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF;  // the first record claims more than there is
  EXPECT_EQ(SetMetaFileBits(huge), nullptr);
  EXPECT_EQ(SetMetaFileBits({}), nullptr);
  // A record whose parameters are too short for its function plays nothing
  // and reads nothing beyond itself.
  std::vector<uint8_t> tiny = {1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               3, 0, 0, 0, 0x32, 0x0A,  // EXTTEXTOUT without parameters
                               3, 0, 0, 0, 0, 0};
  tiny[6] = static_cast<uint8_t>(tiny.size() / 2);
  HMETAFILE t = SetMetaFileBits(tiny);
  ASSERT_NE(t, nullptr);
  HDC dc = CreateMetaFile();
  EXPECT_TRUE(PlayMetaFile(dc, t));
  DeleteMetaFile(CloseMetaFile(dc));
  DeleteMetaFile(t);
  DeleteMetaFile(mf);
}

// Metafile bits from words: the header, then records of (function, parameters).
std::vector<uint8_t> metafile_bits(std::initializer_list<std::pair<uint16_t, std::vector<uint16_t>>> records) {
  std::vector<uint16_t> words = {1, 9, 0x300, 0, 0, 1, 0, 0, 0};
  for (const auto& [function, params] : records) {
    uint32_t size = static_cast<uint32_t>(params.size() + 3);
    words.insert(words.end(), {static_cast<uint16_t>(size), static_cast<uint16_t>(size >> 16), function});
    words.insert(words.end(), params.begin(), params.end());
  }
  words.insert(words.end(), {3, 0, META_EOF});
  words[3] = static_cast<uint16_t>(words.size());
  std::vector<uint8_t> bits;
  for (uint16_t w : words) bits.insert(bits.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
  return bits;
}

TEST(Metafile, AnObjectDeletedWhileSelectedOrSavedIsNeverDrawnWith) {
  const std::vector<uint16_t> font = {0xFFF4, 0, 0, 0, 700, 0, 0, 0, 0, 'A' | 'r' << 8, 'i' | 'a' << 8, 'l'};
  const std::vector<uint16_t> text = {20, 10, 4, 0, 'S' | 'e' << 8, 'e' | 'd' << 8};
  // The font is selected, saved with the state, deleted, and the saved state
  // brought back before text is drawn; then deleted while selected outright.
  HMETAFILE mf = SetMetaFileBits(metafile_bits({{META_CREATEFONTINDIRECT, font},
                                                {META_SELECTOBJECT, {0}},
                                                {META_SAVEDC, {}},
                                                {META_DELETEOBJECT, {0}},
                                                {META_RESTOREDC, {0xFFFF}},
                                                {META_EXTTEXTOUT, text},
                                                {META_CREATEFONTINDIRECT, font},
                                                {META_SELECTOBJECT, {0}},
                                                {META_DELETEOBJECT, {0}},
                                                {META_EXTTEXTOUT, text},
                                                {META_CREATEFONTINDIRECT, font},
                                                {META_SELECTOBJECT, {0}},
                                                {META_SAVEDC, {}}}));
  ASSERT_NE(mf, nullptr);
  HBITMAP bmp = CreateBitmap(64, 64);
  HDC dc = CreateCompatibleDC(bmp);
  EXPECT_TRUE(PlayMetaFile(dc, mf));
  // Played record by record, the last font stays in a saved state the
  // metafile never restores; what the player frees the context lets go of.
  EXPECT_TRUE(EnumMetaFile(dc, mf, [](HDC d, HANDLETABLE* t, const METARECORD* r, int n, void*) {
    PlayMetaFileRecord(d, t, r, n);
    return 1;
  }, nullptr));
  EXPECT_TRUE(RestoreDC(dc, -1));
  TextOut(dc, 0, 0, "after");
  DeleteDC(dc);
  DeleteObject(bmp);
  DeleteMetaFile(mf);
}

TEST(Metafile, PlaceableFilesOpenInAnotherReader) {
  test::TempDir dir;
  HMETAFILE mf = record_page();
  std::string wmf = dir.file("page.wmf");
  ASSERT_TRUE(write_placeable_metafile(wmf, mf, {0, 0, 8500, 11000}, 1000));
  HMETAFILE back = GetMetaFile(wmf);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetMetaFileBits(back), GetMetaFileBits(mf));
  DeleteMetaFile(back);
  DeleteMetaFile(mf);
  if (::system("command -v wmf2svg >/dev/null 2>&1") != 0) GTEST_SKIP() << "wmf2svg is not installed";
  auto r = test::run_command("wmf2svg -o " + dir.file("page.svg") + " " + wmf + " 2>&1");
  EXPECT_EQ(r.exit_code, 0) << r.out;
  std::string svg = test::read_file(dir.file("page.svg"));
  EXPECT_NE(svg.find("Customer list"), std::string::npos);
  EXPECT_NE(svg.find("Line 49 of the page"), std::string::npos);
}

}  // namespace
}  // namespace vrt::platform
