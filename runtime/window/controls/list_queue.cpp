#include "runtime/window/controls/list_queue.h"

#include <algorithm>

namespace vrt::window {

const ListQueue::Entry& ListQueue::get(size_t position) const {
  static const Entry kNone;
  return position >= 1 && position <= entries_.size() ? entries_[position - 1] : kNone;
}

void ListQueue::add(Entry entry) {
  entries_.push_back(std::move(entry));
  ++changes_;
}

void ListQueue::add(Entry entry, size_t position) {
  size_t at = std::clamp<size_t>(position, 1, entries_.size() + 1) - 1;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  ++changes_;
}

bool ListQueue::put(size_t position, Entry entry) {
  if (position < 1 || position > entries_.size()) return false;
  entries_[position - 1] = std::move(entry);
  ++changes_;
  return true;
}

bool ListQueue::remove(size_t position) {
  if (position < 1 || position > entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position - 1));
  ++changes_;
  return true;
}

void ListQueue::clear() {
  entries_.clear();
  ++changes_;
}

}  // namespace vrt::window
