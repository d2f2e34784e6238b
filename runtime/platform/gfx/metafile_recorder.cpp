// The recording device context: every call becomes a record.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <tuple>

#include "runtime/platform/gfx/metafile.h"

namespace vrt::platform {

namespace {

class MetafileDC : public DeviceContext {
 public:
  MetafileDC(std::string file, int dpi) : file_(std::move(file)), dpi_(dpi) {}

  int dpi() const override { return dpi_; }

  HGDIOBJ SelectObject(HGDIOBJ object) override {
    HGDIOBJ old = DeviceContext::SelectObject(object);
    if (object && object->kind() != GdiObject::Kind::Bitmap) record(META_SELECTOBJECT, {slot_for(object)});
    return old;
  }
  COLORREF SetTextColor(COLORREF c) override {
    record(META_SETTEXTCOLOR, {lo(c), hi(c)});
    return DeviceContext::SetTextColor(c);
  }
  COLORREF SetBkColor(COLORREF c) override {
    record(META_SETBKCOLOR, {lo(c), hi(c)});
    return DeviceContext::SetBkColor(c);
  }
  int SetBkMode(int mode) override {
    record(META_SETBKMODE, {w(mode)});
    return DeviceContext::SetBkMode(mode);
  }
  uint32_t SetTextAlign(uint32_t align) override {
    record(META_SETTEXTALIGN, {w(static_cast<int>(align))});
    return DeviceContext::SetTextAlign(align);
  }
  int SetMapMode(int mode) override {
    record(META_SETMAPMODE, {w(mode)});
    return DeviceContext::SetMapMode(mode);
  }
  void SetWindowOrgEx(int x, int y) override {
    record(META_SETWINDOWORG, {w(y), w(x)});
    DeviceContext::SetWindowOrgEx(x, y);
  }
  void SetWindowExtEx(int cx, int cy) override {
    record(META_SETWINDOWEXT, {w(cy), w(cx)});
    DeviceContext::SetWindowExtEx(cx, cy);
  }
  void SetViewportOrgEx(int x, int y) override {
    record(META_SETVIEWPORTORG, {w(y), w(x)});
    DeviceContext::SetViewportOrgEx(x, y);
  }
  void SetViewportExtEx(int cx, int cy) override {
    record(META_SETVIEWPORTEXT, {w(cy), w(cx)});
    DeviceContext::SetViewportExtEx(cx, cy);
  }
  int SaveDC() override {
    record(META_SAVEDC, {});
    return DeviceContext::SaveDC();
  }
  bool RestoreDC(int level) override {
    record(META_RESTOREDC, {w(level)});
    return DeviceContext::RestoreDC(level);
  }
  void IntersectClipRect(int l, int t, int r, int b) override {
    record(META_INTERSECTCLIPRECT, {w(b), w(r), w(t), w(l)});
    DeviceContext::IntersectClipRect(l, t, r, b);
  }
  void MoveToEx(int x, int y) override {
    record(META_MOVETO, {w(y), w(x)});
    DeviceContext::MoveToEx(x, y);
  }
  void LineTo(int x, int y) override {
    record(META_LINETO, {w(y), w(x)});
    state_.position = {x, y};
  }
  void Rectangle(int l, int t, int r, int b) override { record(META_RECTANGLE, {w(b), w(r), w(t), w(l)}); }
  void RoundRect(int l, int t, int r, int b, int cw, int ch) override {
    record(META_ROUNDRECT, {w(ch), w(cw), w(b), w(r), w(t), w(l)});
  }
  void Ellipse(int l, int t, int r, int b) override { record(META_ELLIPSE, {w(b), w(r), w(t), w(l)}); }
  void Polyline(const POINT* p, int n) override { points(META_POLYLINE, p, n); }
  void Polygon(const POINT* p, int n) override { points(META_POLYGON, p, n); }

  // Filling a rectangle is a pattern copy with the brush selected for it.
  void FillRect(const RECT& r, HBRUSH brush) override {
    if (!brush) return;
    HGDIOBJ old = state_.brush;
    SelectObject(brush);
    const uint32_t patcopy = 0x00F00021;
    record(META_PATBLT, {lo(patcopy), hi(patcopy), w(r.height()), w(r.width()), w(r.top), w(r.left)});
    SelectObject(old);
  }

  void ExtTextOut(int x, int y, uint32_t options, const RECT* rect, std::string_view text) override {
    if (text.size() > 0x7FFF) text = text.substr(0, 0x7FFF);
    std::vector<uint16_t> p{w(y), w(x), w(static_cast<int>(text.size())), w(static_cast<int>(options))};
    if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED)))
      p.insert(p.end(), {w(rect->left), w(rect->top), w(rect->right), w(rect->bottom)});
    else
      p[3] = 0;
    append_text(p, text);
    record(META_EXTTEXTOUT, p);
  }

  HMETAFILE close() {
    record(META_EOF, {});
    std::vector<uint8_t> bits(18);
    uint32_t words = static_cast<uint32_t>((18 + body_.size()) / 2);
    put16(bits, 0, file_.empty() ? 1 : 2);
    put16(bits, 2, 9);
    put16(bits, 4, 0x0300);
    put32(bits, 6, words);
    put16(bits, 10, static_cast<uint16_t>(slots_.size()));
    put32(bits, 12, max_record_);
    put16(bits, 16, 0);
    bits.insert(bits.end(), body_.begin(), body_.end());
    if (!file_.empty()) {
      std::ofstream out(file_, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bits.data()), static_cast<std::streamsize>(bits.size()));
    }
    return new Metafile(std::move(bits));
  }

 private:
  static uint16_t w(int v) { return static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -32768, 32767))); }
  static uint16_t lo(uint32_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
  static uint16_t hi(uint32_t v) { return static_cast<uint16_t>(v >> 16); }
  static void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  static void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, lo(v));
    put16(b, at + 2, hi(v));
  }

  // Bytes of text two to a word, padded to an even length.
  static void append_text(std::vector<uint16_t>& p, std::string_view text) {
    for (size_t i = 0; i < text.size(); i += 2) {
      uint8_t a = static_cast<uint8_t>(text[i]), b = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
      p.push_back(static_cast<uint16_t>(a | (b << 8)));
    }
  }

  void record(uint16_t function, const std::vector<uint16_t>& params) {
    uint32_t size = static_cast<uint32_t>(3 + params.size());
    max_record_ = std::max(max_record_, size);
    auto push16 = [&](uint16_t v) {
      body_.push_back(static_cast<uint8_t>(v));
      body_.push_back(static_cast<uint8_t>(v >> 8));
    };
    push16(lo(size));
    push16(hi(size));
    push16(function);
    for (uint16_t v : params) push16(v);
  }

  void points(uint16_t function, const POINT* p, int n) {
    n = std::clamp(n, 0, 0x3FFF);
    std::vector<uint16_t> params{w(n)};
    for (int i = 0; i < n; ++i) params.insert(params.end(), {w(p[i].x), w(p[i].y)});
    record(function, params);
  }

  // Objects are created in the metafile once for each distinct set of
  // attributes, so that a page that makes the same font anew for every
  // line still holds one font.
  uint16_t slot_for(HGDIOBJ object) {
    std::vector<uint16_t> create;
    uint16_t function;
    switch (object->kind()) {
      case GdiObject::Kind::Pen: {
        auto* pen = static_cast<const Pen*>(object);
        function = META_CREATEPENINDIRECT;
        create = {w(pen->style), w(pen->width), 0, lo(pen->color), hi(pen->color)};
        break;
      }
      case GdiObject::Kind::Brush: {
        auto* brush = static_cast<const Brush*>(object);
        function = META_CREATEBRUSHINDIRECT;
        create = {w(static_cast<int>(brush->style)), lo(brush->color), hi(brush->color), 0};
        break;
      }
      default: {
        const LOGFONT& lf = static_cast<const Font*>(object)->log;
        function = META_CREATEFONTINDIRECT;
        create = {w(lf.lfHeight), w(lf.lfWidth), w(lf.lfEscapement), w(lf.lfOrientation), w(lf.lfWeight),
                  static_cast<uint16_t>(lf.lfItalic | (lf.lfUnderline << 8)),
                  static_cast<uint16_t>(lf.lfStrikeOut | (lf.lfCharSet << 8)),
                  static_cast<uint16_t>(lf.lfOutPrecision | (lf.lfClipPrecision << 8)),
                  static_cast<uint16_t>(lf.lfQuality | (lf.lfPitchAndFamily << 8))};
        // The face name field is always its full 32 bytes.
        std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName - 1));
        face.resize(32, '\0');
        append_text(create, face);
        break;
      }
    }
    auto key = std::make_tuple(function, create);
    auto it = slots_.find(key);
    if (it != slots_.end()) return it->second;
    uint16_t slot = static_cast<uint16_t>(slots_.size());
    record(function, create);
    slots_.emplace(std::move(key), slot);
    return slot;
  }

  std::string file_;
  int dpi_;
  std::vector<uint8_t> body_;
  uint32_t max_record_ = 3;
  std::map<std::tuple<uint16_t, std::vector<uint16_t>>, uint16_t> slots_;
};

}  // namespace

HDC CreateMetaFile(const std::string& file_name, int reference_dpi) { return new MetafileDC(file_name, reference_dpi); }

HMETAFILE CloseMetaFile(HDC dc) {
  auto* m = dynamic_cast<MetafileDC*>(dc);
  if (!m) return nullptr;
  HMETAFILE mf = m->close();
  delete m;
  return mf;
}

bool DeleteMetaFile(HMETAFILE mf) {
  delete mf;
  return mf != nullptr;
}

}  // namespace vrt::platform
