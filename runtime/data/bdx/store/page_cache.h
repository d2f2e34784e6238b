// Decoded pages kept in memory: 100 hash chains keyed by unit (unit modulo
// 100) and a least-recently-used order.
//
// Release rules (trim): up to 19 pages are always kept; from 100 pages on
// the least recently used one is released; in between it is released only
// while it has gone unused for long compared with the average page (more
// than three times the mean age, counted in lookups). Dirty pages are never
// released: they belong to the update in progress, and once met by trim
// they are set aside and not counted until they are clean again.
//
// Beneath the decoded pages, the cache keeps the stored bytes of pages read
// or written (up to a budget), so that a page released and needed again is
// decoded from memory rather than read from the file. They are dropped with
// the decoded pages whenever those are (another process changed the file,
// an update was abandoned or recovered), and a write over them replaces
// them.
//
// Every page carries a stamp, new whenever it is loaded, created or marked
// changed, so that a reader that remembered a page (a cursor) can tell that
// it is still the same page with the same records.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/data/bdx/store/bdx_page.h"

namespace vrt::data {

class PageCache {
 public:
  static constexpr size_t kChains = 100;
  static constexpr size_t kAlwaysKept = 19;
  static constexpr size_t kHardLimit = 100;

  PageCache() = default;
  ~PageCache();
  PageCache(const PageCache&) = delete;
  PageCache& operator=(const PageCache&) = delete;

  // The page of the unit, made most recently used; null when absent.
  Page* find(uint32_t unit);
  // The unit must not be cached already.
  Page* insert(std::unique_ptr<Page> page);
  // Re-files a page under a new unit (the page's unit field is set too).
  void rekey(Page* page, uint32_t new_unit);
  void erase(uint32_t unit);
  // Applies the release rules.
  void trim();
  // Drops every page, dirty ones too.
  void clear();
  size_t size() const { return count_; }
  // Every cached page, in no particular order.
  std::vector<Page*> pages() const;
  std::vector<Page*> dirty_pages() const;
  // A stamp no page has had yet.
  uint64_t new_stamp() { return ++stamps_; }
  // Counts the changes that may send a key to another leaf: pages dropped,
  // re-filed or made, separators changed. While it stays, a leaf found for
  // a range of keys is where those keys still lead.
  uint64_t shape() const { return shape_; }
  void reshape() { ++shape_; }

  // The stored bytes of the page at the unit, when kept; null otherwise.
  const std::vector<uint8_t>* image(uint32_t unit) const;
  void keep_image(uint32_t unit, const uint8_t* bytes, size_t size);
  // Room for the image of a page about to be read, so that the read lands
  // where it is kept; null when it cannot be kept. A read that fails must
  // drop_image it.
  uint8_t* image_to_fill(uint32_t unit, size_t size);
  void drop_image(uint32_t unit);
  // A kept image was used again: the budget lets the images go in the
  // order they came, but an image used since gets another round.
  void use_image(uint32_t unit);
  // The guide to the kept image of a page, made on the second lookup in it
  // (a page looked up once need not be read whole); null while there is
  // none. It goes with the image.
  const PageGuide* guide(uint32_t unit);
  // Bytes were written to the file at the offset: images they overlap are
  // dropped, and a whole page written at its own offset is kept.
  void note_write(uint64_t offset, const uint8_t* bytes, size_t size);
  static constexpr size_t kImageBudget = size_t{32} << 20;

 private:
  // The page lives in its entry, so that a lookup reaches it without a
  // second pointer; the entries form the lists themselves: the
  // recently-used order, and the dirty pages that trim set aside.
  struct Entry {
    Page page;
    uint64_t last_use = 0;
    Entry* newer = nullptr;
    Entry* older = nullptr;
    uint8_t list = 0;
  };
  struct List {
    Entry* newest = nullptr;
    Entry* oldest = nullptr;
    size_t size = 0;
  };
  static constexpr int kRecent = 0;
  static constexpr int kSetAside = 1;
  // A chain keeps its units beside the entries, in order: a search reads
  // one array.
  using Chain = std::vector<std::pair<uint32_t, Entry*>>;
  Chain& chain(uint32_t unit) { return chains_[unit % kChains]; }
  static Chain::iterator locate(Chain& chain, uint32_t unit);
  Entry* detach(uint32_t unit);  // out of its chain only
  void link(Entry* e, int list, bool front);
  void unlink(Entry* e);
  void use(Entry* e);
  void release(Entry* e);

  Chain chains_[kChains];
  List lists_[2];
  size_t count_ = 0;
  uint64_t clock_ = 0;
  uint64_t use_sum_ = 0;  // sum of last_use over the entries, for the mean age
  uint64_t stamps_ = 0;
  uint64_t shape_ = 1;
  // Images by unit (empty: none), for units below kImageUnits (files of a
  // gigabyte); the table grows with the units met.
  static constexpr uint32_t kImageUnits = 1u << 22;
  std::vector<std::vector<uint8_t>> images_;
  // Guides by unit, beside the images, counted in their budget; an entry
  // not made yet stands for the first lookup.
  struct Guide {
    bool made = false;
    PageGuide page;
  };
  std::vector<std::unique_ptr<Guide>> guides_;
  void drop_guide(uint32_t unit);
  std::vector<bool> image_used_;
  // The storage of the last image let go, for the next one: a scan that
  // reads more than the budget holds would otherwise free and allocate a
  // page's bytes for every page.
  std::vector<uint8_t> spare_;
  std::deque<uint32_t> image_order_;  // oldest first; may name dropped ones
  size_t image_bytes_ = 0;
  size_t image_count_ = 0;
  // Every kept image lies below this unit and spans at most this many.
  uint64_t image_end_ = 0;
  uint64_t image_span_ = 0;
};

}  // namespace vrt::data
