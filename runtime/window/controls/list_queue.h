// The rows a list shows: a queue the program owns and fills (a browse loads
// one page of records into it), one entry per row, each entry the fields'
// values as text (numbers as digits, dates and times as standard dates and
// times). Column k of the list shows field k through column k's picture.
// Entries are addressed from 1, as the program's queues are. The list
// notices changes through the change count when the window's bound
// variables are displayed; the queue is used on the window's thread only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrt::window {

class ListQueue {
 public:
  using Entry = std::vector<std::string>;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // Position 1 to size(); out of range gives an empty entry.
  const Entry& get(size_t position) const;
  // At the end, or before `position` (past the end: at the end).
  void add(Entry entry);
  void add(Entry entry, size_t position);
  // False when there is no entry at `position`.
  bool put(size_t position, Entry entry);
  bool remove(size_t position);
  void clear();
  // Grows with every change.
  uint64_t changes() const { return changes_; }

 private:
  std::vector<Entry> entries_;
  uint64_t changes_ = 0;
};

}  // namespace vrt::window
