#include "tools/bdx/csv_import.h"

#include <unistd.h>

#include <cstdio>

#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "tools/bdx/csv.h"
#include "tools/bdx/field_input.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

bool from_hex(const std::string& hex, std::string* bytes) {
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

// A column of the CSV: a field or a memo (blobs included).
struct Column {
  bool memo;
  size_t index;
};

// Reads the next CSV record, which continues over line ends while a quoted
// value is open; *line is the number of the last line read. 0 at the end
// of the input, -1 when a quote is never closed, else 1; *start is the
// record's first line.
int read_record(std::istream& in, long* line, long* start, std::vector<std::string>* cells) {
  std::string text;
  do {
    if (!std::getline(in, text)) return 0;
    ++*line;
  } while (text.empty() || text == "\r");
  *start = *line;
  std::string more;
  while (!split_csv(text, cells)) {
    if (!std::getline(in, more)) return -1;
    ++*line;
    text += '\n';
    text += more;
  }
  return 1;
}

// Puts one CSV value into its field or memo; false with *problem set when
// the value does not fit.
bool store_value(data::FileBlock& f, const Column& c, const std::string& value, std::string* problem) {
  if (!c.memo) return put_field_text(f, c.index, value, problem);
  data::MemoBlock& m = f.declaration.memos[c.index];
  if (m.is_blob()) {
    if (from_hex(value, &m.value)) return true;
    *problem = m.label + " is not hexadecimal";
    return false;
  }
  if (value.size() > m.size) {
    *problem = m.label + " holds at most " + std::to_string(m.size) + " characters";
    return false;
  }
  m.value = value;
  return true;
}

// Records per safe update: one flush of the file for each batch instead of
// one for each record.
constexpr long kImportBatch = 5000;

// An import in batches: STREAM holds the records of a batch in memory and
// FLUSH writes them by one safe update. The writer byte is held from a
// batch's first record to its FLUSH, so the table's count tells what of the
// batch is stored.
class BatchedImport {
 public:
  explicit BatchedImport(data::FileBlock& f) : f_(f), progress_(isatty(STDERR_FILENO) != 0) {}

  bool add() {
    if (in_batch_ == 0) {
      data::Stream(f_);
      if (core::error_code() != 0) return false;
    }
    data::Add(f_);
    if (core::error_code() != 0) return false;
    if (in_batch_++ == 0) batch_base_ = data::Records(f_) - 1;
    return in_batch_ < kImportBatch || flush();
  }

  bool flush() {
    if (in_batch_ == 0) return true;
    data::Flush(f_);
    if (core::error_code() != 0) return false;
    stored_ += in_batch_;
    in_batch_ = 0;
    if (progress_) std::fprintf(stderr, "\rbdx: %ld records imported", stored_);
    return true;
  }

  // After a failure: the batch's records that the failing one left whole
  // are written; the error posted stays.
  void finish_after_failure() {
    if (in_batch_ > 0) {
      bool whole = data::Records(f_) == batch_base_ + in_batch_;
      data::Flush(f_);
      if (whole && core::error_code() == 0) stored_ += in_batch_;
    }
    in_batch_ = 0;
    end_progress();
  }

  void end_progress() {
    if (progress_ && stored_ > 0) std::fprintf(stderr, "\r%40s\r", "");
    progress_ = false;
  }
  long stored() const { return stored_; }

 private:
  data::FileBlock& f_;
  bool progress_;
  long stored_ = 0;
  long in_batch_ = 0;
  int32_t batch_base_ = 0;
};

}  // namespace

bool import_csv(data::FileBlock& f, std::istream& in, ImportResult* result) {
  *result = ImportResult{};
  auto fail = [&](long line, const std::string& problem) {
    result->line = line;
    result->problem = problem;
    return false;
  };
  std::string line;
  std::vector<std::string> cells;
  std::vector<Column> columns;
  if (!std::getline(in, line) || !split_csv(line, &cells)) return fail(1, "the header line of field labels is missing");
  for (const std::string& label : cells) {
    int n = field_by_label(f.declaration, label);
    int m = n < 0 ? memo_by_label(f.declaration, label) : -1;
    if (n < 0 && m < 0) return fail(1, "no field " + label);
    if (n >= 0 && !importable_type(f.declaration.fields[static_cast<size_t>(n)].type))
      return fail(1, label + " cannot be imported");
    columns.push_back(n >= 0 ? Column{false, static_cast<size_t>(n)} : Column{true, static_cast<size_t>(m)});
  }
  BatchedImport batch(f);
  auto stop = [&](long at, const std::string& problem) {
    batch.finish_after_failure();
    result->stored = batch.stored();
    return fail(at, problem);
  };
  long last_line = 1, first = 1;
  for (;;) {
    int got = read_record(in, &last_line, &first, &cells);
    if (got == 0) break;
    if (got < 0) return stop(first, "a quoted value is not closed");
    if (cells.size() != columns.size()) return stop(first, "expected " + std::to_string(columns.size()) + " values");
    data::clear_record(f);
    for (data::MemoBlock& m : f.declaration.memos) m.value.clear();
    std::string problem;
    for (size_t i = 0; i < cells.size(); ++i)
      if (!store_value(f, columns[i], cells[i], &problem)) return stop(first, problem);
    if (!batch.add())
      return stop(first, "error " + std::to_string(core::error_code()) + ": " + core::error_text());
  }
  if (!batch.flush()) return stop(last_line, "error " + std::to_string(core::error_code()) + ": " + core::error_text());
  batch.end_progress();
  result->stored = batch.stored();
  return true;
}



// A value in the tab form of dump: one line, tabs and line ends escaped.
std::string tab_value(const std::string& v) {
  std::string out;
  for (char c : v) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::string to_hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

}  // namespace vrt::bdx_tool
