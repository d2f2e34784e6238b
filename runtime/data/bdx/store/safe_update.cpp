// Writing an update so that a crash leaves the file either before or after
// it, and resolving an update that a crash interrupted.
//
// The update (commit):
//   1. Pages beyond the units in use when the update began are new: they are
//      written in place (a new file's empty header is written and flushed
//      before them).
//   2. Every other changed page is written as a shadow copy, from the end of
//      the page areas on; each copy keeps its home offset in its first four
//      bytes.
//   3. The new header is written last into the shadow area (home offset 0).
//   4. Flush; the header at offset 0 is rewritten with only offsets 6 and 10
//      changed to bracket the shadow area; flush. The update is decided.
//   5. Every shadow copy is written home (the header copy brings the new
//      header to offset 0); flush, so that no home copy is lost once the
//      bracket goes.
//   6. Offsets 6 and 10 are set to the file's length (a long tail past the
//      new shadow area is cut off first), the change count goes up by one,
//      the header is written and the file flushed.
// The shadow area of one update is the scratch space of the next, which
// writes its own from the same place, so the file does not grow by a copy
// of every update.
//
// Recovery (offsets 6 and 10 differ): the shadow area is walked copy by
// copy; when it is complete, with its header copy, and (for an update that
// is part of a transaction across files) the transaction passed its commit
// point, every copy is written home and flushed (roll forward); otherwise
// the header at offset 0 stays and only its offsets 6 and 10 are set to the
// file's length (roll back).
#include <algorithm>
#include <cstring>
#include <map>

#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/page_store.h"
#include "runtime/data/bdx/store/record_keys.h"

namespace vrt::data {

namespace {

CommitPointCheck g_commit_point_check = nullptr;

// Bytes past the shadow area that step 6 leaves in place.
constexpr uint64_t kKeptTail = 64 * kUnitSize;

uint64_t round_to_units(uint64_t n) { return (n + kUnitSize - 1) / kUnitSize * kUnitSize; }

void step_done(int step) { crash_point(static_cast<CrashPoint>(step)); }

// The shadow copies of a bracketed update: home offset -> (position, size).
using ShadowMap = std::map<uint64_t, std::pair<uint64_t, size_t>>;

// The pending-transaction record of the bracketed update, as rolling it
// forward would leave the tree: the last record, read down the right edge
// from the header copy's root, each page from its shadow copy when it has
// one. Damage reads as "no record".
bool pending_transaction_of(const PageStore& store, platform::File& f, const ShadowMap& copies,
                            std::string* data) {
  auto header_at = copies.find(0);
  if (header_at == copies.end()) return false;
  uint8_t head[kHeaderSize];
  BdxHeader h;
  if (store.read_plain(f, header_at->second.first, head, kHeaderSize) != static_cast<int64_t>(kHeaderSize) ||
      !decode_header(head, kHeaderSize, &h) || h.root == kNoRoot)
    return false;
  uint32_t unit = static_cast<uint32_t>(h.root);
  std::vector<uint8_t> bytes;
  for (int depth = 0; depth < 64; ++depth) {
    int k = h.class_of(unit);
    if (k == 0) return false;
    uint64_t at = unit_offset(unit);
    size_t size = static_cast<size_t>(k) * kUnitSize;
    auto shadow = copies.find(at);
    if (shadow != copies.end()) {
      at = shadow->second.first;
      size = shadow->second.second;
    }
    bytes.assign(size, 0);
    if (store.read_plain(f, at, bytes.data(), size) != static_cast<int64_t>(size)) return false;
    Page p;
    if (decode_page(bytes.data(), size, unit, &p) != kPageOk) return false;
    if (p.level > 0) {
      if (p.children.empty()) return false;
      unit = p.children.back();
      continue;
    }
    if (p.records.empty() || p.records.back().key() != std::string(1, static_cast<char>(kKindPending)))
      return false;
    data->assign(p.records.back().data());
    return true;
  }
  return false;
}

}  // namespace

void set_commit_point_check(CommitPointCheck check) { g_commit_point_check = check; }

void interrupt_next_commit_after(int step) { crash_next_at(static_cast<CrashPoint>(step), CrashMode::Fail); }

void PageStore::commit() {
  try {
    if (prepare_update()) finish_update();
  } catch (...) {
    prepared_ = Prepared{};  // readers may come in again, to what the disk holds
    throw;
  }
}

bool PageStore::prepare_update() {
  std::vector<Page*> dirty = cache_.dirty_pages();
  uint8_t new_header[kHeaderSize];
  encode_header(header_, new_header);
  if (dirty.empty() && parked_.empty() && std::memcmp(new_header, disk_header_, kHeaderSize) == 0 &&
      header_on_disk_)
    return false;

  // Placing the pages may move them: a write, whoever called.
  bool was_updating = updating_;
  updating_ = true;
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } restore{updating_, was_updating};

  // Readers of the moment finish first; new ones wait until step 6 is done.
  Prepared& u = prepared_;
  u = Prepared{};
  u.readers =
      std::make_unique<WaitedLock>(file_.get(), kLockAreaBase, kReaderSlots, protocol_ != LockProtocol::None);
  place_dirty_pages();
  u.dirty = cache_.dirty_pages();

  // Steps 1 to 3, on a file whose header is on the disk. A page's encoding
  // leaves it for its image, so that a large update is not in memory
  // three times over.
  write_header_if_new();
  for (Page* p : u.dirty) {
    PageImage image{unit_offset(p->unit), {}};
    if (!encode_page(*p, p->unit, &image.bytes)) fail_internal(kFailPageTooLarge);
    std::vector<uint8_t>().swap(p->encoded);
    if (p->unit >= committed_units_end_) write_exact(image.home, image.bytes.data(), image.bytes.size());
    else u.shadows.push_back(std::move(image));
  }
  for (auto& [unit, bytes] : parked_) u.shadows.push_back({unit_offset(unit), std::move(bytes)});
  parked_.clear();
  step_done(1);
  uint64_t shadow_start = unit_offset(header_.units_end());
  uint64_t at = shadow_start;
  for (const PageImage& i : u.shadows) {
    write_exact(at, i.bytes.data(), i.bytes.size());
    at += i.bytes.size();
  }
  step_done(2);
  u.shadow_end = at + kHeaderSize;
  if (u.shadow_end > 0xFFFFFFFFu) fail_internal(kFailAreaFull);
  BdxHeader copy = header_;
  copy.committed_end = static_cast<uint32_t>(shadow_start);
  copy.shadow_end = static_cast<uint32_t>(u.shadow_end);
  u.change_count = copy.change_count;
  encode_header(copy, u.header_copy);
  write_exact(at, u.header_copy, kHeaderSize);
  step_done(3);

  // Step 4.
  flush_file();
  uint8_t bracket[kHeaderSize];
  std::memcpy(bracket, disk_header_, kHeaderSize);
  store_le32(bracket + kCommittedEndAt, static_cast<uint32_t>(shadow_start));
  store_le32(bracket + kShadowEndAt, static_cast<uint32_t>(u.shadow_end));
  u.active = true;
  write_exact(0, bracket, kHeaderSize);
  flush_file();
  step_done(4);
  return true;
}

// A new (empty) file's first update would write its pages in place past
// a header that is not there yet; a cut that kept them would leave a file
// that no longer reads as empty and not yet as a BDX file. So the empty
// header goes first, flushed; an encrypted file's key block before it,
// flushed too, as the header names it.
void PageStore::write_header_if_new() {
  if (header_on_disk_) return;
  uint32_t end = static_cast<uint32_t>(kHeaderSize);
  if (cipher_) {
    write_key_block_if_new();
    flush_file();
    end = static_cast<uint32_t>(kKeyBlockAt + kKeyBlockSize);
  }
  store_le32(disk_header_ + kCommittedEndAt, end);
  store_le32(disk_header_ + kShadowEndAt, end);
  write_exact(0, disk_header_, kHeaderSize);
  flush_file();
  header_on_disk_ = true;
}

void PageStore::finish_update() {
  Prepared& u = prepared_;
  // Step 5.
  for (const PageImage& i : u.shadows) {
    write_exact(i.home, i.bytes.data(), i.bytes.size());
    step_done(5);
  }
  write_exact(0, u.header_copy, kHeaderSize);
  step_done(6);
  // The pages are home before the header stops bracketing their copies: a
  // disk may keep later writes and lose earlier ones.
  flush_file();

  // Step 6. A short tail past this shadow area (an earlier, larger one) is
  // kept: a file whose length does not change flushes faster.
  int64_t length = file_->size();
  if (length < 0) fail_with(kFileSystemError);
  if (static_cast<uint64_t>(length) > u.shadow_end + kKeptTail) {
    if (!file_->truncate(u.shadow_end)) fail_with(kFileSystemError);
    length = static_cast<int64_t>(u.shadow_end);
  }
  header_.committed_end = header_.shadow_end =
      static_cast<uint32_t>(std::max<uint64_t>(length, u.shadow_end));
  header_.change_count = u.change_count + 1;
  encode_header(header_, disk_header_);
  write_exact(0, disk_header_, kHeaderSize);
  flush_file();
  header_on_disk_ = true;
  for (Page* p : u.dirty) p->dirty = false;
  next_provisional_ = kProvisionalUnit;
  u = Prepared{};
}

void PageStore::trim_shadow_area() {
  if (pending_ || !header_on_disk_ || header_.committed_end != header_.shadow_end) return;
  uint64_t end = unit_offset(header_.units_end());
  int64_t length = file_->size();
  if (length < 0) fail_with(kFileSystemError);
  if (static_cast<uint64_t>(length) <= end) return;
  // Readers read the header: they wait while it is rewritten. A crash
  // after the cut leaves a committed end past the file's length, which
  // nothing reads: the next update starts its shadow area at the pages' end.
  WaitedLock readers(file_.get(), kLockAreaBase, kReaderSlots, protocol_ != LockProtocol::None);
  if (!file_->truncate(end)) fail_with(kFileSystemError);
  header_.committed_end = header_.shadow_end = static_cast<uint32_t>(end);
  encode_header(header_, disk_header_);
  write_exact(0, disk_header_, kHeaderSize);
  flush_file();
}

bool PageStore::undo_prepared() {
  Prepared& u = prepared_;
  bool undone = true;
  if (u.active) {
    // The header at offset 0 is still the one before the update, bracketed:
    // offsets 6 and 10 at the file's length leave the shadows unused.
    int64_t length = file_->size();
    uint8_t head[kHeaderSize];
    std::memcpy(head, disk_header_, kHeaderSize);
    if (length >= 0) {
      store_le32(head + kCommittedEndAt, static_cast<uint32_t>(length));
      store_le32(head + kShadowEndAt, static_cast<uint32_t>(length));
    }
    // When this fails the bracket stays: the next opener resolves it, and
    // rolls it back while the transaction's control record is kept.
    undone = length >= 0 && write_plain(*file_, 0, head, kHeaderSize) == static_cast<int64_t>(kHeaderSize) &&
             file_->flush();
    if (undone) std::memcpy(disk_header_, head, kHeaderSize);
  }
  u = Prepared{};
  return undone;
}

bool PageStore::recover() {
  std::unique_ptr<platform::File> own;
  platform::File* f = file_.get();
  if (!writable()) {
    own = platform::File::open(name_, platform::Access::ReadWrite, platform::Share::DenyNone);
    if (!own) fail_with(kAccessDenied);
    f = own.get();
  }
  // Others sharing the file wait: the writer byte (unless this operation
  // holds it) and every reader slot.
  bool locking = protocol_ != LockProtocol::None;
  WaitedLock writer(f, kWriterByte, 1, locking && held_ != Held::WriterByte);
  WaitedLock readers(f, kLockAreaBase, kReaderSlots, locking);
  uint8_t head[kHeaderSize];
  if (read_plain(*f, 0, head, kHeaderSize) != static_cast<int64_t>(kHeaderSize)) fail_with(kInvalidDataFile);
  BdxHeader h;
  if (!decode_header(head, kHeaderSize, &h)) fail_with(kInvalidDataFile);
  if (h.committed_end == h.shadow_end) {
    // Resolved by another process meanwhile.
    cache_.clear();
    free_known_ = false;
    return false;
  }
  int64_t length = f->size();
  if (length < 0) fail_with(kFileSystemError);
  uint64_t end = std::min<uint64_t>(h.shadow_end, static_cast<uint64_t>(length));

  // Walk the shadow area.
  ShadowMap copies;
  bool complete = h.shadow_end <= static_cast<uint64_t>(length);
  uint64_t at = h.committed_end;
  uint8_t first[kUnitSize];
  while (complete && at < end) {
    if (end - at < kUnitSize || read_plain(*f, at, first, kUnitSize) != static_cast<int64_t>(kUnitSize)) {
      complete = false;
      break;
    }
    uint64_t home = load_le32(first + kHomeAt);
    size_t size = load_le16(first + kStoredSizeAt);
    uint64_t step = round_to_units(size);
    // A page's home lies in the page areas, below the shadow area.
    bool sound = home == 0 ? size == kHeaderSize
                           : home >= kHeaderSize && (home - kHeaderSize) % kUnitSize == 0 &&
                                 size >= kPageHeaderSize && size <= kMaxStoredPage &&
                                 home + step <= h.committed_end;
    if (!sound || step > end - at) {
      complete = false;
      break;
    }
    if (home == 0) {
      // The header copy must be a header, or rolling forward would put
      // something else at offset 0.
      uint8_t copy[kHeaderSize];
      BdxHeader decoded;
      if (read_plain(*f, at, copy, kHeaderSize) != static_cast<int64_t>(kHeaderSize) ||
          !decode_header(copy, kHeaderSize, &decoded)) {
        complete = false;
        break;
      }
    }
    copies[home] = {at, static_cast<size_t>(step)};
    at += step;
  }
  // An update that is part of a transaction across files goes forward only
  // when the transaction passed its commit point.
  bool forward = complete && copies.count(0) != 0;
  std::string pending;
  bool in_transaction = forward && pending_transaction_of(*this, *f, copies, &pending);
  if (in_transaction) {
    int code = g_commit_point_check ? g_commit_point_check(name_, pending, &forward) : kOk;
    if (!g_commit_point_check) forward = false;
    if (code != kOk) fail_with(code);
  }
  if (forward) {
    std::vector<uint8_t> buffer(kMaxStoredPage);
    for (const auto& [home, where] : copies) {
      if (f->read_at(where.first, buffer.data(), where.second) != static_cast<int64_t>(where.second) ||
          f->write_at(home, buffer.data(), where.second) != static_cast<int64_t>(where.second))
        fail_with(kFileSystemError);
    }
    // As in an update: the copies are home before the bracket goes.
    if (!f->flush()) fail_with(kFileSystemError);
    if (read_plain(*f, 0, head, kHeaderSize) != static_cast<int64_t>(kHeaderSize) ||
        !decode_header(head, kHeaderSize, &h))
      fail_with(kInvalidDataFile);
    h.change_count += 1;
    if (in_transaction) stale_pending_ = true;
  }
  h.committed_end = h.shadow_end = static_cast<uint32_t>(length);
  encode_header(h, head);
  if (write_plain(*f, 0, head, kHeaderSize) != static_cast<int64_t>(kHeaderSize) || !f->flush())
    fail_with(kFileSystemError);
  cache_.clear();
  free_known_ = false;
  return forward;
}

}  // namespace vrt::data
