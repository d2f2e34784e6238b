// Page image files: one report page as a placeable metafile.
//
//   OFFSET SIZE MEANING
//        0    4 key 0x9AC6CDD7
//        4    2 0
//        6    8 bounds left, top, right, bottom (i16): the whole sheet
//       14    2 units per inch (the printer's larger resolution)
//       16    4 0
//       20    2 XOR of the ten words before it
//       22      the metafile: its 18-byte header, then the records
//
// Files are read as untrusted: the key, the checksum, the metafile header
// and every record's size are checked before a record is played.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform/gfx/metafile.h"

namespace vrt::report {

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr size_t kPlaceableHeaderBytes = 22;
// Files larger than this are not page images of ours.
inline constexpr size_t kLargestPageImage = 64u << 20;
// Records larger than this (in 16-bit words) are too large for the player.
inline constexpr uint32_t kLargestPlayableRecord = 0x10000;

struct PageImage {
  platform::RECT bounds;
  int units_per_inch = 0;
  std::unique_ptr<platform::Metafile> metafile;
};

// Writes the header and the metafile's bits; false (last error set) when the
// file cannot be written or the bounds do not fit the header.
bool write_page_image(const std::string& file, platform::HMETAFILE metafile, const platform::RECT& bounds,
                      int units_per_inch);

// Reads and checks a page image; nothing (last error kErrorInvalidData, or
// the file's own error) when it is not a sound one.
std::optional<PageImage> read_page_image(const std::string& file);
// The same checks over bytes already read.
std::optional<PageImage> parse_page_image(const std::vector<uint8_t>& bytes);

// Plays one record as EnumMetaFile hands it over; a record too large for
// the player is fatal runtime error 523 and ends the playing.
int play_record_checked(platform::HDC dc, platform::HANDLETABLE* table, const platform::METARECORD* record,
                        int objects, void* data);

// Plays a page image read before into a rectangle of a device context, the
// whole sheet fitted to it (play_page_image reads the file and calls this).
bool play_page_image(platform::HDC dc, const PageImage& image, const platform::RECT& target);

// The 22-byte header for these figures.
std::vector<uint8_t> placeable_header(const platform::RECT& bounds, int units_per_inch);

}  // namespace vrt::report
