#include "runtime/platform/os/power_loss.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace vrt::platform {

namespace {

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void put(std::string& image, uint64_t offset, const char* bytes, size_t size) {
  if (image.size() < offset + size) image.resize(offset + size, '\0');
  std::copy(bytes, bytes + size, image.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string folder_of(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

PowerLoss::PowerLoss() : previous_(file_observer()) { set_file_observer(this); }

PowerLoss::~PowerLoss() { set_file_observer(previous_); }

PowerLoss::Record& PowerLoss::record_of(const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) it = files_.emplace(path, Record{read_whole(path), {}}).first;
  return it->second;
}

void PowerLoss::track(const std::string& path) {
  std::lock_guard<std::mutex> guard(mutex_);
  record_of(path);
}

void PowerLoss::opened(const std::string& path) { track(path); }

void PowerLoss::created(const std::string& path) {
  std::lock_guard<std::mutex> guard(mutex_);
  Record& r = record_of(path);
  r.durable.clear();
  r.name_durable = false;
}

void PowerLoss::folder_flushed(const std::string& folder) {
  std::lock_guard<std::mutex> guard(mutex_);
  for (auto& [path, r] : files_)
    if (folder_of(path) == folder) r.name_durable = true;
}

void PowerLoss::wrote(const std::string& path, uint64_t offset, const void* bytes, size_t size) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    record_of(path).since_flush.push_back(Change{offset, std::string(static_cast<const char*>(bytes), size), false});
  }
  count_change();
}

void PowerLoss::resized(const std::string& path, uint64_t size) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    record_of(path).since_flush.push_back(Change{size, {}, true});
  }
  count_change();
}

void PowerLoss::flushed(const std::string& path) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    Record& r = record_of(path);
    // What the system had of the file is on the disk now.
    r.durable = read_whole(path);
    r.since_flush.clear();
  }
  count_change();
}

// The cut runs outside the lock: it may ask for the files' images.
void PowerLoss::count_change() {
  std::function<void()> now;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (++changes_ == cut_at_) now = std::move(at_cut_);
  }
  if (now) now();
}

void PowerLoss::cut_after(int changes, std::function<void()> at_cut) {
  std::lock_guard<std::mutex> guard(mutex_);
  cut_at_ = changes_ + changes;
  at_cut_ = std::move(at_cut);
}

bool PowerLoss::tracks(const std::string& path) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return files_.count(path) != 0;
}

int PowerLoss::changes() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return changes_;
}

std::optional<std::string> PowerLoss::cut(const std::string& path, PowerCut how, uint64_t seed) const {
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  const Record& r = it->second;
  std::mt19937_64 rng(seed);
  if (!r.name_durable && (how == PowerCut::KeepNone || (how == PowerCut::Random && rng() % 2 == 0)))
    return std::nullopt;
  std::string image = r.durable;
  if (how == PowerCut::KeepNone) return image;

  std::vector<const Change*> kept;
  for (const Change& c : r.since_flush)
    if (how == PowerCut::KeepAll || rng() % 2 == 0) kept.push_back(&c);
  if (how == PowerCut::Random) std::shuffle(kept.begin(), kept.end(), rng);

  for (const Change* c : kept) {
    if (c->resize) {
      image.resize(c->offset, '\0');
      continue;
    }
    bool torn = how == PowerCut::Random && rng() % 4 == 0;
    if (!torn) {
      put(image, c->offset, c->bytes.data(), c->bytes.size());
      continue;
    }
    // A torn write: each sector it touches is written whole or not at all.
    uint64_t at = c->offset, end = c->offset + c->bytes.size();
    while (at < end) {
      uint64_t piece_end = std::min(end, (at / kDiskSectorSize + 1) * kDiskSectorSize);
      if (rng() % 2 == 0) put(image, at, c->bytes.data() + (at - c->offset), piece_end - at);
      at = piece_end;
    }
  }
  return image;
}

}  // namespace vrt::platform
