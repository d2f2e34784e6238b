// A band's picture: its controls drawn into a metafile of their own, in
// printer pixels with the band's top left at 0, 0. The engine plays the
// picture into the page wherever the band lands.
#include <string>

#include "runtime/core/pictures/picture.h"
#include "runtime/report/report_bands.h"

namespace vrt::report {

using namespace vrt::platform;
using window::RecordType;

namespace {

struct PenBlock {
  int width = 1;
  COLORREF colour = 0;
  bool filled = false;
};

PenBlock pen_of(const window::ResourceBuffer& b, uint32_t record, const PageGeometry& g) {
  PenBlock pen;
  uint32_t at = b.field(record, "pen");
  if (at == 0 || !b.fits(at, window::kPenBlockSize)) return pen;
  // Report pens are thousandths of an inch wide, never thinner than a pixel.
  pen.width = std::max(1, g.width(b.i32(at)));
  pen.colour = static_cast<COLORREF>(b.i32(at + 4)) & 0xFFFFFF;
  pen.filled = b.i32(at + 8) & window::kPenStyleFill;
  return pen;
}

// Text is anchored at the edge it is aligned to (the record says where the
// text starts, ends or centres, not how wide it measured when recorded), so
// a right-aligned number ends at its control's right edge on any device.
void draw_text(HDC dc, const std::string& text, const RECT& r, uint32_t flags) {
  uint32_t align = TA_LEFT;
  int x = r.left;
  if (flags & window::kFlagRight) align = TA_RIGHT, x = r.right;
  else if (flags & window::kFlagCenter) align = TA_CENTER, x = (r.left + r.right) / 2;
  SetTextAlign(dc, align | TA_TOP);
  TextOut(dc, x, r.top, text);
}

std::string shown_text(const window::ResourceBuffer& b, const BandControl& c, int page_number) {
  auto type = static_cast<RecordType>(b.type(c.record));
  if (type != RecordType::VarString) return std::string(b.text(b.field(c.record, "text")));
  std::string value = c.variable ? c.variable->get_text() : std::to_string(page_number);
  std::string_view picture = b.text(b.field(c.record, "picture"));
  return picture.empty() ? value : core::Format(value, "@" + std::string(picture));
}

void draw_control(HDC dc, const window::ResourceBuffer& b, const BandControl& c, const PageGeometry& g,
                  int page_number) {
  if (b.flags(c.record) & window::kFlagHidden) return;
  auto coord = [&](int i) {
    int32_t v = static_cast<int32_t>(b.field(c.record, "at", i));
    return v == window::kNotGiven ? 0 : v;
  };
  RECT r{g.width(coord(0)), g.height(coord(1)), g.width(coord(0) + coord(2)), g.height(coord(1) + coord(3))};
  switch (static_cast<RecordType>(b.type(c.record))) {
    case RecordType::VarString:
    case RecordType::String:
    case RecordType::Prompt:
      draw_text(dc, shown_text(b, c, page_number), r, b.flags(c.record));
      break;
    case RecordType::Line:
    case RecordType::Box: {
      PenBlock pen = pen_of(b, c.record, g);
      HPEN p = CreatePen(PS_SOLID, pen.width, pen.colour);
      HBRUSH fill = pen.filled ? CreateSolidBrush(pen.colour) : nullptr;
      HGDIOBJ old_pen = SelectObject(dc, p);
      HGDIOBJ old_brush = SelectObject(dc, fill ? fill : GetStockObject(NULL_BRUSH));
      if (b.type(c.record) == static_cast<uint8_t>(RecordType::Line)) {
        MoveToEx(dc, r.left, r.top);
        LineTo(dc, r.right, r.bottom);
      } else {
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
      }
      SelectObject(dc, old_brush);
      SelectObject(dc, old_pen);
      DeleteObject(p);
      if (fill) DeleteObject(fill);
      break;
    }
    default: break;  // controls a page cannot show
  }
}

}  // namespace

HMETAFILE draw_band(const window::ResourceBuffer& b, const Band& band, const window::FontRecord& font,
                    const PageGeometry& g, int page_number) {
  HDC dc = CreateMetaFile({}, g.dpi_y);
  LOGFONT lf;
  lf.lfHeight = -static_cast<int32_t>((font.points ? font.points : 10) * g.dpi_y / 72);
  std::string face = font.typeface.empty() ? "Arial" : font.typeface;
  face.copy(lf.lfFaceName, sizeof lf.lfFaceName - 1);
  HFONT f = CreateFontIndirect(lf);
  SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, font.colour == -1 ? RGB(0, 0, 0) : static_cast<COLORREF>(font.colour) & 0xFFFFFF);
  for (const BandControl& c : band.controls) draw_control(dc, b, c, g, page_number);
  HMETAFILE mf = CloseMetaFile(dc);
  DeleteObject(f);
  return mf;
}

}  // namespace vrt::report
