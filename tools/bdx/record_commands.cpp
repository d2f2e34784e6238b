// bdx import and dump.
//
//   bdx import FILE CSV   the CSV's first line names fields, memos and blobs
//                         by label (with or without the prefix); each
//                         further record is one ADD. A quoted value may
//                         span lines (its line ends are kept); a memo is its
//                         text, a blob its bytes in hexadecimal; a field
//                         takes only what it can hold (field_input.h).
//                         Records are written in batches, each one safe
//                         update. Prints the number of records added; a
//                         record that fails prints "line N: error C: TEXT"
//                         or "line N: what does not fit" (N its first line)
//                         and ends the import, exit 1: nothing of it is
//                         stored, the records before it stay, and standard
//                         error says how many were stored.
//   bdx dump FILE [--key LABEL-OR-NUMBER] [--csv]
//                         record order, or a key's order (keys numbered from
//                         1); a header line of labels, then one line per
//                         record, values separated by tabs (or as CSV);
//                         memos and blobs follow the fields, written as
//                         import reads them. In the tab form every value's
//                         tabs, line ends and backslashes are written \t,
//                         \n, \r and \\; the CSV form is what import reads.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/statements.h"
#include "tools/bdx/command.h"
#include "tools/bdx/csv.h"
#include "tools/bdx/field_input.h"
#include "tools/bdx/table_access.h"

namespace vrt::bdx_tool {

namespace {

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

int import_cmd(const Args& args) {
  if (args.size() != 2) return usage_error("import");
  std::ifstream in(args[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bdx: cannot read %s\n", args[1].c_str());
    return 1;
  }
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadWrite | data::kDenyNone) != 0) return posted_failure();
  std::string line;
  std::vector<std::string> cells;
  std::vector<Column> columns;
  if (!std::getline(in, line) || !split_csv(line, &cells)) {
    std::printf("line 1: the header line of field labels is missing\n");
    return 1;
  }
  for (const std::string& label : cells) {
    int n = field_by_label(f.declaration, label);
    int m = n < 0 ? memo_by_label(f.declaration, label) : -1;
    if (n < 0 && m < 0) {
      std::printf("line 1: no field %s\n", label.c_str());
      return 1;
    }
    if (n >= 0 && !importable_type(f.declaration.fields[static_cast<size_t>(n)].type)) {
      std::printf("line 1: %s cannot be imported\n", label.c_str());
      return 1;
    }
    columns.push_back(n >= 0 ? Column{false, static_cast<size_t>(n)} : Column{true, static_cast<size_t>(m)});
  }
  BatchedImport batch(f);
  auto stop = [&](long at, const std::string& message) {
    batch.finish_after_failure();
    std::printf("line %ld: %s\n", at, message.c_str());
    std::fprintf(stderr, "bdx: %ld records stored\n", batch.stored());
    return 1;
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
  std::printf("%ld\n", batch.stored());
  return 0;
}

int dump_cmd(const Args& in) {
  Args args = in;
  std::string key_name;
  bool by_key = take_option(args, "--key", &key_name);
  bool csv = take_flag(args, "--csv");
  if (args.size() != 1) return usage_error("dump");
  data::FileBlock f;
  if (open_stored_table(args[0], f, data::kReadOnly | data::kDenyNone) != 0) return posted_failure();
  const auto& fields = f.declaration.fields;
  std::vector<size_t> shown;
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type != data::kTypeGroup) shown.push_back(i);
  const auto& memos = f.declaration.memos;
  const char* separator = csv ? "," : "\t";
  std::vector<std::string> labels;
  for (size_t i : shown) labels.push_back(fields[i].label);
  for (const data::MemoBlock& m : memos) labels.push_back(m.label);
  for (size_t i = 0; i < labels.size(); ++i)
    std::printf("%s%s", i ? separator : "", (csv ? csv_quote(labels[i]) : labels[i]).c_str());
  std::printf("\n");
  if (by_key) {
    int k = key_by_label(f.declaration, key_name);
    if (k < 0) {
      std::fprintf(stderr, "bdx: no key %s\n", key_name.c_str());
      return 2;
    }
    data::Set(f.declaration.keys[static_cast<size_t>(k)]);
  } else {
    data::Set(f);
  }
  if (core::error_code() != 0) return posted_failure();
  for (;;) {
    data::Next(f);
    if (core::error_code() == 33) break;
    if (core::error_code() != 0) return posted_failure();
    for (size_t i = 0; i < shown.size(); ++i) {
      std::string v = field_text(f, shown[i]);
      std::printf("%s%s", i ? separator : "", (csv ? csv_quote(v) : tab_value(v)).c_str());
    }
    for (size_t i = 0; i < memos.size(); ++i) {
      const data::MemoBlock& m = memos[i];
      std::string v = m.is_blob() ? to_hex(m.value) : csv ? csv_quote(m.value) : tab_value(m.value);
      if (i || !shown.empty()) std::fputs(separator, stdout);
      std::fwrite(v.data(), 1, v.size(), stdout);
    }
    std::printf("\n");
  }
  return 0;
}

RegisterCommand r1({"import", "FILE CSV", import_cmd});
RegisterCommand r2({"dump", "FILE [--key LABEL-OR-NUMBER] [--csv]", dump_cmd});

}  // namespace

}  // namespace vrt::bdx_tool
