// Decoded pages kept in memory: 100 hash chains keyed by unit (unit modulo
// 100) and a least-recently-used order.
//
// Release rules (trim): up to 19 pages are always kept; from 100 pages on
// the least recently used one is released; in between it is released only
// while it has gone unused for long compared with the average page (more
// than three times the mean age, counted in lookups). Dirty pages are never
// released: they belong to the update in progress.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "runtime/data/bdx_page.h"

namespace vrt::data {

class PageCache {
 public:
  static constexpr size_t kChains = 100;
  static constexpr size_t kAlwaysKept = 19;
  static constexpr size_t kHardLimit = 100;

  PageCache();
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

 private:
  struct Entry {
    std::unique_ptr<Page> page;
    uint64_t last_use = 0;
    Entry* chain_next = nullptr;
    std::list<Entry*>::iterator lru;
  };
  Entry** chain_slot(uint32_t unit);
  Entry* unlink(uint32_t unit);
  void release(Entry* e);

  Entry* chains_[kChains];
  std::list<Entry*> lru_;  // front: most recently used
  size_t count_ = 0;
  uint64_t clock_ = 0;
};

}  // namespace vrt::data
