// A VIEW: a primary file joined with secondary files, filtered by an
// expression and read in an order. The engine reads through ordinary driver
// operations: it picks a key of the primary file from the ORDER and the
// FILTER, scans it over the ranges the filter allows, joins each row's
// children by their keys depth first, and sorts the rows itself when no key
// gives the order.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/expression/evaluate.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/sort_store.h"
#include "runtime/data/view/view_scan.h"

namespace vrt::data {

struct ViewNode {
  FileBlock* file = nullptr;
  // A secondary file: the key it is read by, and the parent's fields
  // (numbers from 1) whose values fix the key's leading components.
  int key = -1;
  std::vector<int> link_fields;
  // Or a join given by an expression: every record of the file is tested.
  std::string join_expression;
  bool inner = false;
  // Projected fields (numbers from 1); empty: every field. Projected memos
  // (numbers from 0), which the driver reads with the record anyway.
  std::vector<int> projection;
  std::vector<int> projected_memos;
  // The join as declared when it is a text (a key name or an expression),
  // for the trace.
  std::string join_text;
  std::vector<ViewNode> children;
};

// A node for a file with nothing joined to it.
inline ViewNode view_node(FileBlock& file) {
  ViewNode n;
  n.file = &file;
  return n;
}

// The compiled form of a VIEW declaration, one node after another, depth
// first:
//   join      0xFF and a zero-terminated text (a key name or an expression),
//             or a count n (one byte) and n 16-bit field numbers of the parent
//   inner     one byte, non-zero for INNER
//   project   a 16-bit count (0xFFFF: no PROJECT), then 16-bit field numbers,
//             or 0xFFFF and a 16-bit memo number
//   children  one byte: the number of child nodes that follow
// 16-bit numbers are little-endian. `files` are the view's files in the
// same order, each with the key it is joined by (-1 for the primary). False
// (with a message) when the bytes do not describe such a tree.
bool parse_view_descriptor(const std::string& bytes, const std::vector<std::pair<FileBlock*, int>>& files,
                           ViewNode* primary, std::string* message);

class View {
 public:
  // Names in FILTER and ORDER resolve to fields of the primary file.
  View(ViewNode primary, FieldResolver resolve);
  ~View();

  // False (error 800 or 801 posted) when the text is not an expression.
  bool set_filter(const std::string& text);
  // A list of field names, each with "-" in front for descending order.
  bool set_order(const std::string& text);
  void set_preferred_key(int key) { preferred_key_ = key; }

  // Takes the view's files in (INVIEW), after asking the primary file's
  // driver whether it runs views itself (QUERY_VIEW; the native driver
  // says no). False when a file is already in another view.
  bool open();
  // Releases the files (ENDVIEW) and the row buffer.
  void close();
  bool is_open() const { return open_; }

  // Chooses the key and positions before the first row.
  void set();
  // The next or previous row into the record buffers; false at the end
  // with 33 "Record Not Available" posted.
  bool next();
  bool previous();
  // Moves by n rows (backwards for a negative n); false when the view ends
  // first.
  bool skip(int32_t n);
  // The number of rows; afterwards the view is set to its start again.
  // -1, with the file's error posted, when reading failed.
  int32_t records();
  // A position string for the current row: each file's key position, each
  // with its 16-bit length in front.
  std::string position() const;
  // The next row read is the one at the position. False (35 "Record Not
  // Found" posted) for a string that is not a position of this view.
  bool reset(const std::string& position);
  // RESET(view, file): sets the view again and makes the primary file's
  // current record the next row read. False (33 posted) for sorted rows,
  // which are the view's own.
  bool reset_to_current();
  // Reads the row at the position into the record buffers at once.
  bool reget(const std::string& position);

  // BUFFER: keep the rows read, up to `rows` of them (the oldest go first),
  // so that GET can read them again by their place. 0 stops buffering.
  void buffer(int32_t rows);
  // Row n of the buffer (from 1) into the record buffers; 33 "Record Not
  // Available" for 0 or past the rows held.
  bool get_row(int32_t n);
  int32_t buffered_rows() const { return static_cast<int32_t>(buffered_.size()); }

  // The key of the primary file the view reads by (-1: record order, or
  // rows sorted by the engine), whether it reads it backwards, and what the
  // scan did.
  int chosen_key() const { return chosen_key_; }
  bool sorted() const { return sorted_; }
  std::string explain() const;
  uint64_t entries_read() const;
  const ViewNode& primary() const { return primary_; }
  // The view's files, the primary first, then the joined ones depth first.
  std::vector<FileBlock*> files() const;

 private:
  struct Flat {
    ViewNode* node;
    int parent;  // index in flat_, -1 for the primary
    std::unique_ptr<ViewScan> scan;
    bool empty = false;  // an outer join's row with the child cleared
    std::unique_ptr<core::Expression> join;  // a join given by an expression
  };
  void flatten(ViewNode& node, int parent);
  int choose_key();
  bool key_gives_order(int key, bool* backwards) const;
  bool start(size_t i, bool backwards);
  bool step(size_t i, bool backwards);
  bool advance(bool backwards);
  bool sorted_step(bool backwards);
  bool next_row();
  bool previous_row();
  bool split_position(const std::string& position, std::vector<std::string>* parts) const;
  std::vector<ComponentRange> link_ranges(size_t i);
  void collect_sorted();
  std::string sort_key();

  ViewNode primary_;
  FieldResolver resolve_;
  core::Expression filter_;
  bool has_filter_ = false;
  std::vector<core::ExprTree> order_;
  int preferred_key_ = -1;
  std::vector<Flat> flat_;
  int chosen_key_ = -1;
  bool key_backwards_ = false;
  bool sorted_ = false;
  bool fresh_ = true;
  bool reading_backwards_ = false;
  // Sorted rows: every file's record buffer, one row after another.
  std::unique_ptr<SortStore> rows_;
  std::vector<uint64_t> row_offsets_;
  int64_t row_at_ = -1;
  bool sort_failed_ = false;
  // The error a file posted while the rows were collected for sorting.
  int scan_error_ = 0;
  std::string scan_error_file_, scan_error_system_text_;
  // After reset(): each node's part of the position, used once by start().
  std::vector<std::string> resume_;
  bool open_ = false;
  // The primary file's driver takes the filter to its server (it answered
  // QUERY_VIEW with yes): each SET hands it over with SETview.
  bool driver_filters_ = false;
  void tell_driver(bool open);
  size_t buffer_limit_ = 0;
  std::vector<std::string> buffered_;  // every file's record, one row each
  void keep_row();
};

}  // namespace vrt::data
