#include "runtime/data/bdx/store/page_records.h"

#include <algorithm>
#include <cstring>

namespace vrt::data {

PageRecords& PageRecords::operator=(const PageRecords& other) {
  if (this == &other) return *this;
  clear();
  append_from(other, 0, other.size());
  return *this;
}

void PageRecords::regrow(size_t capacity) {
  // The live records move to a new buffer in key order, which leaves the
  // bytes of records gone behind.
  std::unique_ptr<char[]> fresh(new char[capacity]);
  size_t at = 0;
  for (Slot& s : slots_) {
    std::memcpy(fresh.get() + at, buffer_.get() + s.offset, s.length);
    s.offset = static_cast<uint32_t>(at);
    at += s.length;
  }
  buffer_ = std::move(fresh);
  used_ = at;
  capacity_ = capacity;
}

char* PageRecords::room(size_t n) {
  if (capacity_ - used_ < n) {
    size_t wanted = live_ + n;
    // Reclaiming the dead bytes is enough when they are many; otherwise
    // the buffer grows by half again, so that appends stay cheap.
    size_t capacity = used_ - live_ > live_ / 2 && capacity_ >= wanted ? capacity_
                                                                      : std::max({wanted, capacity_ + capacity_ / 2, size_t{256}});
    regrow(capacity);
  }
  char* at = buffer_.get() + used_;
  used_ += n;
  return at;
}

void PageRecords::reserve(size_t records, size_t bytes) {
  slots_.reserve(records);
  if (capacity_ - used_ < bytes) regrow(live_ + bytes);
}

void PageRecords::insert(size_t i, std::string_view key, std::string_view data) {
  if (inside(key.data()) || inside(data.data())) {
    // The new record copies one of this page: room() may move it.
    std::string copy;
    copy.append(key).append(data);
    insert(i, std::string_view(copy).substr(0, key.size()), std::string_view(copy).substr(key.size()));
    return;
  }
  size_t length = key.size() + data.size();
  char* at = room(length);
  if (!key.empty()) std::memcpy(at, key.data(), key.size());
  if (!data.empty()) std::memcpy(at + key.size(), data.data(), data.size());
  Slot s{static_cast<uint32_t>(at - buffer_.get()), static_cast<uint16_t>(length), static_cast<uint16_t>(key.size())};
  slots_.insert(slots_.begin() + static_cast<long>(i), s);
  live_ += length;
}

void PageRecords::replace(size_t i, std::string_view key, std::string_view data) {
  Slot& s = slots_[i];
  size_t length = key.size() + data.size();
  if (length == s.length && !inside(key.data()) && !inside(data.data())) {
    // Same length: in place (a changed field, a counter).
    char* at = buffer_.get() + s.offset;
    if (!key.empty()) std::memcpy(at, key.data(), key.size());
    if (!data.empty()) std::memcpy(at + key.size(), data.data(), data.size());
    s.key_length = static_cast<uint16_t>(key.size());
    return;
  }
  std::string copy;
  copy.append(key).append(data);
  live_ -= s.length;
  slots_.erase(slots_.begin() + static_cast<long>(i));
  insert(i, std::string_view(copy).substr(0, key.size()), std::string_view(copy).substr(key.size()));
}

void PageRecords::erase(size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) live_ -= slots_[i].length;
  slots_.erase(slots_.begin() + static_cast<long>(from), slots_.begin() + static_cast<long>(to));
  if (slots_.empty()) used_ = 0;
}

void PageRecords::clear() {
  slots_.clear();
  used_ = live_ = 0;
}

void PageRecords::append_from(const PageRecords& other, size_t from, size_t to) {
  size_t bytes = 0;
  for (size_t i = from; i < to; ++i) bytes += other.slots_[i].length;
  reserve(slots_.size() + (to - from), bytes);
  for (size_t i = from; i < to; ++i) push_back(other[i]);
}

void PageRecords::append_decoded(size_t shared, std::string_view own, uint16_t key_length) {
  size_t length = shared + own.size();
  char* at = room(length);
  // The shared bytes are the last record's first ones; room() may have
  // moved it, so it is found only now.
  if (shared) std::memcpy(at, buffer_.get() + slots_.back().offset, shared);
  if (!own.empty()) std::memcpy(at + shared, own.data(), own.size());
  slots_.push_back(Slot{static_cast<uint32_t>(at - buffer_.get()), static_cast<uint16_t>(length), key_length});
  live_ += length;
}

}  // namespace vrt::data
