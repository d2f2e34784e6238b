#include "runtime/data/view/sort_store.h"

#include <algorithm>
#include <cstring>

namespace vrt::data {

SortStore::~SortStore() {
  if (file_) {
    file_.reset();
    platform::delete_file(file_name_);
  }
}

bool SortStore::spill() {
  file_name_ = platform::make_temp_file("TMP");
  if (file_name_.empty()) return false;
  file_ = platform::File::open(file_name_, platform::Access::ReadWrite, platform::Share::DenyAll);
  if (!file_) {
    platform::delete_file(file_name_);
    return false;
  }
  // What was in memory becomes the file's start; the memory becomes the
  // write buffer.
  std::vector<uint8_t> contents;
  contents.swap(memory_);
  memory_.reserve(kBufferSize);
  on_disk_ = 0;
  for (size_t at = 0; at < contents.size(); at += kBufferSize) {
    size_t n = std::min(kBufferSize, contents.size() - at);
    memory_.assign(contents.begin() + static_cast<long>(at), contents.begin() + static_cast<long>(at + n));
    if (!flush()) return false;
  }
  return true;
}

bool SortStore::flush() {
  if (memory_.empty()) return true;
  int64_t n = file_->write_at(on_disk_, memory_.data(), memory_.size());
  if (n != static_cast<int64_t>(memory_.size())) return false;
  on_disk_ += memory_.size();
  memory_.clear();
  return true;
}

bool SortStore::write(const void* data, size_t size) {
  if (failed_) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  if (!file_ && size_ + size > kMemoryLimit && !spill()) {
    failed_ = true;
    return false;
  }
  while (size > 0) {
    size_t room = file_ ? kBufferSize - memory_.size() : size;
    size_t n = std::min(room, size);
    memory_.insert(memory_.end(), p, p + n);
    p += n;
    size -= n;
    size_ += n;
    if (file_ && memory_.size() == kBufferSize && !flush()) {
      failed_ = true;
      return false;
    }
  }
  return true;
}

bool SortStore::read(uint64_t offset, void* out, size_t size) {
  if (failed_ || offset + size > size_) return false;
  if (!file_) {
    std::memcpy(out, memory_.data() + offset, size);
    return true;
  }
  if (!flush()) {
    failed_ = true;
    return false;
  }
  return file_->read_at(offset, out, size) == static_cast<int64_t>(size);
}

bool RowSorter::add(std::string row) {
  pending_bytes_ += row.size() + 4;
  pending_.push_back(std::move(row));
  if (pending_bytes_ >= SortStore::kMemoryLimit) return write_run();
  return !store_.failed();
}

// A run: rows in order, each a 4-byte length and its bytes.
bool RowSorter::write_run() {
  if (pending_.empty()) return !store_.failed();
  std::stable_sort(pending_.begin(), pending_.end(),
                   [this](const std::string& a, const std::string& b) { return less_(a, b, context_); });
  Run run{store_.size(), 0};
  for (const std::string& row : pending_) {
    uint32_t n = static_cast<uint32_t>(row.size());
    uint8_t len[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                      static_cast<uint8_t>(n >> 24)};
    if (!store_.write(len, 4) || !store_.write(row.data(), row.size())) return false;
  }
  run.end = store_.size();
  runs_.push_back(run);
  pending_.clear();
  pending_bytes_ = 0;
  return true;
}

bool RowSorter::read_row(Run* run, std::string* row) {
  uint8_t len[4];
  if (run->offset >= run->end || !store_.read(run->offset, len, 4)) return false;
  uint32_t n = len[0] | (len[1] << 8) | (len[2] << 16) | (uint32_t{len[3]} << 24);
  row->resize(n);
  if (!store_.read(run->offset + 4, row->data(), n)) return false;
  run->offset += 4 + n;
  return true;
}

bool RowSorter::finish() {
  if (!write_run()) return false;
  finished_ = true;
  heads_.clear();
  for (size_t i = 0; i < runs_.size(); ++i) {
    std::string row;
    if (read_row(&runs_[i], &row)) heads_.emplace_back(std::move(row), i);
  }
  return !store_.failed();
}

bool RowSorter::next(std::string* row) {
  if (!finished_ || heads_.empty()) return false;
  // The smallest head; the first run wins ties, so that equal rows keep
  // the order they were added in.
  size_t best = 0;
  for (size_t i = 1; i < heads_.size(); ++i)
    if (less_(heads_[i].first, heads_[best].first, context_)) best = i;
  *row = std::move(heads_[best].first);
  size_t run = heads_[best].second;
  std::string following;
  if (read_row(&runs_[run], &following))
    heads_[best].first = std::move(following);
  else
    heads_.erase(heads_.begin() + static_cast<long>(best));
  return true;
}

}  // namespace vrt::data
