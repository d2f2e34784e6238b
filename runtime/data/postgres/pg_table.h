// One table on the server as one file block sees it: the driver-private
// instance of the server driver. It keeps the columns and key orders of the
// declaration, the current record (number, version, the buffer as read) and
// the sequence being read, as two bounds: where NEXT goes on from and where
// PREVIOUS does.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/postgres/pg_columns.h"
#include "runtime/data/postgres/pg_declarations.h"
#include "runtime/data/postgres/pg_key_order.h"
#include "runtime/data/postgres/pg_view_filter.h"

namespace vrt::data {

// A place in a key's order: the values of its first parts (all of them
// after a read; fewer for SET from a key value), or none for an end.
struct KeyBound {
  std::vector<PgParam> values;
  bool inclusive = true;
  bool nothing = false;  // no record lies on this side (SET to a missing record)
};

struct PgSequence {
  int key = -1;  // -1 record order, else the key number
  KeyBound next, previous;
};

class PgTable : public DriverInstance {
 public:
  explicit PgTable(FileBlock* file) : file_(file) {}

  bool is_open() const { return open_; }
  const std::string& table() const { return table_; }
  int open(int32_t mode);
  int create();
  void close();
  int remove();

  // Reads: one row in a key's order after a bound, by number, by key value.
  int step(bool forward);
  bool at_end(bool forward);
  int read_number(int64_t number);
  // With number_only, the buffer stays as it is and only the record's
  // number is found.
  int read_by_key(int key, int64_t* number_only = nullptr);
  // The bounds of a SET or RESET.
  void set_start(int key);
  void set_at(int key, std::vector<PgParam> values);
  int set_at_record(int key, int64_t number);
  int set_at_key_value(int key, bool with_number, int64_t number);
  void set_nothing_forward();

  int add();
  int put(bool watched);
  int remove_current(bool watched);
  int empty();
  int count(int key, int32_t* records);
  int duplicate(int only_key, bool* found);
  int build(int only_key);

  // The buffer's key value as parameters, or false (with the reason in
  // message) when a field cannot be stored.
  bool key_values(int key, std::vector<PgParam>* values);
  // The current record's values in a key's parts, read from the buffer as
  // it was read.
  std::vector<PgParam> current_key_values(int key);
  const KeyOrder& order(int key) const { return orders_[static_cast<size_t>(key + 1)]; }

  // HOLD: the next read locks the row it reads (SELECT ... FOR UPDATE),
  // waiting at most the seconds given (-1: kHoldWaitSeconds) for another
  // station's lock (43). A held row stays locked until RELEASE, a PUT or
  // DELETE of it, or CLOSE.
  static constexpr int32_t kHoldWaitSeconds = 30;
  int32_t hold_seconds = -1;
  int begin_hold();
  void end_hold(bool read);
  void release(int64_t record);
  void release_holds();
  bool holds(int64_t record) const;

  // A view reading this file (SETview from the view engine): sequences add
  // the part of its filter that the server tests, and NEXT and PREVIOUS
  // read a page of rows by one query. A null filter with open false ends
  // the view.
  static constexpr int kViewPage = 64;
  void set_view(const core::ExprNode* filter, bool open);

  int64_t current_record = 0;
  int64_t current_version = 0;
  PgSequence sequence;
  // The server's message of the last failure, for FILEERROR.
  std::string message;

 private:
  int prepare();
  int fail(PgOutcome& o);
  int load_row(const PgOutcome& o, int row);
  bool record_params(std::vector<PgParam>* params);
  std::string select_list() const;
  std::vector<PgStatement> create_statements() const;
  std::string where_for(int key, const KeyBound& bound, bool forward, std::vector<PgParam>* params) const;

  FileBlock* file_;
  bool open_ = false;
  std::string table_;
  std::vector<PgColumn> columns_;
  std::vector<KeyOrder> orders_;  // record order first, then the keys
  std::vector<uint8_t> as_read_;
  bool lock_rows_ = false;
  std::set<int64_t> held_;
  uint64_t held_serial_ = 0;  // the session transaction the holds belong to
  std::string lock_clause() const;
  void take_row(const PgOutcome& o, int row);
  void drop_page() { page_.result.reset(); }

  bool in_view_ = false;
  ServerCondition view_condition_;
  // Rows read ahead in a view, in the direction they were read.
  PgOutcome page_;
  int page_at_ = 0;
  bool page_forward_ = true;
};

PgTable* pg_table(FileBlock& file);

// The table a file's NAME stands for: its last path element without the
// extension, in lower case ("data/CUSTOMER.BDX" is "customer").
std::string table_name_of(const FileDeclaration& declaration);

}  // namespace vrt::data
