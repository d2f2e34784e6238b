#include "runtime/data/bdx/store/page_cache.h"

#include <algorithm>
#include <cstring>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

PageCache::~PageCache() { clear(); }

void PageCache::link(Entry* e, int list, bool front) {
  List& l = lists_[list];
  ++l.size;
  e->list = static_cast<uint8_t>(list);
  if (front) {
    e->older = l.newest;
    e->newer = nullptr;
    (l.newest ? l.newest->newer : l.oldest) = e;
    l.newest = e;
  } else {
    e->newer = l.oldest;
    e->older = nullptr;
    (l.oldest ? l.oldest->older : l.newest) = e;
    l.oldest = e;
  }
}

void PageCache::unlink(Entry* e) {
  List& l = lists_[e->list];
  --l.size;
  (e->newer ? e->newer->older : l.newest) = e->older;
  (e->older ? e->older->newer : l.oldest) = e->newer;
}

void PageCache::use(Entry* e) {
  use_sum_ += ++clock_ - e->last_use;
  e->last_use = clock_;
  if (e->list != kRecent || lists_[kRecent].newest != e) {
    unlink(e);
    link(e, kRecent, true);
  }
}

// A chain is kept in unit order: while an update holds thousands of pages
// the chains are long, and a search halves them.
PageCache::Chain::iterator PageCache::locate(Chain& c, uint32_t unit) {
  return std::lower_bound(c.begin(), c.end(), unit,
                          [](const std::pair<uint32_t, Entry*>& a, uint32_t u) { return a.first < u; });
}

Page* PageCache::find(uint32_t unit) {
  Chain& c = chain(unit);
  auto it = locate(c, unit);
  if (it == c.end() || it->first != unit) return nullptr;
  use(it->second);
  return &it->second->page;
}

// Callers insert only units the cache does not hold (a page just read after
// a failed find, or a new provisional unit), so no search is made.
Page* PageCache::insert(std::unique_ptr<Page> page) {
  Entry* e = new Entry;
  e->page = std::move(*page);
  e->page.stamp = new_stamp();
  e->last_use = ++clock_;
  use_sum_ += clock_;
  Chain& c = chain(e->page.unit);
  c.insert(locate(c, e->page.unit), {e->page.unit, e});
  link(e, kRecent, true);
  ++count_;
  return &e->page;
}

PageCache::Entry* PageCache::detach(uint32_t unit) {
  Chain& c = chain(unit);
  auto it = locate(c, unit);
  if (it == c.end() || it->first != unit) return nullptr;
  Entry* e = it->second;
  c.erase(it);
  return e;
}

void PageCache::rekey(Page* page, uint32_t new_unit) {
  reshape();
  Entry* e = detach(page->unit);
  if (!e) return;
  erase(new_unit);  // a stale page at the new unit
  e->page.unit = new_unit;
  Chain& c = chain(new_unit);
  c.insert(locate(c, new_unit), {new_unit, e});
}

void PageCache::release(Entry* e) {
  detach(e->page.unit);
  unlink(e);
  use_sum_ -= e->last_use;
  delete e;
  --count_;
}

void PageCache::erase(uint32_t unit) {
  reshape();
  Chain& c = chain(unit);
  auto it = locate(c, unit);
  if (it != c.end() && it->first == unit) release(it->second);
}

void PageCache::trim() {
  // Pages set aside while dirty come back once clean (a commit cleans them
  // all), as the least recently used.
  for (Entry* e = lists_[kSetAside].oldest; e && !e->page.dirty; e = lists_[kSetAside].oldest) {
    unlink(e);
    link(e, kRecent, false);
  }
  // The pages set aside are the update's, not the cache's: the limits count
  // the others.
  while (lists_[kRecent].size > kAlwaysKept) {
    // The least recently used clean page; dirty pages met on the way are
    // set aside, so that no search passes them again.
    Entry* victim = lists_[kRecent].oldest;
    while (victim && victim->page.dirty) {
      unlink(victim);
      link(victim, kSetAside, true);
      victim = lists_[kRecent].oldest;
    }
    if (!victim || lists_[kRecent].size <= kAlwaysKept) return;
    if (lists_[kRecent].size < kHardLimit) {
      uint64_t mean_age = (clock_ * count_ - use_sum_) / count_;
      if (clock_ - victim->last_use <= 3 * mean_age) return;
    }
    release(victim);
  }
}

void PageCache::clear() {
  reshape();
  for (List& l : lists_) {
    for (Entry* e = l.newest; e;) {
      Entry* next = e->older;
      delete e;
      e = next;
    }
    l = List{};
  }
  for (Chain& c : chains_) c.clear();
  count_ = 0;
  use_sum_ = 0;
  images_.clear();
  guides_.clear();
  image_used_.clear();
  image_order_.clear();
  image_bytes_ = image_count_ = 0;
  image_end_ = image_span_ = 0;
}

const std::vector<uint8_t>* PageCache::image(uint32_t unit) const {
  return unit < images_.size() && !images_[unit].empty() ? &images_[unit] : nullptr;
}

void PageCache::drop_guide(uint32_t unit) {
  if (unit >= guides_.size() || !guides_[unit]) return;
  if (guides_[unit]->made) image_bytes_ -= guides_[unit]->page.bytes();
  guides_[unit].reset();
}

const PageGuide* PageCache::guide(uint32_t unit) {
  const std::vector<uint8_t>* bytes = image(unit);
  if (!bytes) return nullptr;
  if (unit >= guides_.size()) guides_.resize(images_.size());
  std::unique_ptr<Guide>& g = guides_[unit];
  if (!g) {
    g = std::make_unique<Guide>();
    return nullptr;
  }
  if (!g->made) {
    // A page that does not read whole gets no guide: the lookup reports it.
    if (guide_stored_page(bytes->data(), bytes->size(), unit, &g->page) != kPageOk) return nullptr;
    g->made = true;
    image_bytes_ += g->page.bytes();
  }
  return &g->page;
}

void PageCache::use_image(uint32_t unit) {
  if (unit >= image_used_.size()) image_used_.resize(images_.size());
  image_used_[unit] = true;
}

void PageCache::drop_image(uint32_t unit) {
  drop_guide(unit);
  if (unit < image_used_.size()) image_used_[unit] = false;
  if (unit >= images_.size()) return;
  std::vector<uint8_t>& bytes = images_[unit];
  if (bytes.empty()) return;
  image_bytes_ -= bytes.capacity();
  spare_.clear();
  spare_.swap(bytes);
  std::vector<uint8_t>().swap(bytes);
  --image_count_;
}

void PageCache::keep_image(uint32_t unit, const uint8_t* bytes, size_t size) {
  if (uint8_t* room = image_to_fill(unit, size)) std::memmove(room, bytes, size);
}

uint8_t* PageCache::image_to_fill(uint32_t unit, size_t size) {
  if (size == 0 || size > kImageBudget || unit >= kImageUnits) return nullptr;
  if (unit >= images_.size()) images_.resize(unit + 1);
  drop_guide(unit);
  std::vector<uint8_t>& kept = images_[unit];
  // The budget counts the storage the images hold.
  size_t held = kept.capacity();
  if (kept.empty()) {
    ++image_count_;
    image_order_.push_back(unit);
    // The storage let go last serves when it is about the size wanted.
    if (spare_.capacity() >= size && spare_.capacity() - size <= size / 4) kept.swap(spare_);
  }
  kept.resize(size);
  image_bytes_ = image_bytes_ - held + kept.capacity();
  uint64_t units = (size + kUnitSize - 1) / kUnitSize;
  image_span_ = std::max(image_span_, units);
  image_end_ = std::max(image_end_, uint64_t{unit} + units);
  while (image_bytes_ > kImageBudget && !image_order_.empty()) {
    uint32_t old = image_order_.front();
    image_order_.pop_front();
    // An image used since it came (an index page on every lookup's way)
    // gets another round.
    if (old != unit && old < image_used_.size() && image_used_[old] && !images_[old].empty()) {
      image_used_[old] = false;
      image_order_.push_back(old);
      continue;
    }
    if (old != unit) drop_image(old);
  }
  // Names of dropped images pile up in the order; it is rebuilt now and then.
  if (image_order_.size() > 2 * image_count_ + 1024) {
    image_order_.clear();
    for (uint32_t u = 0; u < images_.size(); ++u)
      if (!images_[u].empty()) image_order_.push_back(u);
  }
  return kept.data();
}

void PageCache::note_write(uint64_t offset, const uint8_t* bytes, size_t size) {
  if (offset + size <= kHeaderSize || size == 0) return;
  uint64_t from = offset < kHeaderSize ? 0 : (offset - kHeaderSize) / kUnitSize;
  uint64_t to = (offset + size - kHeaderSize + kUnitSize - 1) / kUnitSize;
  // Only images that start at most one span before the write can reach it.
  uint64_t first = from >= image_span_ ? from - image_span_ : 0;
  uint64_t last = std::min<uint64_t>({to, image_end_, images_.size()});
  for (uint64_t u = first; u < last && image_count_; ++u) {
    const std::vector<uint8_t>& kept = images_[u];
    if (!kept.empty() && u + (kept.size() + kUnitSize - 1) / kUnitSize > from) drop_image(static_cast<uint32_t>(u));
  }
  bool whole_page = offset >= kHeaderSize && (offset - kHeaderSize) % kUnitSize == 0 && size % kUnitSize == 0 &&
                    size >= kUnitSize && load_le32(bytes) == offset;
  if (whole_page) keep_image(static_cast<uint32_t>(from), bytes, size);
}

std::vector<Page*> PageCache::pages() const {
  std::vector<Page*> out;
  out.reserve(count_);
  for (const List& l : lists_)
    for (Entry* e = l.newest; e; e = e->older) out.push_back(&e->page);
  return out;
}

std::vector<Page*> PageCache::dirty_pages() const {
  std::vector<Page*> out;
  for (const List& l : lists_)
    for (Entry* e = l.newest; e; e = e->older)
      if (e->page.dirty) out.push_back(&e->page);
  return out;
}

}  // namespace vrt::data
