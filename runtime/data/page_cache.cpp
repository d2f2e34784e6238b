#include "runtime/data/page_cache.h"

#include <algorithm>

namespace vrt::data {

PageCache::PageCache() {
  for (Entry*& c : chains_) c = nullptr;
}

PageCache::~PageCache() { clear(); }

PageCache::Entry** PageCache::chain_slot(uint32_t unit) {
  Entry** slot = &chains_[unit % kChains];
  while (*slot && (*slot)->page->unit != unit) slot = &(*slot)->chain_next;
  return slot;
}

Page* PageCache::find(uint32_t unit) {
  Entry** slot = chain_slot(unit);
  Entry* e = *slot;
  if (!e) return nullptr;
  // Found pages move to the head of their chain: while an update holds
  // many pages the chains grow, and the pages in use stay quick to find.
  Entry** head = &chains_[unit % kChains];
  if (slot != head) {
    *slot = e->chain_next;
    e->chain_next = *head;
    *head = e;
  }
  e->last_use = ++clock_;
  lru_.splice(lru_.begin(), lru_, e->lru);
  return e->page.get();
}

// Callers insert only units the cache does not hold (a page just read after
// a failed find, or a new provisional unit), so the page goes to the head of
// its chain without a search.
Page* PageCache::insert(std::unique_ptr<Page> page) {
  Entry** head = &chains_[page->unit % kChains];
  Entry* e = new Entry;
  e->page = std::move(page);
  e->last_use = ++clock_;
  e->chain_next = *head;
  *head = e;
  lru_.push_front(e);
  e->lru = lru_.begin();
  ++count_;
  return e->page.get();
}

PageCache::Entry* PageCache::unlink(uint32_t unit) {
  Entry** slot = chain_slot(unit);
  Entry* e = *slot;
  if (e) *slot = e->chain_next;
  return e;
}

void PageCache::rekey(Page* page, uint32_t new_unit) {
  Entry* e = unlink(page->unit);
  if (!e) return;
  e->page->unit = new_unit;
  e->chain_next = nullptr;
  Entry** slot = chain_slot(new_unit);
  if (*slot) release(*slot);  // a stale page at the new unit
  slot = chain_slot(new_unit);
  *slot = e;
}

void PageCache::release(Entry* e) {
  Entry* u = unlink(e->page->unit);
  (void)u;
  lru_.erase(e->lru);
  delete e;
  --count_;
}

void PageCache::erase(uint32_t unit) {
  Entry* e = *chain_slot(unit);
  if (e) release(e);
}

void PageCache::trim() {
  while (count_ > kAlwaysKept) {
    // The least recently used clean page; dirty pages met on the way go to
    // the front, so that the next search does not pass them again.
    Entry* victim = nullptr;
    // At most a few are passed per release, so that a cache full of held
    // updates costs little per operation.
    for (size_t passed = 0; passed < std::min<size_t>(count_, 64) && !victim; ++passed) {
      Entry* e = lru_.back();
      if (e->page->dirty) lru_.splice(lru_.begin(), lru_, e->lru);
      else victim = e;
    }
    if (!victim) return;
    if (count_ < kHardLimit) {
      uint64_t total_age = 0;
      for (Entry* e : lru_) total_age += clock_ - e->last_use;
      uint64_t mean_age = total_age / count_;
      if (clock_ - victim->last_use <= 3 * mean_age) return;
    }
    release(victim);
  }
}

void PageCache::clear() {
  for (Entry* e : lru_) delete e;
  lru_.clear();
  for (Entry*& c : chains_) c = nullptr;
  count_ = 0;
}

std::vector<Page*> PageCache::pages() const {
  std::vector<Page*> out;
  out.reserve(count_);
  for (Entry* e : lru_) out.push_back(e->page.get());
  return out;
}

std::vector<Page*> PageCache::dirty_pages() const {
  std::vector<Page*> out;
  for (Entry* e : lru_)
    if (e->page->dirty) out.push_back(e->page.get());
  return out;
}

}  // namespace vrt::data
