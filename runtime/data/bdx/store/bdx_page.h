// One page of the record tree, in memory and on disk.
//
// On disk (little-endian):
//   OFFSET  SIZE  MEANING
//        0     4  the page's own file offset, 512 + 256 x unit
//        4     2  stored size, header included
//        6     2  uncompressed size, header included
//        8     2  size bound: 13 + sum(record length + 5), + 4 per record
//                 in an index page; never below the uncompressed size
//       10     2  number of records
//       12     1  level: 0 leaf, 1 and up index
//       13  4 x n index pages only: the child unit of each record
//   then the records, the body compressed when that saves a unit, then
//   filler 0xB0 to the end of the last unit.
//
// A record: flag byte (bit 7: a 2-byte record length follows, bit 6: a
// 2-byte key length follows, bits 0-5: bytes shared with the previous
// record), the lengths present (record length first), then the record's
// bytes past the shared ones.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/data/bdx/store/page_compression.h"
#include "runtime/data/bdx/store/page_records.h"

namespace vrt::data {

inline constexpr size_t kPageHeaderSize = 13;
inline constexpr size_t kMaxStoredPage = 15104;   // 59 units
inline constexpr size_t kMaxRecordLength = 15093;  // below 15094
inline constexpr uint32_t kSplitBound = 15094;
inline constexpr uint32_t kSplitSoftBound = 4096;
inline constexpr size_t kSplitSoftCount = 20;
inline constexpr size_t kMaxSharedPrefix = 63;

// Orders keys as unsigned bytes, a shorter key first when it is a prefix.
int compare_keys(std::string_view a, std::string_view b);

struct Page {
  uint32_t unit = 0;  // home unit (or a provisional id for a new page)
  uint8_t level = 0;
  PageRecords records;
  std::vector<uint32_t> children;  // index pages: one child unit per record
  bool dirty = false;
  uint64_t stamp = 0;  // new whenever the page is loaded or changed (page_cache.h)
  // The last encoding of the page and the stamp it was made at: a page
  // encoded to find its size class is not encoded again to be written.
  mutable std::vector<uint8_t> encoded;
  mutable uint64_t encoded_stamp = 0;

  bool is_leaf() const { return level == 0; }
  uint32_t size_bound() const;
  bool needs_split() const;
  // First record whose key is not less than key.
  size_t lower_bound(std::string_view key) const;
  // Index pages: the child to follow for key (the last whose first key is
  // not greater than key; the first child when key is below them all).
  size_t child_for(std::string_view key) const;
};

// Lays the page out for the disk at its unit: header, records, body
// compression by the unit rule, filler. Returns false when the page is too
// large to store.
bool encode_page(const Page& page, uint32_t unit, std::vector<uint8_t>* out);

// Page decoding failures.
enum PageFault {
  kPageOk = 0,
  kPageBadHeader,      // offset, sizes or count do not fit
  kPageBadBody,        // the body does not decompress to its stated size
  kPageBadRecords,     // the records do not end exactly at the stated size
  kPageRecordTooLong,  // a record over the limit
  kPageOutOfOrder,     // keys not ascending
  kPageNotLeaf,        // an index page where a leaf was sought
};

// The stored size of the page starting at bytes (to read the rest of it);
// 0 when the first bytes cannot be a page.
size_t stored_page_size(const uint8_t* bytes, size_t size);

// Decodes untrusted bytes read at the unit into a page.
PageFault decode_page(const uint8_t* bytes, size_t size, uint32_t unit, Page* page);

// Marks in the stored bytes of a page, about every kStep records, or every
// kBytes of records when they are long (a lookup then reads past fewer
// whole records, for a few marks more on pages of few records): where a
// record starts and what reading on from there needs (the expansion's
// state, the lengths carried over, the head of the record before), with
// the record's key. A lookup then starts at the last mark below its key
// rather than at the first record. Made by reading the whole page once, and
// good for those bytes only.
struct PageGuide {
  static constexpr size_t kStep = 8;
  static constexpr size_t kBytes = 400;
  struct Mark {
    uint32_t index = 0, pos = 0;
    uint16_t record_length = 0, key_length = 0;  // of the record before
    BodyExpander::State body;
    // In text: the head of the record before, then this record's key.
    uint32_t at = 0;
    uint16_t before_size = 0, key_size = 0;
    // The key's first 8 bytes as a number, which mostly decides a
    // comparison without reading the text.
    uint64_t key_head = 0;
  };
  // The last mark whose key is below key (or equal to it, with or_equal):
  // the records before it are too. Null when there is none.
  const Mark* last_below(std::string_view key, bool or_equal) const;
  std::vector<Mark> marks;
  std::string text;
  std::string_view before(const Mark& m) const { return std::string_view(text).substr(m.at, m.before_size); }
  std::string_view key(const Mark& m) const {
    return std::string_view(text).substr(m.at + m.before_size, m.key_size);
  }
  size_t bytes() const { return sizeof(PageGuide) + marks.capacity() * sizeof(Mark) + text.capacity(); }
};

// Reads the untrusted bytes of a page whole, checking them as decoding
// does, and marks them.
PageFault guide_stored_page(const uint8_t* bytes, size_t size, uint32_t unit, PageGuide* guide);

// The first record with a key not less than key (greater when strictly)
// in the untrusted bytes of a leaf page, its records read only up to it: a
// lookup needs one record, not the page decoded. *found is false when every
// record of the page is below; the records past the one found are not
// checked. With a guide made from these bytes, the records before the last
// mark below the key are not read at all.
PageFault seek_in_stored_leaf(const uint8_t* bytes, size_t size, uint32_t unit, std::string_view key,
                              bool strictly, PageRecord* out, bool* found, const PageGuide* guide = nullptr);

// The child the untrusted stored bytes of an index page send key to, as
// Page::child_for finds it, with the keys of that record and the next
// (the keys that lead to the child lie from the one to the other).
struct IndexStep {
  uint8_t level = 0;
  size_t index = 0;
  uint32_t child = 0;
  std::string first, next;
  bool has_next = false;
};
PageFault child_in_stored_index(const uint8_t* bytes, size_t size, uint32_t unit, std::string_view key,
                                const PageGuide* guide, IndexStep* out);

}  // namespace vrt::data
