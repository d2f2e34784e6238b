// Page placement in the class areas. Pages of k units live in the area of
// class k, in slots at start_k + m x k. The areas lie one after another in
// class order; when an area must grow and the next one is in the way, that
// area's first slots are emptied by moving their pages to its end (which may
// move the area after it in turn), and its start goes up.
//
// Free slots are known in memory only: they are found by walking the index
// pages the first time an update needs a place, and kept up to date as
// pages are freed and placed.
#include <algorithm>

#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/page_store.h"

namespace vrt::data {

void PageStore::build_free_slots() {
  std::vector<std::pair<uint32_t, int>> used;
  collect_units(&used);
  std::vector<std::vector<uint32_t>> in_use(kPageClasses);
  for (auto [unit, k] : used) in_use[k].push_back(unit);
  free_slots_.assign(kPageClasses, {});
  for (int k = 1; k <= kMaxPageUnits; ++k) {
    std::sort(in_use[k].begin(), in_use[k].end());
    for (uint32_t u = header_.area_start[k]; u < header_.area_end[k]; u += static_cast<uint32_t>(k))
      if (!std::binary_search(in_use[k].begin(), in_use[k].end(), u)) free_slots_[k].push_back(u);
    // Lowest slots are taken first.
    std::reverse(free_slots_[k].begin(), free_slots_[k].end());
  }
  free_known_ = true;
}

void PageStore::release_slot(uint32_t unit, int units) {
  unpark(unit);
  if (free_known_ && units > 0) free_slots_[units].push_back(unit);
}

uint32_t PageStore::allocate_slot(int units) {
  if (units < 1 || units > kMaxPageUnits) fail_internal(kFailPageTooLarge);
  if (!free_known_) build_free_slots();
  if (free_slots_[units].empty()) grow_area(units);
  uint32_t u = free_slots_[units].back();
  free_slots_[units].pop_back();
  return u;
}

void PageStore::grow_area(int k) {
  uint32_t* start = header_.area_start;
  uint32_t* end = header_.area_end;
  if (start[k] == end[k]) {
    // An empty area begins after the last non-empty area below it (and
    // after the key block of an encrypted file).
    uint32_t base = end[0];
    for (int j = 1; j < k; ++j)
      if (start[j] < end[j]) base = std::max(base, end[j]);
    start[k] = end[k] = base;
  }
  uint32_t uk = static_cast<uint32_t>(k);
  int next = 0;
  for (int j = k + 1; j <= kMaxPageUnits && !next; ++j)
    if (start[j] < end[j]) next = j;
  if (uint64_t{end[k]} + uk > kMaxUnits) fail_internal(kFailAreaFull);
  if (next && start[next] < end[k] + uk) {
    uint32_t uj = static_cast<uint32_t>(next);
    uint32_t need = end[k] + uk - start[next];
    uint32_t shift = (need + uj - 1) / uj * uj;
    uint32_t old_start = start[next];
    uint32_t new_start = old_start + shift;
    uint32_t region_end = std::min(new_start, end[next]);
    std::vector<uint32_t> to_move;
    auto& free_j = free_slots_[next];
    for (uint32_t u = old_start; u < region_end; u += uj) {
      auto it = std::find(free_j.begin(), free_j.end(), u);
      if (it != free_j.end()) free_j.erase(it);
      else to_move.push_back(u);
    }
    // The pages to move are read while their units still lie in their area.
    for (uint32_t u : to_move) page(u, -1);
    start[next] = new_start;
    if (end[next] < new_start) end[next] = new_start;
    free_slots_[k].push_back(end[k]);
    end[k] += uk;
    for (uint32_t u : to_move) move_page(u, allocate_slot(next));
    return;
  }
  free_slots_[k].push_back(end[k]);
  end[k] += uk;
}

void PageStore::move_page(uint32_t from, uint32_t to) {
  Page& p = page(from);
  bool clean = !p.dirty;
  unpark(from);
  set_reference(p, to);
  cache_.rekey(&p, to);
  mark_dirty(p);
  // An area that grows a long way (a BUILD of a key) moves many pages of
  // the areas above, which need not all wait in memory for the commit.
  // Nobody holds an unchanged page's place across a move.
  if (clean) let_go(p);
}

bool PageStore::let_go(Page& p) {
  // A new file's pages wait for the commit, which writes its header first.
  if (!updating_ || !header_on_disk_ || is_provisional(p.unit)) return false;
  std::vector<uint8_t> bytes;
  uint32_t unit = p.unit;
  if (!encode_page(p, unit, &bytes) || bytes.size() / kUnitSize != static_cast<size_t>(header_.class_of(unit)))
    return false;  // the commit places it
  if (unit >= committed_units_end_) write_exact(unit_offset(unit), bytes.data(), bytes.size());
  else parked_[unit] = std::move(bytes);
  p.dirty = false;
  cache_.erase(unit);
  return true;
}

void PageStore::write_finished_page(Page& p) {
  if (!updating_ || !header_on_disk_ || !p.dirty) return;
  std::vector<uint8_t> bytes;
  if (!encode_page(p, is_provisional(p.unit) ? 0 : p.unit, &bytes)) fail_internal(kFailPageTooLarge);
  int k = static_cast<int>(bytes.size() / kUnitSize);
  if (is_provisional(p.unit) || header_.class_of(p.unit) != k) {
    uint32_t to = allocate_slot(k);
    // Growing an area may have moved this very page: its place and class
    // are taken after the allocation.
    uint32_t from = p.unit;
    int current = is_provisional(from) ? 0 : header_.class_of(from);
    set_reference(p, to);
    cache_.rekey(&p, to);
    if (current) release_slot(from, current);
  }
  let_go(p);
}

void PageStore::place_dirty_pages() {
  std::vector<uint8_t> bytes;
  for (;;) {
    bool moved = false;
    for (Page* p : cache_.dirty_pages()) {
      if (!p->dirty) continue;
      if (!encode_page(*p, is_provisional(p->unit) ? 0 : p->unit, &bytes)) fail_internal(kFailPageTooLarge);
      int k = static_cast<int>(bytes.size() / kUnitSize);
      int current = is_provisional(p->unit) ? 0 : header_.class_of(p->unit);
      if (current == k) continue;
      uint32_t to = allocate_slot(k);
      // Growing an area may have moved this very page: its place and class
      // are taken after the allocation.
      uint32_t from = p->unit;
      current = is_provisional(from) ? 0 : header_.class_of(from);
      set_reference(*p, to);
      cache_.rekey(p, to);
      if (current) release_slot(from, current);
      moved = true;
    }
    if (!moved) return;
  }
}

}  // namespace vrt::data
