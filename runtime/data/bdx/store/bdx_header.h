// The 512-byte header at the start of a BDX file. Little-endian except the
// last-number counter, which is big-endian like the numbers inside keys.
//
//   OFFSET  SIZE  MEANING
//        0     4  zero (the header's own home offset in a shadow copy)
//        4     2  header size, 512
//        6     4  committed end: start of the shadow area
//       10     4  shadow end; equal to offset 6 when no update is pending
//       14     4  signature "wRaQ"
//       18     2  zero
//       20     4  last number issued, big-endian (records and tables)
//       24     4  change count, +1 at the end of every update
//       28     4  root page of the record tree in units; -1 when empty
//       32   240  page area starts, entry k for pages of k units (k 1..59)
//      272   240  page area ends (exclusive), entry k likewise
//
// Entry 0 holds no pages: it is empty in a file without an owner and
// [0, 1) in an encrypted one, whose unit 0 is its key block (owner_key.h).
// An encrypted file keeps the first four bytes of every image in clear
// (xts_cipher.h); the rest of its header and pages is enciphered.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vrt::data {

inline constexpr size_t kHeaderSize = 512;
// Offsets of the header's fields that the safe update reads and writes on
// their own. Every stored image (header or page) starts with its home and
// its size, which is how recovery reads a shadow copy.
inline constexpr size_t kHomeAt = 0;
inline constexpr size_t kStoredSizeAt = 4;
inline constexpr size_t kCommittedEndAt = 6;
inline constexpr size_t kShadowEndAt = 10;
inline constexpr size_t kSignatureAt = 14;
inline constexpr size_t kUnitSize = 256;
inline constexpr int kPageClasses = 60;  // entry 0 unused
inline constexpr int kMaxPageUnits = 59;
inline constexpr int32_t kNoRoot = -1;
// Units whose offset still fits the 32-bit offsets of the header and pages.
inline constexpr uint32_t kMaxUnits = (0xFFFFFFFFu - kHeaderSize) / kUnitSize;

inline uint64_t unit_offset(uint32_t unit) { return kHeaderSize + uint64_t{kUnitSize} * unit; }

struct BdxHeader {
  uint32_t reserved0 = 0;
  uint16_t header_size = kHeaderSize;
  uint32_t committed_end = 0;
  uint32_t shadow_end = 0;
  uint16_t reserved18 = 0;
  uint8_t last_number[4] = {0, 0, 0, 0};
  uint32_t change_count = 1;
  int32_t root = kNoRoot;
  uint32_t area_start[kPageClasses] = {};
  uint32_t area_end[kPageClasses] = {};

  // The first unit past every area (and past the key block).
  uint32_t units_end() const;
  bool has_key_block() const { return area_end[0] != 0; }
  void reserve_key_block() { area_start[0] = 0, area_end[0] = 1; }
  // The class whose area holds the unit, or 0.
  int class_of(uint32_t unit) const;
};

void encode_header(const BdxHeader& header, uint8_t out[kHeaderSize]);

// Reads a header from untrusted bytes. Returns false when the bytes are not
// a BDX header (too short, wrong signature) or its areas do not make sense
// (overlapping, not whole pages, root outside them).
bool decode_header(const uint8_t* bytes, size_t size, BdxHeader* header);

// Advances the last-number counter (big-endian, carrying upward) and returns
// the new number; false when the first byte would reach 254.
bool take_next_number(uint8_t last_number[4], uint32_t* number);

}  // namespace vrt::data
