// A disk that loses power: while a PowerLoss is alive it records, per file,
// every write, flush and size change the process makes. A cut produces a
// file as the disk may have kept it: everything up to the file's last flush,
// and of the changes since, some, all or none; the kept ones land in any
// order, and a write may be torn at sector boundaries. A file made while
// recording keeps its name only once its folder was flushed; before that a
// cut may lose the whole file. The real writes still go to the real file;
// the cut only rebuilds bytes from the record. Files are known by the name
// they were opened with; deletes and renames are not recorded, nor locks
// (a cut drops them all).
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform/os/file_observer.h"

namespace vrt::platform {

inline constexpr uint64_t kDiskSectorSize = 512;

enum class PowerCut {
  KeepAll,   // every change since the last flush, in order
  KeepNone,  // the file as of its last flush
  Random,    // a random subset in a random order, some writes torn
};

class PowerLoss : public FileObserver {
 public:
  PowerLoss();
  ~PowerLoss() override;
  PowerLoss(const PowerLoss&) = delete;
  PowerLoss& operator=(const PowerLoss&) = delete;

  // Starts the record of a file not yet opened for writing; its bytes now
  // count as durable. Files opened for writing start on their own.
  void track(const std::string& path);

  // The file as a disk that lost power now may hold it; nothing when the
  // file is not recorded, or when the disk lost the name of a file made
  // since its folder was last flushed. The seed picks the Random choices.
  std::optional<std::string> cut(const std::string& path, PowerCut how, uint64_t seed = 0) const;
  // Whether the file is recorded (opened for writing or tracked).
  bool tracks(const std::string& path) const;

  // Calls at_cut right after the nth change (write, flush or size change)
  // from now, once; the process goes on, as the disk's copy is what counts.
  void cut_after(int changes, std::function<void()> at_cut);

  int changes() const;

  void opened(const std::string& path) override;
  void created(const std::string& path) override;
  void folder_flushed(const std::string& folder) override;
  void wrote(const std::string& path, uint64_t offset, const void* bytes, size_t size) override;
  void flushed(const std::string& path) override;
  void resized(const std::string& path, uint64_t size) override;

 private:
  // A write (bytes at offset) or, with no bytes and resize set, a new size.
  struct Change {
    uint64_t offset = 0;
    std::string bytes;
    bool resize = false;
  };
  struct Record {
    std::string durable;
    std::vector<Change> since_flush;
    bool name_durable = true;
  };
  Record& record_of(const std::string& path);
  void count_change();

  mutable std::mutex mutex_;
  std::map<std::string, Record> files_;
  int changes_ = 0;
  int cut_at_ = -1;
  std::function<void()> at_cut_;
  FileObserver* previous_;
};

}  // namespace vrt::platform
