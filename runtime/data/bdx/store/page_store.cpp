#include "runtime/data/bdx/store/page_store.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "runtime/platform/os/check.h"
#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/file_locks.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/platform/os/clock.h"
#include "runtime/platform/os/process.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

namespace {

// Stores shared by full file name while any table uses them.
std::mutex g_registry_mutex;
std::map<std::string, std::weak_ptr<PageStore>>& registry() {
  static std::map<std::string, std::weak_ptr<PageStore>> r;
  return r;
}

// A digest of the owner text, to tell later opens of an open file whether
// they name the same owner without drawing the key again.
std::string owner_digest(const std::string& owner) {
  if (owner.empty()) return std::string();
  uint8_t d[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  EVP_Digest(owner.data(), owner.size(), d, &n, EVP_sha256(), nullptr);
  std::string out(reinterpret_cast<char*>(d), n);
  OPENSSL_cleanse(d, sizeof d);
  return out;
}

int open_error() {
  uint32_t e = platform::GetLastError();
  if (e == platform::kErrorSharingViolation) return kAccessDenied;
  if (e == platform::kErrorFileNotFound) return kFileNotFound;
  if (e == platform::kErrorPathNotFound) return kPathNotFound;
  if (e == platform::kErrorInvalidName) return kInvalidFilename;
  if (e == platform::kErrorBadPathName) return kPathNotFound;
  return static_cast<int>(e);
}

}  // namespace

std::shared_ptr<PageStore> PageStore::open(const std::string& full_name, platform::Access access,
                                           platform::Share share, platform::Disposition disposition, int* error,
                                           const std::string& owner) {
  // A store that fails to open is dropped after the registry is let go:
  // its destructor takes the registry's lock.
  std::shared_ptr<PageStore> refused;
  std::lock_guard<std::mutex> guard(g_registry_mutex);
  auto& reg = registry();
  if (disposition != platform::Disposition::CreateAlways) {
    // A store opened for reading only is not shared with a writer; nor is
    // a store a forked child inherited, whose handle shares its parent's
    // locks.
    auto it = reg.find(full_name);
    if (it != reg.end())
      if (auto existing = it->second.lock())
        if ((existing->writable() || access == platform::Access::Read) &&
            existing->process_ == platform::current_process_id()) {
          if (existing->owner_digest_ != owner_digest(owner)) {
            *error = kInvalidDataFile;
            return nullptr;
          }
          return existing;
        }
  }
  bool made = disposition != platform::Disposition::OpenExisting && !platform::file_exists(full_name);
  auto file = platform::File::open(full_name, access, share, disposition);
  if (!file) {
    *error = open_error();
    return nullptr;
  }
  // A file just made has its name on the disk only once its folder is
  // flushed: without it a power cut could lose a created file, and with it
  // every update it had and the records of a transaction's control file.
  // Where the folder cannot be flushed nothing better can be done.
  if (made) platform::flush_folder_of(full_name);
  std::shared_ptr<PageStore> store(new PageStore);
  store->name_ = full_name;
  store->process_ = platform::current_process_id();
  store->access_ = access;
  store->protocol_ = lock_protocol_of(share);
  store->others_may_write_ = share == platform::Share::DenyNone || share == platform::Share::DenyRead;
  store->reader_slot_ = platform::tick_count() % kReaderSlots;
  store->file_ = std::move(file);
  if (!owner.empty()) {
    if (int code = store->open_cipher(owner)) {
      *error = code;
      refused = std::move(store);
      return nullptr;
    }
  }
  store->free_slots_.resize(kPageClasses);
  reg[full_name] = store;
  *error = kOk;
  return store;
}

bool PageStore::in_use(const std::string& full_name) {
  std::lock_guard<std::mutex> guard(g_registry_mutex);
  auto it = registry().find(full_name);
  return it != registry().end() && !it->second.expired();
}

int PageStore::open_cipher(const std::string& owner) {
  int64_t size = file_->size();
  if (size < 0) return kFileSystemError;
  bool fresh = size == 0;
  if (fresh) {
    if (!new_key_parameters(&key_params_)) return kFileSystemError;
  } else {
    uint8_t block[kKeyBlockSize];
    if (file_->read_at(kKeyBlockAt, block, kKeyBlockSize) != static_cast<int64_t>(kKeyBlockSize) ||
        !decode_key_block(block, kKeyBlockSize, &key_params_))
      return kInvalidDataFile;
  }
  uint8_t key[kCipherKeySize];
  if (!derive_owner_key(owner, &key_params_, fresh, key)) return fresh ? kFileSystemError : kInvalidDataFile;
  cipher_ = std::make_unique<XtsCipher>(key);
  OPENSSL_cleanse(key, sizeof key);
  owner_digest_ = owner_digest(owner);
  return kOk;
}

void PageStore::write_key_block_if_new() {
  if (!cipher_ || header_on_disk_) return;
  uint8_t block[kKeyBlockSize];
  encode_key_block(key_params_, block);
  if (file_->write_at(kKeyBlockAt, block, kKeyBlockSize) != static_cast<int64_t>(kKeyBlockSize))
    fail_with(kFileSystemError);
}

PageStore::~PageStore() {
  OPENSSL_cleanse(owner_digest_.data(), owner_digest_.size());
  std::lock_guard<std::mutex> guard(g_registry_mutex);
  auto it = registry().find(name_);
  if (it != registry().end() && it->second.expired()) registry().erase(it);
}

int64_t PageStore::read_plain(platform::File& f, uint64_t offset, void* buffer, size_t size) const {
  int64_t n = f.read_at(offset, buffer, size);
  size_t whole = n > 0 ? static_cast<size_t>(n) / kCipherBlock * kCipherBlock : 0;
  if (cipher_ && whole > 0 && !cipher_->open_image(static_cast<uint8_t*>(buffer), whole)) return -1;
  return n;
}

int64_t PageStore::write_plain(platform::File& f, uint64_t offset, const void* buffer, size_t size) const {
  if (!cipher_) return f.write_at(offset, buffer, size);
  // Every transfer of the store is of whole blocks: pages are whole units,
  // the header is 512 bytes.
  if (size % kCipherBlock != 0) fail_internal(kFailShortTransfer);
  std::vector<uint8_t> sealed(static_cast<const uint8_t*>(buffer), static_cast<const uint8_t*>(buffer) + size);
  if (!cipher_->seal_image(sealed.data(), sealed.size())) return -1;
  return f.write_at(offset, sealed.data(), sealed.size());
}

void PageStore::read_exact(uint64_t offset, void* buffer, size_t size) {
  int64_t n = read_plain(*file_, offset, buffer, size);
  if (n < 0) fail_with(kFileSystemError);
  if (static_cast<size_t>(n) != size) fail_internal(kFailShortTransfer);
}

void PageStore::write_exact(uint64_t offset, const void* buffer, size_t size) {
  if (!writable()) fail_with(kAccessDenied);
  int64_t n = fault_now(Fault::ShortWrite) ? file_->write_at(offset, buffer, size / 2)
                                           : write_plain(*file_, offset, buffer, size);
  if (n < 0) fail_with(kFileSystemError);
  if (static_cast<size_t>(n) != size) fail_internal(kFailShortTransfer);
  cache_.note_write(offset, static_cast<const uint8_t*>(buffer), size);
  // Header writes outside an operation (a transaction's) leave it to the
  // next operation to read the header again.
  if (offset < kHeaderSize) header_trusted_ = false;
}

void PageStore::flush_file() {
  if (fault_now(Fault::FailingFlush) || !file_->flush()) fail_with(kFileSystemError);
}

void PageStore::read_header_from_disk() {
  int64_t size = file_->size();
  if (size < 0) fail_with(kFileSystemError);
  BdxHeader h;
  uint8_t bytes[kHeaderSize];
  bool empty = size == 0;
  if (!empty) {
    int64_t n = read_plain(*file_, 0, bytes, kHeaderSize);
    if (n < 0) fail_with(kFileSystemError);
    if (n < static_cast<int64_t>(kHeaderSize)) fail_with(kInvalidDataFile);
    // An unchanged header needs no decoding: the one in memory is it.
    if (header_on_disk_ && std::memcmp(bytes, disk_header_, kHeaderSize) == 0) return;
    bool sound = decode_header(bytes, kHeaderSize, &h) && h.has_key_block() == (cipher_ != nullptr);
    if (!sound && !(cipher_ && header_never_written())) fail_with(kInvalidDataFile);
    empty = !sound;
  }
  if (empty) {
    // An empty file: a header in memory until the first update writes it.
    header_on_disk_ = false;
    h = BdxHeader{};
    if (cipher_) h.reserve_key_block();
    encode_header(h, disk_header_);
  } else {
    header_on_disk_ = true;
    std::memcpy(disk_header_, bytes, kHeaderSize);
  }
  if (h.change_count != header_.change_count || !header_on_disk_) {
    cache_.clear();
    free_known_ = false;
  }
  cache_.reshape();  // the root may be another
  header_ = h;
}

// A new encrypted file's first update flushes its key block before its
// header, which names the key block; a cut between the two leaves the
// header's bytes zero, and nothing past them but the key block: the file is
// still empty.
bool PageStore::header_never_written() {
  uint8_t raw[kHeaderSize];
  if (file_->read_at(0, raw, kHeaderSize) != static_cast<int64_t>(kHeaderSize)) return false;
  return std::all_of(raw, raw + kHeaderSize, [](uint8_t b) { return b == 0; });
}

void PageStore::take_operation_lock(bool update) {
  if (protocol_ != LockProtocol::Shared || held_ != Held::Nothing) return;
  // A handle that cannot write cannot hold the writer byte; its updating
  // operations (CLOSE) write nothing and read like readers.
  if (update && writable()) {
    wait_for_lock(*file_, kWriterByte, 1);
    held_ = Held::WriterByte;
  } else {
    take_reader_slot(*file_, writable(), &reader_slot_);
    held_ = Held::ReaderSlot;
  }
}

void PageStore::release_operation_lock() {
  // Held updates keep the writer byte until they are written, and a file
  // in a transaction keeps it until the transaction ends.
  if (held_ == Held::WriterByte && (pending_ || enlisted_)) return;
  if (held_ == Held::WriterByte) file_->unlock(kWriterByte, 1);
  if (held_ == Held::ReaderSlot) release_reader_slot(*file_, reader_slot_);
  held_ = Held::Nothing;
}

PageStore::State PageStore::state() const {
  if (operating_) return updating_ ? State::Updating : State::Reading;
  if (prepared_.active) return State::Prepared;
  return pending_ ? State::Holding : State::Idle;
}

const char* PageStore::broken_invariant() const {
  bool shared = protocol_ == LockProtocol::Shared;
  if (!operating_) {
    if (updating_) return "an update outside an operation";
    if (held_ == Held::ReaderSlot) return "1: a reader slot kept between operations";
    if (pending_ && !writable()) return "2: held updates on a handle that cannot write";
    if (pending_ && shared && held_ != Held::WriterByte) return "2: held updates without the writer byte";
    if (held_ == Held::WriterByte && !pending_ && !enlisted_ && !prepared_.active)
      return "3: the writer byte kept with nothing to keep it for";
    if (!pending_ && !prepared_.active && (!cache_.dirty_pages().empty() || !parked_.empty()))
      return "5: dirty pages with no update held";
  } else {
    if (header_.committed_end != header_.shadow_end) return "7: an operation on an unresolved shadow area";
    if (shared && held_ == Held::Nothing) return "8: an operation on a shared file without a lock";
  }
  if (lost_held_updates_ && !enlisted_) return "4: lost held updates on a file outside a transaction";
  if (next_provisional_ < kProvisionalUnit) return "6: a provisional unit below its base";
  return nullptr;
}

void PageStore::begin_operation(bool update) {
  VRT_CHECK_INVARIANTS(*this);
  operating_ = true;
  updating_ = update;
  touched_ = false;
  // The held updates are the file as this process sees it; the writer byte
  // is still held for them.
  if (pending_) {
    VRT_CHECK_INVARIANTS(*this);
    return;
  }
  take_operation_lock(update);
  // A file others cannot write changes only through this store: after an
  // operation that ended well, the header in memory is the one on disk.
  bool trusted = header_trusted_ && !others_may_write_;
  header_trusted_ = false;
  if (!trusted) read_header_from_disk();
  if (header_.committed_end != header_.shadow_end) {
    // A reader gives up its slot while the area is resolved: an updater
    // waiting for every slot may hold the writer byte that recovery needs.
    bool reader = held_ == Held::ReaderSlot;
    if (reader) release_operation_lock();
    recover();
    if (reader) take_operation_lock(false);
    read_header_from_disk();
  }
  if (update) committed_units_end_ = header_.units_end();
  VRT_CHECK_INVARIANTS(*this);
}

void PageStore::end_operation(bool success) {
  operating_ = false;
  if (updating_) {
    if (success) {
      pending_ = pending_ || touched_;
      bool write = pending_ && !enlisted_ && (!holding_ || holding_too_much());
      try {
        if (write) commit();
      } catch (const DriverFailure&) {
        updating_ = false;
        abandon();
        release_operation_lock();
        VRT_CHECK_INVARIANTS(*this);
        throw;
      }
      if (write) {
        pending_ = false;
        stale_pending_ = false;
      }
    } else if (touched_) {
      abandon();
    }
    updating_ = false;
  }
  cache_.trim();
  release_operation_lock();
  if (success) header_trusted_ = true;
  VRT_CHECK_INVARIANTS(*this);
}

bool PageStore::holding_too_much() {
  // Counting every waiting page would cost more than the updates: the
  // cache, past its few clean pages, holds the changed ones.
  size_t pages = cache_.size() + parked_.size();
  return pages > kMaxHeldPages || pages * changed_page_bytes_ > held_bytes_limit_;
}

bool PageStore::take_writer_byte(int32_t seconds) {
  if (protocol_ != LockProtocol::Shared || held_ == Held::WriterByte) return true;
  if (held_ != Held::Nothing) return false;
  uint32_t start = platform::tick_count();
  while (!file_->lock(kWriterByte, 1)) {
    if (seconds <= 0 || platform::tick_count() - start > static_cast<uint32_t>(seconds) * 100) return false;
    platform::sleep_hundredths(1);
  }
  held_ = Held::WriterByte;
  return true;
}

void PageStore::write_held_updates() {
  if (pending_) {
    try {
      commit();
    } catch (...) {
      abandon();
      release_operation_lock();
      throw;
    }
    pending_ = false;
  }
  release_operation_lock();
}

void PageStore::drop_held_updates() {
  if (pending_) abandon();
  release_operation_lock();
}

void PageStore::abandon() {
  if (enlisted_ && pending_) lost_held_updates_ = true;
  header_trusted_ = false;
  prepared_ = Prepared{};
  pending_ = false;
  touched_ = false;
  cache_.clear();
  parked_.clear();
  free_known_ = false;
  next_provisional_ = kProvisionalUnit;
  BdxHeader h;
  if (header_on_disk_ && decode_header(disk_header_, kHeaderSize, &h)) header_ = h;
  else {
    header_ = BdxHeader{};
    if (cipher_) header_.reserve_key_block();
  }
}

const std::vector<uint8_t>& PageStore::stored_page(uint32_t unit) {
  if (is_provisional(unit)) fail_internal(kFailTreeShape);
  int k = header_.class_of(unit);
  if (k == 0 || (unit - header_.area_start[k]) % static_cast<uint32_t>(k) != 0) fail_internal(kFailUnitOutside);
  size_t size = static_cast<size_t>(k) * kUnitSize;
  auto parked = parked_.find(unit);
  const std::vector<uint8_t>* kept = parked != parked_.end() ? &parked->second : cache_.image(unit);
  if (!kept || kept->size() != size) {
    // The read lands where the image is kept, unless it cannot be kept.
    static thread_local std::vector<uint8_t> read;
    uint8_t* room = cache_.image_to_fill(unit, size);
    if (!room) {
      read.resize(size);
      room = read.data();
    }
    try {
      read_exact(unit_offset(unit), room, size);
    } catch (...) {
      cache_.drop_image(unit);
      throw;
    }
    kept = cache_.image(unit);
    if (!kept) kept = &read;
  } else if (parked == parked_.end()) {
    cache_.use_image(unit);
  }
  size_t stored = stored_page_size(kept->data(), kept->size());
  if (stored == 0 || (stored + kUnitSize - 1) / kUnitSize != static_cast<size_t>(k)) fail_internal(kFailPageDecode);
  return *kept;
}

std::unique_ptr<Page> PageStore::load_page(uint32_t unit) {
  const std::vector<uint8_t>& bytes = stored_page(unit);
  auto p = std::make_unique<Page>();
  if (decode_page(bytes.data(), bytes.size(), unit, p.get()) != kPageOk) fail_internal(kFailPageDecode);
  return p;
}

bool PageStore::seek_in_stored_leaf(uint32_t unit, std::string_view key, bool strictly, PageRecord* out) {
  const std::vector<uint8_t>& bytes = stored_page(unit);
  bool found = false;
  // A guide only serves the kept image it was made from (not parked bytes).
  const PageGuide* guide = &bytes == cache_.image(unit) ? cache_.guide(unit) : nullptr;
  switch (vrt::data::seek_in_stored_leaf(bytes.data(), bytes.size(), unit, key, strictly, out, &found, guide)) {
    case kPageOk: return found;
    case kPageNotLeaf: fail_internal(kFailTreeShape);
    default: fail_internal(kFailPageDecode);
  }
}

void PageStore::child_in_stored_index(uint32_t unit, int level, std::string_view key, IndexStep* out) {
  const std::vector<uint8_t>& bytes = stored_page(unit);
  const PageGuide* guide = &bytes == cache_.image(unit) ? cache_.guide(unit) : nullptr;
  if (vrt::data::child_in_stored_index(bytes.data(), bytes.size(), unit, key, guide, out) != kPageOk)
    fail_internal(kFailPageDecode);
  if (out->level != level) fail_internal(kFailTreeShape);
}

Page& PageStore::page(uint32_t unit, int level) {
  Page* p = cache_.find(unit);
  if (!p) p = cache_.insert(load_page(unit));
  if (level >= 0 && p->level != level) fail_internal(kFailTreeShape);
  return *p;
}

Page& PageStore::new_page(uint8_t level) {
  touched_ = true;
  cache_.reshape();  // a split or a new root follows
  auto p = std::make_unique<Page>();
  p->unit = next_provisional_++;
  p->level = level;
  p->dirty = true;
  return *cache_.insert(std::move(p));
}

void PageStore::mark_dirty(Page& page) {
  if (!updating_) fail_internal(kFailTreeShape);  // a write while only reading
  touched_ = true;
  if (!page.dirty) {
    // Each page counts once in the average, however often it changes.
    size_t bytes = sizeof(Page) + 64 + page.records.footprint() + page.children.capacity() * 4;
    changed_page_bytes_ = (changed_page_bytes_ * 31 + bytes) / 32;
  }
  page.dirty = true;
  page.stamp = cache_.new_stamp();
  unpark(page.unit);
}

void PageStore::free_page(Page& page) {
  touched_ = true;
  uint32_t unit = page.unit;
  if (!is_provisional(unit)) release_slot(unit, header_.class_of(unit));
  if (header_.root == static_cast<int32_t>(unit)) header_.root = kNoRoot;
  cache_.erase(unit);
}

Page* PageStore::parent_of(const Page& child, size_t* position) {
  if (header_.root == static_cast<int32_t>(child.unit) || header_.root == kNoRoot) return nullptr;
  if (child.records.empty()) fail_internal(kFailTreeShape);
  std::string key(child.records.front().key());
  Page* p = &page(static_cast<uint32_t>(header_.root));
  while (p->level > child.level + 1) {
    size_t i = p->child_for(key);
    p = &page(p->children[i], p->level - 1);
  }
  if (p->level != child.level + 1) fail_internal(kFailTreeShape);
  size_t i = p->child_for(key);
  if (p->children[i] != child.unit) {
    // Equal first keys cannot occur in a sound tree; look the reference up.
    i = 0;
    while (i < p->children.size() && p->children[i] != child.unit) ++i;
    if (i == p->children.size()) fail_internal(kFailTreeShape);
  }
  *position = i;
  return p;
}

void PageStore::set_reference(const Page& child, uint32_t new_unit) {
  cache_.reshape();
  size_t pos;
  Page* parent = parent_of(child, &pos);
  if (!parent) {
    header_.root = static_cast<int32_t>(new_unit);
    return;
  }
  parent->children[pos] = new_unit;
  mark_dirty(*parent);
}

uint32_t PageStore::take_number() {
  touched_ = true;
  uint32_t n;
  if (!take_next_number(header_.last_number, &n)) fail_internal(kFailNumberLimit);
  return n;
}

void PageStore::collect_units(std::vector<std::pair<uint32_t, int>>* units) {
  units->clear();
  if (header_.root == kNoRoot) return;
  std::set<uint32_t> seen;
  std::vector<uint32_t> todo{static_cast<uint32_t>(header_.root)};
  while (!todo.empty()) {
    uint32_t u = todo.back();
    todo.pop_back();
    if (!seen.insert(u).second) fail_internal(kFailTreeShape);
    int k = is_provisional(u) ? 0 : header_.class_of(u);
    if (!is_provisional(u)) {
      if (k == 0) fail_internal(kFailUnitOutside);
      units->push_back({u, k});
    }
    // Leaves need not be read: their parents name their units. Only
    // provisional leaves are visited, which live in the cache.
    Page* cached = cache_.find(u);
    Page& p = cached ? *cached : page(u);
    if (p.level == 0) continue;
    for (uint32_t c : p.children) {
      Page* child = cache_.find(c);
      if (p.level == 1 && !child) {
        if (!seen.insert(c).second) fail_internal(kFailTreeShape);
        int ck = header_.class_of(c);
        if (ck == 0) fail_internal(kFailUnitOutside);
        units->push_back({c, ck});
      } else {
        todo.push_back(c);
      }
    }
  }
}

}  // namespace vrt::data
