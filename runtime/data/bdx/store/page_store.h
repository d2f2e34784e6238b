// One open BDX file as the driver shares it between every table opened from
// it: the operating-system file, the header, the page cache, the free slots
// of the page areas, and the update in progress.
//
// Life of an operation (numbered steps, each done by the named function):
//   1. begin_operation: take the operation's lock (reader slot or writer
//      byte; see file_locks.h), read the header; a changed change count
//      drops the cache; a bracketed shadow area is recovered first.
//   2. page / new_page / mark_dirty / free_page: the tree code's work.
//   3. end_operation: an update is written by the safe-update sequence
//      (commit, safe_update.cpp), or dropped on failure (abandon); the lock
//      is released.
//
// States (state()):
//
//            begin_operation(false)            end_operation
//   Idle ---------------------------> Reading ---------------> Idle
//    |  begin_operation(true)                  end_operation: written or dropped
//    +--------------------------> Updating ----------------------------> Idle
//                                   |  ^     end_operation under STREAM or in
//                                   |  |     a transaction: kept, not written
//                    begin_operation|  +-----------------------+
//                                   v                          |
//                                 Holding <--------------------+
//                                   | write_held_updates, drop_held_updates --> Idle
//                                   | prepare_update (a commit across files)
//                                   v
//                                 Prepared --finish_update, undo_prepared--> Idle
//
// Invariants between operations (broken_invariant() names the first that
// fails; debug builds check them at both ends of every operation):
//   1. No reader slot is kept: a reader holds one only inside an operation.
//   2. Held updates belong to a handle that may write, and on a shared file
//      they keep the writer byte.
//   3. The writer byte is kept only for held updates, a transaction
//      (enlisted) or a prepared update.
//   4. Only an enlisted file can have lost its held updates.
//   5. Dirty pages exist only while updates are held or prepared.
//   6. Provisional units count up from kProvisionalUnit.
// and inside one:
//   7. The file is resolved: no bracketed shadow area is left.
//   8. On a shared file the operation holds a lock (slot or writer byte).
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/bdx/store/bdx_page.h"
#include "runtime/data/bdx/store/owner_key.h"
#include "runtime/data/bdx/store/xts_cipher.h"
#include "runtime/data/bdx/store/file_locks.h"
#include "runtime/data/bdx/store/page_cache.h"
#include "runtime/platform/os/file.h"

namespace vrt::data {

// Units from here up name new pages that have no place in the file yet.
inline constexpr uint32_t kProvisionalUnit = 0xF0000000u;
inline bool is_provisional(uint32_t unit) { return unit >= kProvisionalUnit; }

// Recovery of an update that is part of a transaction across files asks the
// layer that keeps transactions whether the transaction passed its commit
// point (the pending record is the update's copy of it). The transaction
// layer installs the check; without one no transaction can have committed.
// It returns 0 with *reached set, or an error that leaves the update
// bracketed.
using CommitPointCheck = int (*)(const std::string& data_file, const std::string& pending, bool* reached);
void set_commit_point_check(CommitPointCheck check);

class PageStore {
 public:
  // Opens (or creates, as the disposition says) the file; the store is
  // shared by full name while any table uses it. Null with *error set.
  // An owner string makes the file an encrypted one: every block is
  // enciphered on its way to the disk (xts_cipher.h) under a key drawn
  // once from the owner and the file's key block (owner_key.h). A wrong
  // owner, an owner for a file without one or none for an encrypted file
  // is "Invalid Data File".
  static std::shared_ptr<PageStore> open(const std::string& full_name, platform::Access access,
                                         platform::Share share, platform::Disposition disposition, int* error,
                                         const std::string& owner = std::string());
  ~PageStore();
  // Whether a store of this process has the file open.
  static bool in_use(const std::string& full_name);

  std::mutex& mutex() { return mutex_; }
  const std::string& name() const { return name_; }
  bool writable() const { return access_ != platform::Access::Read; }
  LockProtocol protocol() const { return protocol_; }
  // The reader slot this process tries first.
  uint32_t reader_slot() const { return reader_slot_; }
  BdxHeader& header() { return header_; }
  PageCache& cache() { return cache_; }
  platform::File& file() { return *file_; }
  // Reads and writes of whole 64-byte blocks through the file's cipher,
  // on this store's handle or another of the same file; the bytes moved,
  // or -1. The buffer is an image (or its first units): it starts with
  // its home offset, whose tweaks encipher it wherever it is put.
  int64_t read_plain(platform::File& f, uint64_t offset, void* buffer, size_t size) const;
  int64_t write_plain(platform::File& f, uint64_t offset, const void* buffer, size_t size) const;

  // Steps 1 and 3 of every operation; updating operations may write.
  void begin_operation(bool update);
  void end_operation(bool success);
  bool updating() const { return updating_; }

  enum class State { Idle, Reading, Updating, Holding, Prepared };
  State state() const;
  // The first invariant of the header comment that does not hold, or null.
  const char* broken_invariant() const;

  // While updates are held (STREAM), successful updates stay in memory and
  // are written together, by one safe update, when holding ends (FLUSH,
  // CLOSE) or when too many pages wait; a crash loses them but leaves the
  // file as it was before them. A failed update that changed something
  // drops every held one.
  void hold_updates(bool on) { holding_ = on; }
  bool holding() const { return holding_; }
  void set_held_bytes_limit(size_t bytes) { held_bytes_limit_ = bytes; }
  // Fewer, larger batches write each page fewer times; the shadow area the
  // last one leaves is cut off at CLOSE. The memory of the pages waiting is
  // estimated from the size of the pages changed lately; tests lower its
  // limit to see it at work.
  static constexpr size_t kMaxHeldPages = 10000;
  static constexpr size_t kMaxHeldBytes = size_t{64} << 20;

  // A file enlisted in a transaction (LOGOUT) holds its updates like
  // STREAM, without a limit, until COMMIT or ROLLBACK. The caller holds
  // the store's mutex for the calls below.
  void set_enlisted(bool on) {
    enlisted_ = on;
    lost_held_updates_ = false;
  }
  bool enlisted() const { return enlisted_; }
  // A failed operation of an enlisted file forgot the updates it held, so
  // the transaction can no longer commit whole.
  bool lost_held_updates() const { return lost_held_updates_; }
  bool has_held_updates() const { return pending_; }
  // LOGOUT takes the writer byte of a shared file at once, waiting up to
  // the seconds given, so that two transactions never wait for each other's
  // files; false when another process kept it.
  bool take_writer_byte(int32_t seconds);
  // Writes the held updates by one safe update, or forgets them; either
  // way the writer byte is given back.
  void write_held_updates();
  void drop_held_updates();
  // The pending-transaction record of a commit across files: added to the
  // held updates, and deleted later by an update of its own (transaction.cpp).
  void add_pending_record(const std::string& data);
  void remove_pending_record();
  // A record the update must leave out of the tree next time it writes:
  // the pending-transaction record a crash left behind (recovery sets it).
  bool stale_pending_record() const { return stale_pending_; }
  void forget_stale_pending_record() { stale_pending_ = false; }

  // The page at the unit (decoded from disk when not cached); damage fails
  // the operation through fail_internal. `level` is the level the caller
  // expects (-1 for any).
  Page& page(uint32_t unit, int level = -1);
  // The first record of the leaf page at the unit with a key not less than
  // key (greater when strictly), copied out, read from the page's stored
  // bytes only up to it, without decoding the page or caching it: a lookup
  // at random would otherwise decode a whole page for each record it
  // wants. False when every record of the page is below.
  bool seek_in_stored_leaf(uint32_t unit, std::string_view key, bool strictly, PageRecord* out);
  // The child for key of the index page of this level at the unit, read
  // where it is stored.
  void child_in_stored_index(uint32_t unit, int level, std::string_view key, IndexStep* out);
  // Whether the leaf is the one the last such lookup wanted (which then
  // takes the cached way); remembers it.
  bool stored_leaf_met_again(uint32_t unit) {
    bool again = unit == last_stored_leaf_;
    last_stored_leaf_ = unit;
    return again;
  }
  Page& new_page(uint8_t level);
  void mark_dirty(Page& page);
  // The page leaves the tree; its units are given back at the commit.
  void free_page(Page& page);
  // A page that a fill in key order has finished (nothing will be added to
  // it) is placed now and let go from the cache (let_go): a long fill
  // (BUILD, a STREAM of APPENDs) does not keep every page it made in memory,
  // decoded, until the commit. The caller holds no pointer to the page
  // afterwards.
  void write_finished_page(Page& page);
  // Finds the index page that refers to the page (by its first key) and the
  // position of the reference; null for the root.
  Page* parent_of(const Page& page, size_t* position);
  // Points the page's parent (or the header's root) at a new unit.
  void set_reference(const Page& page, uint32_t new_unit);

  // The next record or table number from the header's counter.
  uint32_t take_number();

  // The key of the last record inserted, for the tree to tell an insert
  // that follows it (records arriving in key order) from one elsewhere.
  std::string& last_inserted_key() { return last_inserted_key_; }

  // Where a lookup of a kind of record last led: a leaf, and the range of
  // keys the index pages send to it, good while the cache's shape count is
  // the one noted. The next lookup in that range needs no descent.
  struct LeafHint {
    uint64_t shape = 0;
    uint32_t unit = 0;
    bool has_lower = false, has_upper = false;  // without one, the range is open that way
    std::string lower, upper;                   // lower <= key < upper
  };
  // The hint for the kind of the key (the byte after the table number
  // tells data records and each key's entries apart).
  LeafHint& leaf_hint(std::string_view key) {
    return leaf_hints_[key.size() > 4 ? static_cast<uint8_t>(key[4]) % kLeafHints : 0];
  }

  // Writes the update of the operation in progress (safe_update.cpp).
  void commit();
  // The same update in two halves, for a commit across files: prepare
  // writes steps 1 to 4 (the update is bracketed and decided for this file,
  // readers are kept out; false when there is nothing to write), finish
  // writes steps 5 and 6; undo_prepared puts the header back as it was, so
  // that the update is rolled back (false when that write failed).
  bool prepare_update();
  void finish_update();
  bool undo_prepared();
  // Forgets every change of the update in progress.
  void abandon();
  // Cuts off the shadow area the last update left past the page areas
  // (safe_update.cpp), so that a closed file is no longer than its pages;
  // an updating operation with nothing held calls it.
  void trim_shadow_area();
  // Resolves a bracketed shadow area (safe_update.cpp); true when something
  // was rolled forward. On a file others share it holds the writer byte and
  // keeps readers out while it works, and does nothing when another process
  // has resolved the area meanwhile.
  bool recover();

  // Every page unit reachable from the root with its class, by walking the
  // index pages (leaf units come from their parents' references).
  void collect_units(std::vector<std::pair<uint32_t, int>>* units);

 private:
  PageStore() = default;
  void read_header_from_disk();
  // An encrypted file whose header bytes are still all zero: empty.
  bool header_never_written();
  void read_exact(uint64_t offset, void* buffer, size_t size);
  void write_exact(uint64_t offset, const void* buffer, size_t size);
  void flush_file();
  // The lock of the operation in progress (file_locks.h).
  enum class Held { Nothing, ReaderSlot, WriterByte };
  void take_operation_lock(bool update);
  void release_operation_lock();
  // The stored bytes of the page at the unit: kept, or read (and kept).
  // Valid until the next call.
  const std::vector<uint8_t>& stored_page(uint32_t unit);
  std::unique_ptr<Page> load_page(uint32_t unit);
  // Page placement (page_areas.cpp).
  void build_free_slots();
  uint32_t allocate_slot(int units);
  void release_slot(uint32_t unit, int units);
  void grow_area(int units);
  void move_page(uint32_t from, uint32_t to);
  // A changed page that nobody holds leaves the cache until the commit: a
  // place past the committed pages is written at once (nothing on disk
  // refers to it before the update is written, so a crash before then
  // leaves it unused); a place among them keeps the page's stored bytes in
  // parked_ for the commit's shadow copy, a fraction of the decoded page.
  // False (nothing done) for a page of a new file or whose class changed,
  // which the commit places.
  bool let_go(Page& page);
  // Whether the updates held have grown past the limits above.
  bool holding_too_much();
  size_t held_bytes_limit_ = kMaxHeldBytes;
  size_t changed_page_bytes_ = 0;  // a moving average over the pages changed
  void place_dirty_pages();

  std::mutex mutex_;
  std::string name_;
  uint32_t process_ = 0;  // the process that opened it
  platform::Access access_ = platform::Access::ReadWrite;
  LockProtocol protocol_ = LockProtocol::None;
  // Others may write the file (it was not opened denying them that); when
  // they may not, the header in memory after an operation that ended well
  // is the one on disk, and the next operation need not read it.
  bool others_may_write_ = true;
  bool header_trusted_ = false;
  uint32_t reader_slot_ = 0;
  Held held_ = Held::Nothing;
  std::unique_ptr<platform::File> file_;
  std::unique_ptr<XtsCipher> cipher_;  // for an encrypted file
  // What a later open of the same file in this process must match: a
  // digest of the owner text, empty for a file without one.
  std::string owner_digest_;
  // A new encrypted file's key block, written by its first update.
  KeyParameters key_params_;
  // Opens the cipher from the key block (or makes one for an empty file).
  int open_cipher(const std::string& owner);
  void write_key_block_if_new();
  void write_header_if_new();
  BdxHeader header_;
  bool header_on_disk_ = false;
  uint8_t disk_header_[kHeaderSize] = {};
  PageCache cache_;
  std::string last_inserted_key_;
  static constexpr size_t kLeafHints = 8;
  std::array<LeafHint, kLeafHints> leaf_hints_;
  uint32_t last_stored_leaf_ = 0;
  uint32_t next_provisional_ = kProvisionalUnit;
  bool operating_ = false;  // between begin_operation and end_operation
  bool updating_ = false;
  bool holding_ = false;
  bool enlisted_ = false;
  bool lost_held_updates_ = false;
  bool stale_pending_ = false;
  bool pending_ = false;  // held updates not written yet
  bool touched_ = false;  // the operation in progress changed something
  uint32_t committed_units_end_ = 0;  // units_end when the update began
  std::vector<std::pair<uint32_t, int>> freed_;  // slots given back at commit
  // Pages let go among the committed ones, by unit: their stored bytes,
  // which reads take instead of the disk's until the commit writes them.
  // A page changed again, moved or freed leaves.
  std::map<uint32_t, std::vector<uint8_t>> parked_;
  void unpark(uint32_t unit) {
    if (!parked_.empty()) parked_.erase(unit);
  }
  bool free_known_ = false;
  std::vector<std::vector<uint32_t>> free_slots_;  // per class

  // Between prepare_update and finish_update.
  struct PageImage {
    uint64_t home;
    std::vector<uint8_t> bytes;
  };
  struct Prepared {
    bool active = false;
    std::vector<Page*> dirty;
    std::vector<PageImage> shadows;
    uint8_t header_copy[kHeaderSize] = {};
    uint32_t change_count = 0;
    uint64_t shadow_end = 0;
    std::unique_ptr<WaitedLock> readers;
  };
  Prepared prepared_;
};

// For crash tests: the next commit of any store stops after the given step
// of the safe update (1 to 6; 5 is after the first page copied home), as if
// the process had died there, and the operation fails (crash_points.h).
void interrupt_next_commit_after(int step);

}  // namespace vrt::data
