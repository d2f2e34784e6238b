// The ordered tree of records of a BDX file: leaf pages hold the records in
// ascending key order, index pages hold, for each child, the child's first
// key and its unit. Lookups descend from the header's root; inserts split
// pages that grow too large; erasing the last record of a page removes the
// page from its parent.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/data/bdx/store/bdx_page.h"
#include "runtime/data/bdx/store/page_store.h"

namespace vrt::data {

// A reader's place in a leaf page, kept between operations: the next step
// from the record there needs no descent while the page is still cached
// with the same stamp (unchanged since) and still holds that record there.
struct TreeCursor {
  uint32_t unit = 0;
  uint64_t stamp = 0;  // 0: no place
  size_t index = 0;
};

class RecordTree {
 public:
  explicit RecordTree(PageStore& store) : store_(store) {}

  // The record with exactly this key.
  bool find(std::string_view key, PageRecord* out);
  // The first record with a key not less than key (greater than key when
  // strictly), or, backwards, the last one not greater (less when strictly).
  bool seek(std::string_view key, bool strictly, PageRecord* out);
  bool seek_back(std::string_view key, bool strictly, PageRecord* out);
  // The same lookups without a copy: the record stays valid until the
  // operation changes the tree or ends, or (read from a page not cached)
  // until this tree's next lookup.
  std::optional<RecordView> find_ref(std::string_view key);
  // With a cursor, a step from the record the cursor is at is taken in its
  // page when it can be, and the cursor is left at the record found.
  std::optional<RecordView> seek_ref(std::string_view key, bool strictly, bool forward, TreeCursor* cursor = nullptr);

  // The data bytes of the record with exactly this key, to be changed where
  // they lie (never their length); its page is marked changed. Null when
  // absent.
  char* find_for_change(std::string_view key, size_t* data_size);

  // The first and last records of the tree.
  bool first(PageRecord* out);
  bool last(PageRecord* out);

  // Inserts a new record; false when the key is already there.
  bool insert(std::string_view key, std::string_view data);
  // Replaces the data of an existing record; false when absent.
  bool replace(std::string_view key, std::string_view data);
  bool erase(std::string_view key);

 private:
  struct Step {
    Page* page;
    size_t index;  // the child followed
  };
  // Descends to the leaf for key; path receives the index pages passed.
  // Without a path, a leaf hinted for the key is taken without descending.
  Page* descend(std::string_view key, std::vector<Step>* path);
  // The keys that lead to a page, narrowed at each index page passed (an
  // index page read where it is stored lends its keys to the kept ones).
  struct Range {
    std::string_view lower, upper;
    bool has_lower = false, has_upper = false;
    std::string lower_kept, upper_kept;
    void narrow(const Page& index, size_t child);
    void narrow(const IndexStep& step);
  };
  // Descends from the root to the leaf for key, narrowing the range and,
  // with a path, noting the index pages passed; without one, index pages
  // that are not cached are read where they are stored. The root's unit
  // when it is the leaf.
  uint32_t leaf_unit(std::string_view key, Range* range, std::vector<Step>* path);
  void remember(std::string_view key, uint32_t leaf, const Range& range);
  // The cached leaf the store's hint names, when the key leads to it.
  Page* hinted_leaf(std::string_view key);
  // seek_ref forward without a cursor, within the one leaf for key: a
  // cached leaf searched where it is, a leaf that is not cached read from
  // its stored bytes; null when the tree is a single leaf or the record
  // sought lies past the leaf (the caller then goes the common way).
  std::optional<RecordView> seek_in_leaf(std::string_view key, bool strictly);
  Page* leftmost(uint32_t unit, int level);
  Page* rightmost(uint32_t unit, int level);
  void fix_first_keys(std::vector<Step>& path, Page* leaf);
  // Splits the page while it is too large: at the given record on the
  // first cut when records arrive in key order, in the middle otherwise.
  static constexpr size_t kMiddle = 0;
  void split_if_needed(Page& page, size_t at = kMiddle);
  void remove_empty(std::vector<Step>& path, Page* leaf);
  void collapse_root();

  PageStore& store_;
  // Pages an ordered fill finished during the insert in progress, written
  // out once the insert is done (no step holds them any more).
  std::vector<Page*> finished_;
  PageRecord found_;  // a record read from a page not cached
  IndexStep step_;    // a step through an index page not cached
};

}  // namespace vrt::data
