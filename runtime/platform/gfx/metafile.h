// Metafiles in the standard Windows metafile format: a recording device
// context writes each drawing call as a record; a metafile plays back into
// any device context, whole or record by record. A placeable header (the
// bounds and units per inch) goes in front when a page is kept in a file.
//
// Metafile header, 18 bytes, little-endian:
//   OFFSET SIZE MEANING
//        0    2 type (1 memory, 2 disk)
//        2    2 header size in words (9)
//        4    2 version (0x0300)
//        6    4 file size in words
//       10    2 largest object table index used + 1
//       12    4 largest record in words
//       16    2 0
// Each record: size in words (4), function (2), parameters (words). The
// record META_EOF (function 0, size 3) ends the file.
//
// Placeable header, 22 bytes, before the metafile header:
//        0    4 key 0x9AC6CDD7
//        4    2 0
//        6    8 bounds: left, top, right, bottom (16-bit signed)
//       14    2 units per inch
//       16    4 0
//       20    2 XOR of the ten words before it
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/platform/gfx/device_context.h"

namespace vrt::platform {

class Metafile {
 public:
  explicit Metafile(std::vector<uint8_t> bits) : bits_(std::move(bits)) {}
  const std::vector<uint8_t>& bits() const { return bits_; }

 private:
  std::vector<uint8_t> bits_;  // header and records, no placeable header
};
using HMETAFILE = Metafile*;

// Records WMF function numbers.
enum MetaFunction : uint16_t {
  META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103,
  META_RESTOREDC = 0x0127, META_SELECTOBJECT = 0x012D, META_SETTEXTALIGN = 0x012E, META_DELETEOBJECT = 0x01F0,
  META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C,
  META_SETVIEWPORTORG = 0x020D, META_SETVIEWPORTEXT = 0x020E, META_LINETO = 0x0213, META_MOVETO = 0x0214,
  META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC,
  META_POLYGON = 0x0324, META_POLYLINE = 0x0325, META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418,
  META_RECTANGLE = 0x041B, META_TEXTOUT = 0x0521, META_ROUNDRECT = 0x061C, META_PATBLT = 0x061D,
  META_EXTTEXTOUT = 0x0A32,
};

// A recording context; drawing calls become records. `reference_dpi` is the
// resolution text is measured at.
HDC CreateMetaFile(const std::string& file_name = {}, int reference_dpi = 96);
// Ends the recording; writes the file when the context was made with a
// name. The context is gone afterwards.
HMETAFILE CloseMetaFile(HDC dc);
bool DeleteMetaFile(HMETAFILE mf);

// Copies of the bits, and a metafile from bits: null (with the last error
// set to kErrorInvalidData) when they are not a well-formed metafile.
std::vector<uint8_t> GetMetaFileBits(HMETAFILE mf);
HMETAFILE SetMetaFileBits(const std::vector<uint8_t>& bits);
// Reads a file, with or without a placeable header.
HMETAFILE GetMetaFile(const std::string& file_name);
// Writes a placeable metafile: bounds in the metafile's units.
bool write_placeable_metafile(const std::string& file_name, HMETAFILE mf, const RECT& bounds, int units_per_inch);

// The objects a metafile creates while it plays, by slot.
struct HANDLETABLE {
  std::vector<HGDIOBJ> objects;
};
struct METARECORD {
  uint32_t rdSize;  // words
  uint16_t rdFunction;
  const uint16_t* rdParm;  // rdSize - 3 words
};

using MFENUMPROC = int (*)(HDC dc, HANDLETABLE* table, const METARECORD* record, int objects, void* data);
// Calls the procedure for every record until it returns 0.
bool EnumMetaFile(HDC dc, HMETAFILE mf, MFENUMPROC proc, void* data);
bool PlayMetaFileRecord(HDC dc, HANDLETABLE* table, const METARECORD* record, int objects);
bool PlayMetaFile(HDC dc, HMETAFILE mf);

}  // namespace vrt::platform
