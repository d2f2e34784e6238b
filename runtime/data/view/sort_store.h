// Where a view keeps rows it must sort itself: in memory while they total
// at most 16384 bytes; past that in a temporary file ("TMP" and a unique
// name in the system's temporary directory) written through a 16384-byte
// buffer. A write that the file takes only in part marks the store failed
// for good. The file is closed and deleted with the store.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/os/file.h"

namespace vrt::data {

class SortStore {
 public:
  static constexpr size_t kMemoryLimit = 16384;
  static constexpr size_t kBufferSize = 16384;

  SortStore() = default;
  ~SortStore();
  SortStore(const SortStore&) = delete;
  SortStore& operator=(const SortStore&) = delete;

  // Appends bytes; false once the store has failed.
  bool write(const void* data, size_t size);
  // Reads back bytes already written; false past the end or on failure.
  bool read(uint64_t offset, void* out, size_t size);
  uint64_t size() const { return size_; }
  bool failed() const { return failed_; }
  bool spilled() const { return file_ != nullptr; }
  const std::string& file_name() const { return file_name_; }

 private:
  bool spill();
  bool flush();

  std::vector<uint8_t> memory_;  // the contents, or the write buffer once spilled
  std::unique_ptr<platform::File> file_;
  std::string file_name_;
  uint64_t size_ = 0;
  uint64_t on_disk_ = 0;  // bytes already in the file
  bool failed_ = false;
};

// Sorts rows of bytes by a comparison: rows gather in memory runs of at
// most the store's memory limit, each run is sorted and written to a sort
// store, and the runs are merged when read back.
class RowSorter {
 public:
  using Less = bool (*)(const std::string& a, const std::string& b, void* context);
  RowSorter(Less less, void* context) : less_(less), context_(context) {}

  bool add(std::string row);
  // Ends the adding; false when the store failed.
  bool finish();
  // The next row in order; false at the end.
  bool next(std::string* row);
  bool failed() const { return store_.failed(); }
  size_t runs() const { return runs_.size(); }

 private:
  struct Run {
    uint64_t offset, end;  // in the store
  };
  bool write_run();
  bool read_row(Run* run, std::string* row);

  Less less_;
  void* context_;
  SortStore store_;
  std::vector<std::string> pending_;
  size_t pending_bytes_ = 0;
  std::vector<Run> runs_;
  std::vector<std::pair<std::string, size_t>> heads_;  // the next row of each run
  bool finished_ = false;
};

}  // namespace vrt::data
