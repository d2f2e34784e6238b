// Reading metafiles back: checking the bits, walking the records, and
// playing each into a device context. The bits come from files and are not
// trusted: every record's size is checked against what is left, and a
// record's parameters against its size, before anything is read.
#include <cstring>
#include <fstream>
#include <iterator>

#include "runtime/platform/gfx/metafile.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::platform {

namespace {

constexpr size_t kHeaderBytes = 18;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableBytes = 22;
constexpr size_t kMaxObjects = 4096;

uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t* p) { return get16(p) | (uint32_t{get16(p + 2)} << 16); }

// True when the bits are a header and whole records ending in META_EOF.
bool well_formed(const std::vector<uint8_t>& b) {
  if (b.size() < kHeaderBytes + 6 || get16(b.data() + 2) != 9) return false;
  size_t at = kHeaderBytes;
  while (at + 6 <= b.size()) {
    uint32_t words = get32(b.data() + at);
    if (words < 3 || words > (b.size() - at) / 2) return false;
    if (get16(b.data() + at + 4) == META_EOF) return true;
    at += size_t{words} * 2;
  }
  return false;
}

int16_t s16(const uint16_t* p, size_t i) { return static_cast<int16_t>(p[i]); }
COLORREF color(const uint16_t* p, size_t i) { return p[i] | (COLORREF{p[i + 1]} << 16); }

// The text of a record, bounded by what its parameters hold.
std::string text_of(const uint16_t* p, size_t words_left, size_t count) {
  count = std::min(count, words_left * 2);
  std::string s(count, '\0');
  for (size_t i = 0; i < count; ++i) s[i] = static_cast<char>(i % 2 ? p[i / 2] >> 8 : p[i / 2] & 0xFF);
  return s;
}

void put_object(HANDLETABLE* table, HGDIOBJ object) {
  for (HGDIOBJ& slot : table->objects)
    if (!slot) {
      slot = object;
      return;
    }
  if (table->objects.size() < kMaxObjects)
    table->objects.push_back(object);
  else
    DeleteObject(object);
}

}  // namespace

std::vector<uint8_t> GetMetaFileBits(HMETAFILE mf) { return mf ? mf->bits() : std::vector<uint8_t>(); }

HMETAFILE SetMetaFileBits(const std::vector<uint8_t>& bits) {
  if (!well_formed(bits)) {
    SetLastError(kErrorInvalidData);
    return nullptr;
  }
  return new Metafile(bits);
}

HMETAFILE GetMetaFile(const std::string& file_name) {
  std::ifstream in(file_name, std::ios::binary);
  if (!in) {
    SetLastError(kErrorFileNotFound);
    return nullptr;
  }
  std::vector<uint8_t> bits((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bits.size() >= kPlaceableBytes && get32(bits.data()) == kPlaceableKey)
    bits.erase(bits.begin(), bits.begin() + kPlaceableBytes);
  return SetMetaFileBits(bits);
}

bool write_placeable_metafile(const std::string& file_name, HMETAFILE mf, const RECT& bounds, int units_per_inch) {
  if (!mf) return false;
  uint8_t head[kPlaceableBytes] = {};
  auto put16 = [&](size_t at, int v) {
    head[at] = static_cast<uint8_t>(v);
    head[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(0, kPlaceableKey & 0xFFFF);
  put16(2, kPlaceableKey >> 16);
  put16(6, bounds.left);
  put16(8, bounds.top);
  put16(10, bounds.right);
  put16(12, bounds.bottom);
  put16(14, units_per_inch);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= get16(head + i);
  put16(20, sum);
  std::ofstream out(file_name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(head), sizeof head);
  out.write(reinterpret_cast<const char*>(mf->bits().data()), static_cast<std::streamsize>(mf->bits().size()));
  return static_cast<bool>(out);
}

bool EnumMetaFile(HDC dc, HMETAFILE mf, MFENUMPROC proc, void* data) {
  if (!mf || !proc || !well_formed(mf->bits())) return false;
  const std::vector<uint8_t>& b = mf->bits();
  HANDLETABLE table;
  int objects = get16(b.data() + 10);
  std::vector<uint16_t> words;
  bool complete = true;
  for (size_t at = kHeaderBytes; at + 6 <= b.size();) {
    uint32_t size = get32(b.data() + at);
    uint16_t function = get16(b.data() + at + 4);
    if (function == META_EOF) break;
    // Parameters are copied to aligned words before anyone reads them.
    words.resize(size - 3);
    for (size_t i = 0; i < words.size(); ++i) words[i] = get16(b.data() + at + 6 + 2 * i);
    METARECORD record{size, function, words.data()};
    if (!proc(dc, &table, &record, objects, data)) {
      complete = false;
      break;
    }
    at += size_t{size} * 2;
  }
  // Objects the metafile made must not stay selected once they are gone.
  for (HGDIOBJ o : table.objects) {
    dc->LetGoOf(o);
    DeleteObject(o);
  }
  return complete;
}

bool PlayMetaFileRecord(HDC dc, HANDLETABLE* table, const METARECORD* r, int) {
  const uint16_t* p = r->rdParm;
  size_t n = r->rdSize >= 3 ? r->rdSize - 3 : 0;
  auto need = [&](size_t words) { return n >= words; };
  switch (r->rdFunction) {
    case META_SAVEDC: dc->SaveDC(); return true;
    case META_RESTOREDC: return need(1) && dc->RestoreDC(s16(p, 0));
    case META_SETBKMODE: return need(1) && (dc->SetBkMode(p[0]), true);
    case META_SETMAPMODE: return need(1) && (dc->SetMapMode(p[0]), true);
    case META_SETTEXTALIGN: return need(1) && (dc->SetTextAlign(p[0]), true);
    case META_SETBKCOLOR: return need(2) && (dc->SetBkColor(color(p, 0)), true);
    case META_SETTEXTCOLOR: return need(2) && (dc->SetTextColor(color(p, 0)), true);
    case META_SETWINDOWORG: return need(2) && (dc->SetWindowOrgEx(s16(p, 1), s16(p, 0)), true);
    case META_SETWINDOWEXT: return need(2) && (dc->SetWindowExtEx(s16(p, 1), s16(p, 0)), true);
    case META_SETVIEWPORTORG: return need(2) && (dc->SetViewportOrgEx(s16(p, 1), s16(p, 0)), true);
    case META_SETVIEWPORTEXT: return need(2) && (dc->SetViewportExtEx(s16(p, 1), s16(p, 0)), true);
    case META_MOVETO: return need(2) && (dc->MoveToEx(s16(p, 1), s16(p, 0)), true);
    case META_LINETO: return need(2) && (dc->LineTo(s16(p, 1), s16(p, 0)), true);
    case META_INTERSECTCLIPRECT:
      return need(4) && (dc->IntersectClipRect(s16(p, 3), s16(p, 2), s16(p, 1), s16(p, 0)), true);
    case META_RECTANGLE: return need(4) && (dc->Rectangle(s16(p, 3), s16(p, 2), s16(p, 1), s16(p, 0)), true);
    case META_ELLIPSE: return need(4) && (dc->Ellipse(s16(p, 3), s16(p, 2), s16(p, 1), s16(p, 0)), true);
    case META_ROUNDRECT:
      return need(6) && (dc->RoundRect(s16(p, 5), s16(p, 4), s16(p, 3), s16(p, 2), s16(p, 1), s16(p, 0)), true);
    case META_PATBLT: {
      if (!need(6)) return false;
      RECT rect{s16(p, 5), s16(p, 4), s16(p, 5) + s16(p, 3), s16(p, 4) + s16(p, 2)};
      dc->FillRect(rect, dc->state().brush);
      return true;
    }
    case META_POLYLINE:
    case META_POLYGON: {
      if (!need(1)) return false;
      size_t count = std::min<size_t>(p[0], (n - 1) / 2);
      std::vector<POINT> pts(count);
      for (size_t i = 0; i < count; ++i) pts[i] = {s16(p, 1 + 2 * i), s16(p, 2 + 2 * i)};
      if (r->rdFunction == META_POLYLINE)
        dc->Polyline(pts.data(), static_cast<int>(count));
      else
        dc->Polygon(pts.data(), static_cast<int>(count));
      return true;
    }
    case META_TEXTOUT: {
      if (!need(1)) return false;
      size_t count = p[0], text_words = (count + 1) / 2;
      if (n < 1 + text_words + 2) return false;
      dc->ExtTextOut(s16(p, 1 + text_words + 1), s16(p, 1 + text_words), 0, nullptr,
                     text_of(p + 1, text_words, count));
      return true;
    }
    case META_EXTTEXTOUT: {
      if (!need(4)) return false;
      uint16_t options = p[3];
      size_t at = 4;
      RECT rect{};
      bool has_rect = options & (ETO_OPAQUE | ETO_CLIPPED);
      if (has_rect) {
        if (!need(8)) return false;
        rect = {s16(p, 4), s16(p, 5), s16(p, 6), s16(p, 7)};
        at = 8;
      }
      dc->ExtTextOut(s16(p, 1), s16(p, 0), options, has_rect ? &rect : nullptr, text_of(p + at, n - at, p[2]));
      return true;
    }
    case META_CREATEPENINDIRECT:
      if (!need(5)) return false;
      put_object(table, CreatePen(s16(p, 0), s16(p, 1), color(p, 3)));
      return true;
    case META_CREATEBRUSHINDIRECT:
      if (!need(3)) return false;
      put_object(table, p[0] == BS_NULL ? static_cast<HGDIOBJ>(new Brush(BS_NULL, 0)) : CreateSolidBrush(color(p, 1)));
      return true;
    case META_CREATEFONTINDIRECT: {
      if (!need(9)) return false;
      LOGFONT lf;
      lf.lfHeight = s16(p, 0);
      lf.lfWidth = s16(p, 1);
      lf.lfEscapement = s16(p, 2);
      lf.lfOrientation = s16(p, 3);
      lf.lfWeight = s16(p, 4);
      lf.lfItalic = p[5] & 0xFF;
      lf.lfUnderline = p[5] >> 8;
      lf.lfStrikeOut = p[6] & 0xFF;
      lf.lfCharSet = p[6] >> 8;
      std::string face = text_of(p + 9, n - 9, std::min<size_t>((n - 9) * 2, sizeof lf.lfFaceName - 1));
      std::strncpy(lf.lfFaceName, face.c_str(), sizeof lf.lfFaceName - 1);
      put_object(table, CreateFontIndirect(lf));
      return true;
    }
    case META_SELECTOBJECT:
      if (!need(1) || p[0] >= table->objects.size() || !table->objects[p[0]]) return false;
      dc->SelectObject(table->objects[p[0]]);
      return true;
    case META_DELETEOBJECT: {
      if (!need(1) || p[0] >= table->objects.size()) return false;
      HGDIOBJ& slot = table->objects[p[0]];
      // Whatever still holds it, selected or saved, goes back to a stock object first.
      dc->LetGoOf(slot);
      DeleteObject(slot);
      slot = nullptr;
      return true;
    }
    default: return false;  // records this player does not know are passed over
  }
}

namespace {
int play_one(HDC dc, HANDLETABLE* table, const METARECORD* record, int objects, void*) {
  PlayMetaFileRecord(dc, table, record, objects);
  return 1;
}
}  // namespace

bool PlayMetaFile(HDC dc, HMETAFILE mf) {
  // What the metafile sets (mapping, colours) ends with it.
  int saved = dc->SaveDC();
  bool ok = EnumMetaFile(dc, mf, play_one, nullptr);
  dc->RestoreDC(saved);
  return ok;
}

}  // namespace vrt::platform
