#include "runtime/data/bdx/store/record_tree.h"

#include "runtime/data/driver/driver_failure.h"

namespace vrt::data {

namespace {
constexpr int kMaxLevels = 32;

void check_record(std::string_view key, std::string_view data) {
  if (key.size() + data.size() > kMaxRecordLength) fail_internal(kFailRecordTooLarge);
}
}  // namespace

void RecordTree::Range::narrow(const Page& index, size_t i) {
  // The child gets the keys from its first key (the first child: all below
  // too) up to the next child's first key.
  if (i > 0) lower = index.records[i].key(), has_lower = true;
  if (i + 1 < index.records.size()) upper = index.records[i + 1].key(), has_upper = true;
}

void RecordTree::remember(std::string_view key, uint32_t leaf, const Range& range) {
  PageStore::LeafHint& h = store_.leaf_hint(key);
  h.shape = store_.cache().shape();
  h.unit = leaf;
  h.has_lower = range.has_lower;
  h.has_upper = range.has_upper;
  if (range.has_lower) h.lower.assign(range.lower);
  if (range.has_upper) h.upper.assign(range.upper);
}

Page* RecordTree::hinted_leaf(std::string_view key) {
  const PageStore::LeafHint& h = store_.leaf_hint(key);
  if (h.shape != store_.cache().shape()) return nullptr;
  if (h.has_lower && compare_keys(key, h.lower) < 0) return nullptr;
  if (h.has_upper && compare_keys(key, h.upper) >= 0) return nullptr;
  Page* p = store_.cache().find(h.unit);
  return p && p->level == 0 ? p : nullptr;
}

void RecordTree::Range::narrow(const IndexStep& step) {
  if (step.index > 0) lower = lower_kept.assign(step.first), has_lower = true;
  if (step.has_next) upper = upper_kept.assign(step.next), has_upper = true;
}

uint32_t RecordTree::leaf_unit(std::string_view key, Range* range, std::vector<Step>* path) {
  uint32_t unit = static_cast<uint32_t>(store_.header().root);
  Page* p = &store_.page(unit);
  if (p->level > kMaxLevels) fail_internal(kFailTreeShape);
  for (int level = p->level; level > 0;) {
    if (p) {
      size_t i = p->child_for(key);
      range->narrow(*p, i);
      if (path) path->push_back({p, i});
      unit = p->children[i];
    } else {
      store_.child_in_stored_index(unit, level, key, &step_);
      range->narrow(step_);
      unit = step_.child;
    }
    if (--level == 0) break;
    // An index page that is not cached is read where it is stored, unless
    // the path must hold it.
    p = path ? &store_.page(unit, level) : store_.cache().find(unit);
    if (p && p->level != level) fail_internal(kFailTreeShape);
  }
  return unit;
}

Page* RecordTree::descend(std::string_view key, std::vector<Step>* path) {
  if (store_.header().root == kNoRoot) return nullptr;
  if (!path)
    if (Page* leaf = hinted_leaf(key)) return leaf;
  Range range;
  uint32_t unit = leaf_unit(key, &range, path);
  Page* leaf = &store_.page(unit, 0);
  remember(key, unit, range);
  return leaf;
}

Page* RecordTree::leftmost(uint32_t unit, int level) {
  Page* p = &store_.page(unit, level);
  while (p->level > 0) p = &store_.page(p->children.front(), p->level - 1);
  return p;
}

Page* RecordTree::rightmost(uint32_t unit, int level) {
  Page* p = &store_.page(unit, level);
  while (p->level > 0) p = &store_.page(p->children.back(), p->level - 1);
  return p;
}

std::optional<RecordView> RecordTree::find_ref(std::string_view key) {
  std::optional<RecordView> r = seek_ref(key, false, true);
  if (r && compare_keys(r->key(), key) == 0) return r;
  return std::nullopt;
}

std::optional<RecordView> RecordTree::seek_in_leaf(std::string_view key, bool strictly) {
  if (store_.header().root == kNoRoot) return std::nullopt;
  Page* leaf = hinted_leaf(key);
  if (!leaf) {
    Range range;
    uint32_t unit = leaf_unit(key, &range, nullptr);
    if (unit == static_cast<uint32_t>(store_.header().root)) return std::nullopt;
    // A leaf met twice running is decoded and cached: lookups in key order
    // find their records there; lookups at random keep reading only what
    // they want.
    leaf = store_.cache().find(unit);
    if (!leaf && store_.stored_leaf_met_again(unit)) leaf = &store_.page(unit, 0);
    if (!leaf) {
      if (!store_.seek_in_stored_leaf(unit, key, strictly, &found_)) return std::nullopt;
      return found_.view();
    }
    if (leaf->level != 0) fail_internal(kFailTreeShape);
    remember(key, unit, range);
  }
  size_t i = leaf->lower_bound(key);
  if (strictly && i < leaf->records.size() && compare_keys(leaf->records[i].key(), key) == 0) ++i;
  if (i < leaf->records.size()) return leaf->records[i];
  return std::nullopt;
}

char* RecordTree::find_for_change(std::string_view key, size_t* data_size) {
  Page* leaf = descend(key, nullptr);
  if (!leaf) return nullptr;
  size_t i = leaf->lower_bound(key);
  if (i == leaf->records.size() || compare_keys(leaf->records[i].key(), key) != 0) return nullptr;
  store_.mark_dirty(*leaf);
  *data_size = leaf->records[i].data().size();
  return leaf->records.data_for_change(i);
}

bool RecordTree::find(std::string_view key, PageRecord* out) {
  std::optional<RecordView> r = find_ref(key);
  if (r && out) *out = *r;
  return r.has_value();
}

std::optional<RecordView> RecordTree::seek_ref(std::string_view key, bool strictly, bool forward, TreeCursor* cursor) {
  if (cursor && cursor->stamp) {
    Page* p = store_.cache().find(cursor->unit);
    size_t i = cursor->index;
    if (p && p->stamp == cursor->stamp && i < p->records.size() && p->records[i].key() == key) {
      if (!strictly) return p->records[i];
      if (forward ? i + 1 < p->records.size() : i > 0) {
        cursor->index = forward ? i + 1 : i - 1;
        return p->records[cursor->index];
      }
    }
  }
  // A lookup that keeps no place descends once, and reads a leaf that is
  // not cached only up to the record it wants.
  if (!cursor && forward)
    if (std::optional<RecordView> r = seek_in_leaf(key, strictly)) return r;
  auto found = [&](Page* p, size_t index) -> std::optional<RecordView> {
    if (cursor) *cursor = TreeCursor{p->unit, p->stamp, index};
    return p->records[index];
  };
  // The record within the leaf for key, if it is there.
  auto in_leaf = [&](Page* leaf) -> std::optional<RecordView> {
    size_t i = leaf->lower_bound(key);  // records before i are less than key
    bool equal = i < leaf->records.size() && compare_keys(leaf->records[i].key(), key) == 0;
    if (forward) {
      if (strictly && equal) ++i;
      if (i < leaf->records.size()) return found(leaf, i);
    } else {
      if (!strictly && equal) return found(leaf, i);
      if (i > 0) return found(leaf, i - 1);
    }
    return std::nullopt;
  };
  if (Page* leaf = hinted_leaf(key))
    if (std::optional<RecordView> r = in_leaf(leaf)) return r;
  std::vector<Step> path;
  Page* leaf = descend(key, &path);
  if (!leaf) return std::nullopt;
  if (std::optional<RecordView> r = in_leaf(leaf)) return r;
  // On to the neighbouring leaf.
  while (!path.empty()) {
    Step s = path.back();
    path.pop_back();
    if (forward && s.index + 1 < s.page->children.size())
      return found(leftmost(s.page->children[s.index + 1], s.page->level - 1), 0);
    if (!forward && s.index > 0) {
      Page* p = rightmost(s.page->children[s.index - 1], s.page->level - 1);
      return found(p, p->records.size() - 1);
    }
  }
  return std::nullopt;
}

bool RecordTree::seek(std::string_view key, bool strictly, PageRecord* out) {
  std::optional<RecordView> r = seek_ref(key, strictly, true);
  if (r) *out = *r;
  return r.has_value();
}

bool RecordTree::seek_back(std::string_view key, bool strictly, PageRecord* out) {
  std::optional<RecordView> r = seek_ref(key, strictly, false);
  if (r) *out = *r;
  return r.has_value();
}

bool RecordTree::first(PageRecord* out) {
  if (store_.header().root == kNoRoot) return false;
  *out = leftmost(static_cast<uint32_t>(store_.header().root), -1)->records.front();
  return true;
}

bool RecordTree::last(PageRecord* out) {
  if (store_.header().root == kNoRoot) return false;
  *out = rightmost(static_cast<uint32_t>(store_.header().root), -1)->records.back();
  return true;
}

void RecordTree::fix_first_keys(std::vector<Step>& path, Page* child) {
  for (size_t n = path.size(); n > 0; --n) {
    Step& s = path[n - 1];
    std::string_view first = child->records.front().key();
    if (s.page->records[s.index].key() == first) return;
    store_.cache().reshape();
    s.page->records.replace(s.index, first, {});
    store_.mark_dirty(*s.page);
    if (s.index != 0) return;
    child = s.page;
  }
}

bool RecordTree::insert(std::string_view key, std::string_view data) {
  check_record(key, data);
  std::vector<Step> path;
  // The leaf is found without decoding the index pages above it, unless
  // the record becomes its first, which changes the first keys above it:
  // that needs the path.
  Page* leaf = descend(key, nullptr);
  size_t i = leaf ? leaf->lower_bound(key) : 0;
  if (i == 0) leaf = descend(key, &path);
  if (!leaf) {
    Page& root = store_.new_page(0);
    root.records.insert(0, key, data);
    store_.header().root = static_cast<int32_t>(root.unit);
    return true;
  }
  if (i == 0) i = leaf->lower_bound(key);
  if (i < leaf->records.size() && compare_keys(leaf->records[i].key(), key) == 0) return false;
  std::string& previous = store_.last_inserted_key();
  bool in_sequence = i > 0 && leaf->records[i - 1].key() == previous;
  previous.assign(key);
  leaf->records.insert(i, key, data);
  store_.mark_dirty(*leaf);
  if (i == 0) fix_first_keys(path, leaf);
  split_if_needed(*leaf, in_sequence ? i : kMiddle);
  for (Page* page : finished_) store_.write_finished_page(*page);
  finished_.clear();
  return true;
}

bool RecordTree::replace(std::string_view key, std::string_view data) {
  Page* leaf = descend(key, nullptr);
  if (!leaf) return false;
  size_t i = leaf->lower_bound(key);
  if (i == leaf->records.size() || compare_keys(leaf->records[i].key(), key) != 0) return false;
  check_record(key, data);
  leaf->records.replace(i, key, data);
  store_.mark_dirty(*leaf);
  split_if_needed(*leaf);
  return true;
}

void RecordTree::split_if_needed(Page& page, size_t at) {
  Page* p = &page;
  while (p->needs_split()) {
    size_t n = p->records.size();
    size_t middle = n / 2;  // the root record of the page's balanced tree
    size_t left = middle, right = n - middle - 1;
    size_t cut = left < right ? middle + 1 : middle;  // the middle goes to the smaller half
    // Records arriving in key order (APPEND, ADD with rising numbers, a
    // key built from sorted entries) are not split in the middle, which
    // would leave every page half empty: the records after the new one go
    // to the new page, or the new one alone when it is the last, and the
    // records before it stay where they are, full.
    bool in_sequence = at > 0 && at < n;
    if (in_sequence) cut = at + 1 < n ? at + 1 : at;
    // The new record alone goes on: the page before it is finished.
    if (in_sequence && cut == at) finished_.push_back(p);
    at = kMiddle;
    Page& q = store_.new_page(p->level);
    q.records.append_from(p->records, cut, n);
    p->records.truncate(cut);
    if (p->level > 0) {
      q.children.assign(p->children.begin() + static_cast<long>(cut), p->children.end());
      p->children.resize(cut);
    }
    store_.mark_dirty(*p);
    std::string_view sep = q.records.front().key();
    size_t pos;
    Page* parent = store_.parent_of(*p, &pos);
    size_t parent_at = in_sequence ? pos + 1 : kMiddle;
    if (!parent) {
      Page& root = store_.new_page(static_cast<uint8_t>(p->level + 1));
      root.records.insert(0, p->records.front().key(), {});
      root.records.insert(1, sep, {});
      root.children = {p->unit, q.unit};
      store_.header().root = static_cast<int32_t>(root.unit);
    } else {
      parent->records.insert(pos + 1, sep, {});
      parent->children.insert(parent->children.begin() + static_cast<long>(pos + 1), q.unit);
      store_.mark_dirty(*parent);
    }
    split_if_needed(q);
    if (parent) split_if_needed(*parent, parent_at);
  }
}

bool RecordTree::erase(std::string_view key) {
  std::vector<Step> path;
  // The leaf is found without decoding the index pages above it, unless
  // the record is its first or its only one, whose going changes the index
  // pages above it: that needs the path.
  Page* leaf = descend(key, nullptr);
  if (!leaf) return false;
  size_t i = leaf->lower_bound(key);
  if (i == 0 || leaf->records.size() < 2) {
    leaf = descend(key, &path);  // the same leaf, with the path to it
    i = leaf->lower_bound(key);
  }
  if (i == leaf->records.size() || compare_keys(leaf->records[i].key(), key) != 0) return false;
  leaf->records.erase(i);
  store_.mark_dirty(*leaf);
  if (leaf->records.empty()) remove_empty(path, leaf);
  else if (i == 0) fix_first_keys(path, leaf);
  collapse_root();
  return true;
}

void RecordTree::remove_empty(std::vector<Step>& path, Page* page) {
  while (page->records.empty()) {
    store_.free_page(*page);
    if (path.empty()) return;  // the root went: the tree is empty
    Step s = path.back();
    path.pop_back();
    Page* parent = s.page;
    parent->records.erase(s.index);
    parent->children.erase(parent->children.begin() + static_cast<long>(s.index));
    store_.mark_dirty(*parent);
    if (!parent->records.empty()) {
      if (s.index == 0) fix_first_keys(path, parent);
      return;
    }
    page = parent;
  }
}

void RecordTree::collapse_root() {
  while (store_.header().root != kNoRoot) {
    Page& root = store_.page(static_cast<uint32_t>(store_.header().root));
    if (root.level == 0 || root.children.size() != 1) return;
    uint32_t child = root.children.front();
    store_.free_page(root);
    store_.header().root = static_cast<int32_t>(child);
  }
}

}  // namespace vrt::data
