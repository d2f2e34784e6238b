// Reading one file of a view in the order of one of its keys, limited by
// the ranges the filter gives the key's components: the scan starts at the
// first entry that can match, jumps over runs of entries that cannot (to the
// next possible key value) instead of reading them, and ends as soon as the
// leading fixed components have passed their bounds. Every row it admits is
// still tested against the whole filter.
#pragma once
#include <string>
#include <vector>

#include "runtime/core/expression/evaluate.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/view_key_ranges.h"

namespace vrt::data {

class ViewScan {
 public:
  struct Stats {
    uint64_t entries_read = 0;  // key entries (records) the driver delivered
    uint64_t jumps = 0;         // repositionings to a next possible key value
    uint64_t rows = 0;          // rows admitted
  };

  // `key` is the key's index in the declaration; `filter` may be null.
  ViewScan(FileBlock& file, int key, const core::Expression* filter, FieldResolver resolve);

  // Positions before the first row (after the last when reading
  // backwards), with the bounds evaluated now.
  void set(bool backwards = false);
  // The same with bounds of the caller's (a join's link values).
  void set_ranges(std::vector<ComponentRange> ranges, bool backwards = false);
  // Turns the scan around at the current row: the next row read is the
  // one before it in the old direction.
  void reverse();
  // Takes up the scan at a position string of the key (the next row read
  // is the one at the position), with bounds as set() would give them, or
  // the caller's when given.
  void resume(const std::string& position, bool backwards);
  void resume(const std::string& position, std::vector<ComponentRange> ranges, bool backwards);
  KeyBlock& key() { return file_.declaration.keys[static_cast<size_t>(key_)]; }
  // The next row into the record buffer; false at the end, with 33
  // "Record Not Available" posted (or the driver's own error).
  bool next();
  const Stats& stats() const { return stats_; }
  // The key chosen and its bounds, one component a line, for --explain.
  std::string explain() const;

 private:
  struct Component {
    int field;        // number from 1
    bool descending;  // in the key
    int along;        // +1 when the scan meets its values in ascending order
  };
  enum class Verdict { Admit, Skip, Jump, End };

  core::ExprValue field_value(int field) const;
  void write_value(int field, const core::ExprValue& v);
  // The value the scan meets first (or last) for a field.
  void write_extreme(int field, bool first);
  // Fills the key's components from `from` on and repositions there.
  void position(size_t from, bool after);
  Verdict judge(size_t* component);
  void set_ranges(std::vector<ComponentRange> ranges, bool backwards, bool reposition);
  // -1 before the component's range along the scan, 0 inside, +1 past it.
  int place(size_t i) const;

  FileBlock& file_;
  int key_;
  const core::Expression* filter_;
  FieldResolver resolve_;
  bool nocase_;
  bool backwards_ = false;
  std::vector<Component> components_;
  std::vector<ComponentRange> ranges_;
  Stats stats_;
  bool ended_ = false;
  int32_t last_jump_from_ = 0;  // the record a jump was last made from
};

}  // namespace vrt::data
