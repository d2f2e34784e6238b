// One table of a BDX file as one file block sees it: the driver-private
// instance of the native driver. It holds the shared store of the file, the
// table's number and collation, the current record and the sequence being
// read, and carries out the record-level work of the operations.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "runtime/core/expression/evaluate.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/bdx/store/page_store.h"
#include "runtime/data/bdx/store/record_tree.h"
#include "runtime/data/bdx/table_collation.h"
#include "runtime/data/bdx/table_name.h"

namespace vrt::data {

// Where NEXT and PREVIOUS go on from: the tree key last read (exclusive) or
// a key to start at (inclusive).
struct Sequence {
  int key = -1;  // -1 record order, else the key number
  std::string next_from;
  bool next_inclusive = true;
  std::string prev_from;
  bool prev_inclusive = false;
  TreeCursor cursor;  // the leaf place of the last record read
};

class BdxTable : public DriverInstance {
 public:
  explicit BdxTable(FileBlock* file) : file_(file) {}
  // A file block that goes away without CLOSE leaves its transaction and
  // gives back its holds.
  ~BdxTable() override;

  FileBlock& file() { return *file_; }
  const FileDeclaration& declaration() const { return file_->declaration; }
  PageStore& store() { return *store_; }
  std::shared_ptr<PageStore> shared_store() const { return store_; }
  bool is_open() const { return store_ != nullptr; }
  uint32_t number() const { return number_; }
  const TableCollation& collation() const { return collation_; }
  RecordTree tree() { return RecordTree(*store_); }

  // OPEN and CREATE (the store is taken by the driver frame).
  int open(int32_t mode);
  int create();
  void close();

  // Records by number; the buffer is in the declared, native layout.
  bool read_record(uint32_t record, std::string* bytes);
  // The stored record becomes the current one, in the buffer.
  void load_buffer(uint32_t record, std::string_view stored);
  // read_record and load_buffer without a copy between; false when absent.
  bool load_record(uint32_t record);
  int add(bool with_keys);
  int put();
  int remove();  // DELETE
  int empty();   // EMPTY

  // LOCK and UNLOCK (bdx_table_lock.cpp): the table's byte in the lock area,
  // asked for without waiting, or for up to the seconds given (0: once).
  int lock_table(int32_t seconds);
  void unlock_table();
  // HOLD and RELEASE: a held record's byte of the lock area, taken without
  // waiting (false when another has it), kept until RELEASE, a PUT or a
  // DELETE of the record, or CLOSE.
  bool hold_record(uint32_t record);
  // PUT and DELETE leave alone a record another process holds: the byte is
  // taken without waiting for the time of the update (false when another
  // has it), unless this table holds the record already.
  bool lock_for_update(uint32_t record);
  void unlock_after_update(uint32_t record);
  bool holds(uint32_t record) const { return held_.count(record) != 0; }
  void release_record(uint32_t record);
  void release_holds();
  // The seconds of the pending HOLD; -1 repeats the read until it holds.
  int32_t hold_seconds = -1;

  // Counters records: the data's (which = 0xF3) or a key's.
  uint32_t counter(uint8_t which);
  void add_to_counter(uint8_t which, int32_t delta);
  // The number kept with the table (the second word of its data counters),
  // read and set by the FLAGS command.
  uint32_t flags();
  void set_flags(uint32_t value);

  // Key entries (key_entries.cpp).
  bool make_entry(int key, const uint8_t* record, uint32_t number, std::string* entry_key, std::string* entry_data);
  uint32_t entry_record_number(int key, RecordView entry) const;
  // A filter, when given, keeps the records for which it is true; it is
  // tested with each record in the record buffer.
  int build_key(int key, const core::Expression* filter = nullptr);
  int build_index(int key, const std::string& components, const std::string* filter = nullptr);
  std::string key_prefix(int key) const;
  bool find_by_key(int key, const uint8_t* record, uint32_t* number);

  // Sequences (bdx_sequence.cpp).
  void set_sequence(int key, const std::string& from, bool inclusive_forward, const std::string& back_from,
                    bool inclusive_back);
  void set_start(int key);
  int step(bool forward);
  bool at_end(bool forward);
  // The next entry of a key or the data from a position: the tree's, or a
  // built index's own.
  bool seek_entry(int key, const std::string& from, bool strictly, bool forward, std::string* found,
                  uint32_t* number, TreeCursor* cursor = nullptr);

  // The current record as it was read, in the buffer's layout.
  std::string current_as_read() const {
    std::string b = current_stored;
    buffer_form(&b);
    return b;
  }

  // BUILDevent: the progress callback of this file's builds, told every
  // kBuildReportEvery records and at the end.
  static constexpr uint32_t kBuildReportEvery = 1000;
  BuildProgress build_progress = nullptr;
  void* build_context = nullptr;
  // CLOSE asked for while a BUILD ran (from its progress callback): the
  // build is cancelled and the file closed when it stops.
  bool close_after_build = false;
  // SETNULL marks a field of the buffer null until the next read: a stored
  // record has no null fields.
  std::set<int32_t> null_fields;

  uint32_t current_record = 0;
  std::string current_stored;  // the stored record as last read
  Sequence sequence;
  bool full_build = false;
  bool skip_memos_once = false;  // NOMEMO: the next read leaves the memos alone
  int last_error = 0;

 private:
  int create_table(const std::string& name);
  void drop_table(uint32_t number);
  void write_memos(uint32_t record);
  void read_memos(uint32_t record);
  void erase_memos(uint32_t record);
  std::string stored_form(const uint8_t* buffer) const;
  void buffer_form(std::string* bytes) const;
  int check_unique(const uint8_t* record, uint32_t number);
  int put_locked(const std::string& old);
  // The stored record, checked for its length; valid as the tree's lookups.
  std::optional<RecordView> find_record(RecordTree& tree, uint32_t record);
  bool table_locked_ = false;
  std::set<uint32_t> held_;
  std::string step_found_;  // the entry a step found, its room kept between steps

  FileBlock* file_;
  std::shared_ptr<PageStore> store_;
  TableAddress address_;
  uint32_t number_ = 0;
  TableCollation collation_;
  // Built indexes: their entries (prefix, value, record number), in order.
  std::map<int, std::set<std::string>> indexes_;
};

BdxTable* bdx_table(FileBlock& file);

}  // namespace vrt::data
