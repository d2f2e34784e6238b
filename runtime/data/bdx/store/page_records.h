// The records of a decoded page, kept in one buffer: each record's bytes
// (key then data) lie whole in it, and one slot per record, in key order,
// says where. A page costs two allocations rather than one per record, and
// decoding a page is copying its records one after another.
//
// A record inserted or replaced is appended to the buffer; the bytes that
// records erased or replaced leave behind are reclaimed when they outgrow
// the live ones. A view of a record stays valid until its page changes.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrt::data {

// A record where it lies: key then data.
struct RecordView {
  std::string_view bytes;
  uint16_t key_length = 0;
  std::string_view key() const { return bytes.substr(0, key_length); }
  std::string_view data() const { return bytes.substr(key_length); }
};

// A record of its own, for records read out of a page or made to go in.
struct PageRecord {
  std::string bytes;  // key then data
  uint16_t key_length = 0;
  std::string_view key() const { return std::string_view(bytes).substr(0, key_length); }
  std::string_view data() const { return std::string_view(bytes).substr(key_length); }
  PageRecord() = default;
  explicit PageRecord(RecordView r) : bytes(r.bytes), key_length(r.key_length) {}
  RecordView view() const { return {bytes, key_length}; }
  operator RecordView() const { return view(); }
  PageRecord& operator=(RecordView r) {
    bytes.assign(r.bytes);
    key_length = r.key_length;
    return *this;
  }
};

class PageRecords {
 public:
  PageRecords() = default;
  PageRecords(const PageRecords& other) { *this = other; }
  PageRecords& operator=(const PageRecords& other);
  // A page moved from is left empty, not holding sizes of a buffer it lost.
  PageRecords(PageRecords&& other) noexcept { *this = std::move(other); }
  PageRecords& operator=(PageRecords&& other) noexcept {
    if (this == &other) return *this;
    buffer_ = std::move(other.buffer_);
    slots_ = std::move(other.slots_);
    other.slots_.clear();
    used_ = std::exchange(other.used_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    live_ = std::exchange(other.live_, 0);
    return *this;
  }

  size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  RecordView operator[](size_t i) const {
    const Slot& s = slots_[i];
    return {std::string_view(buffer_.get() + s.offset, s.length), s.key_length};
  }
  RecordView front() const { return (*this)[0]; }
  RecordView back() const { return (*this)[slots_.size() - 1]; }
  // The bytes of all records, keys and data.
  size_t byte_count() const { return live_; }
  // The memory the records take.
  size_t footprint() const { return capacity_ + slots_.capacity() * sizeof(Slot); }

  class Iterator {
   public:
    Iterator(const PageRecords* records, size_t i) : records_(records), i_(i) {}
    RecordView operator*() const { return (*records_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return i_ != other.i_; }

   private:
    const PageRecords* records_;
    size_t i_;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, slots_.size()); }

  // The record's lengths must fit the page format (checked by the caller).
  void insert(size_t i, std::string_view key, std::string_view data);
  void insert(size_t i, RecordView r) { insert(i, r.key(), r.data()); }
  void push_back(RecordView r) { insert(slots_.size(), r); }
  void replace(size_t i, std::string_view key, std::string_view data);
  // The data bytes of record i, to be changed where they lie.
  char* data_for_change(size_t i) { return buffer_.get() + slots_[i].offset + slots_[i].key_length; }
  void erase(size_t i) { erase(i, i + 1); }
  void erase(size_t from, size_t to);
  // Keeps the first n records.
  void truncate(size_t n) { erase(n, slots_.size()); }
  void clear();
  // Records [from, to) of another page, appended.
  void append_from(const PageRecords& other, size_t from, size_t to);

  // For decoding: room for this many records and bytes, and a record made
  // of the first `shared` bytes of the last one and `own` bytes.
  void reserve(size_t records, size_t bytes);
  void append_decoded(size_t shared, std::string_view own, uint16_t key_length);

 private:
  struct Slot {
    uint32_t offset;
    uint16_t length;
    uint16_t key_length;
  };
  // Room for n more bytes at the end of the buffer; the records may move.
  char* room(size_t n);
  void regrow(size_t capacity);
  bool inside(const char* p) const {
    return used_ && !std::less<const char*>()(p, buffer_.get()) && std::less<const char*>()(p, buffer_.get() + used_);
  }

  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0, capacity_ = 0;
  size_t live_ = 0;  // bytes of the slots' records
  std::vector<Slot> slots_;
};

}  // namespace vrt::data
