#include "runtime/data/view/view.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/values/value.h"
#include "runtime/data/driver/dispatcher.h"
#include "runtime/data/driver/driver_call.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/data/driver/statements.h"

namespace vrt::data {

namespace {

// The field an ORDER item names, and whether it is descending.
int order_field(const core::ExprNode& item, const FieldResolver& resolve, bool* descending) {
  *descending = false;
  const core::ExprNode* n = &item;
  if (n->kind == core::ExprNode::Kind::Unary && n->op == core::Op::Negate) {
    *descending = true;
    n = n->kids[0].get();
  }
  return node_field(*n, false, resolve);
}

// Bytes that sort like the value: numbers by sign and magnitude, texts by
// their collation weights.
void append_sortable(const core::ExprValue& v, bool descending, std::string* out) {
  std::string bytes;
  if (v.type == core::ExprType::String) {
    const uint8_t* w = core::settings().collation_ansi;
    std::string_view t = v.text;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);  // trailing blanks never decide
    for (unsigned char c : t) bytes += static_cast<char>(w[c] + 1);
    bytes += '\0';
  } else {
    double d = v.as_real();
    uint64_t u;
    std::memcpy(&u, &d, 8);
    u = (u >> 63) ? ~u : u | (uint64_t{1} << 63);
    for (int i = 7; i >= 0; --i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
  }
  if (descending)
    for (char& c : bytes) c = static_cast<char>(255 - static_cast<uint8_t>(c));
  *out += bytes;
}

// A read that stopped at the end of its rows (33) rather than on a fault
// of the file, which the view passes on unchanged.
bool ended_cleanly() { return core::error_code() == 0 || core::error_code() == kRecordNotAvailable; }

bool by_sort_key(const std::string& a, const std::string& b, void*) {
  uint32_t la, lb;
  std::memcpy(&la, a.data(), 4);
  std::memcpy(&lb, b.data(), 4);
  return std::string_view(a).substr(4, la) < std::string_view(b).substr(4, lb);
}

}  // namespace

View::View(ViewNode primary, FieldResolver resolve) : primary_(std::move(primary)), resolve_(std::move(resolve)) {
  flatten(primary_, -1);
}

View::~View() { close(); }

bool View::open() {
  if (open_) return true;
  // The native driver answers QUERY_VIEW with 0: the engine does the work.
  // A server's driver answers yes and narrows its reads of the primary file
  // by the filter; the engine still tests every row against all of it.
  DriverArg none[2] = {0, 0};
  driver_filters_ = dispatch(kOpQueryView, primary_.file, none) != 0;
  core::clear_error();
  for (size_t i = 0; i < flat_.size(); ++i) {
    FileBlock& f = *flat_[i].node->file;
    int code = check_operation_state(kOpInView, f, nullptr);
    if (code != 0) {
      // Give back what was taken so far.
      for (size_t k = 0; k < i; ++k) apply_operation_state(kOpEndView, *flat_[k].node->file, nullptr, true);
      if (code > 0) core::post_error(code);
      return false;
    }
    apply_operation_state(kOpInView, f, nullptr, true);
  }
  open_ = true;
  return true;
}

void View::tell_driver(bool open) {
  if (!driver_filters_) return;
  DriverArg args[2] = {open && has_filter_ ? reinterpret_cast<DriverArg>(filter_.tree()) : 0, open ? 1 : 0};
  dispatch(kOpSetView, primary_.file, args);
  core::clear_error();
}

void View::close() {
  if (!open_) return;
  tell_driver(false);
  for (Flat& f : flat_) apply_operation_state(kOpEndView, *f.node->file, nullptr, true);
  open_ = false;
  buffered_.clear();
  buffer_limit_ = 0;
}

void View::buffer(int32_t rows) {
  buffer_limit_ = rows > 0 ? static_cast<size_t>(rows) : 0;
  buffered_.clear();
}

void View::keep_row() {
  if (!buffer_limit_) return;
  std::string row;
  for (Flat& f : flat_) row.append(reinterpret_cast<const char*>(f.node->file->record.data()), f.node->file->record.size());
  if (buffered_.size() == buffer_limit_) buffered_.erase(buffered_.begin());
  buffered_.push_back(std::move(row));
}

bool View::get_row(int32_t n) {
  if (n < 1 || static_cast<size_t>(n) > buffered_.size()) {
    core::post_error(kRecordNotAvailable);
    return false;
  }
  const std::string& row = buffered_[static_cast<size_t>(n - 1)];
  size_t at = 0;
  for (Flat& f : flat_) {
    auto& record = f.node->file->record;
    std::memcpy(record.data(), row.data() + at, record.size());
    at += record.size();
  }
  core::clear_error();
  return true;
}

void View::flatten(ViewNode& node, int parent) {
  flat_.push_back({&node, parent, nullptr, false, nullptr});
  if (parent >= 0 && !node.join_expression.empty()) {
    auto join = std::make_unique<core::Expression>();
    // A join text that is no expression joins nothing: the child stays
    // empty (an outer join) or drops its parent's rows (INNER).
    if (join->compile(node.join_expression)) flat_.back().join = std::move(join);
  }
  int me = static_cast<int>(flat_.size() - 1);
  for (ViewNode& child : node.children) flatten(child, me);
}

bool View::set_filter(const std::string& text) {
  // A filter that does not compile leaves the view unfiltered (the error
  // is posted), never half set.
  has_filter_ = !text.empty() && filter_.compile(text);
  return text.empty() || has_filter_;
}

bool View::set_order(const std::string& text) {
  order_.clear();
  return text.empty() || core::parse_expression_list(text, &order_);
}

// A key gives the order when the order names its leading components, all in
// the key's direction or all against it.
bool View::key_gives_order(int key, bool* backwards) const {
  *backwards = false;
  if (order_.empty()) return true;
  const KeyBlock& k = primary_.file->declaration.keys[static_cast<size_t>(key)];
  if (order_.size() > k.components.size()) return false;
  int direction = 0;
  for (size_t i = 0; i < order_.size(); ++i) {
    bool descending;
    int field = order_field(*order_[i], resolve_, &descending);
    int32_t c = k.components[i];
    if (field == 0 || field != (c < 0 ? -c : c)) return false;
    int d = descending == (c < 0) ? 1 : -1;
    if (direction && d != direction) return false;
    direction = d;
  }
  *backwards = direction < 0;
  return true;
}

int View::choose_key() {
  const auto& keys = primary_.file->declaration.keys;
  std::vector<std::pair<int, bool>> candidates;
  for (size_t k = 0; k < keys.size(); ++k) {
    bool backwards;
    if (key_gives_order(static_cast<int>(k), &backwards)) candidates.emplace_back(static_cast<int>(k), backwards);
  }
  if (candidates.empty()) return -1;
  // The first candidate whose first component the filter constrains wins.
  if (has_filter_)
    for (auto& [k, backwards] : candidates) {
      int32_t c = keys[static_cast<size_t>(k)].components[0];
      bool nocase = keys[static_cast<size_t>(k)].attributes & kKeyNocase;
      if (filter_constrains(*filter_.tree(), c < 0 ? -c : c, nocase, resolve_)) {
        key_backwards_ = backwards;
        return k;
      }
    }
  for (auto& [k, backwards] : candidates)
    if (k == preferred_key_) {
      key_backwards_ = backwards;
      return k;
    }
  key_backwards_ = candidates.front().second;
  return candidates.front().first;
}

void View::set() {
  tell_driver(open_);
  key_backwards_ = false;
  chosen_key_ = choose_key();
  sorted_ = chosen_key_ < 0 && !order_.empty();
  if (sorted_) {
    // No key gives the order: read by the key that suits the filter, then
    // sort.
    std::vector<core::ExprTree> order = std::move(order_);
    order_.clear();
    chosen_key_ = choose_key();
    order_ = std::move(order);
  }
  for (size_t i = 0; i < flat_.size(); ++i) {
    ViewNode& n = *flat_[i].node;
    int key = i == 0 ? chosen_key_ : n.key;
    if (flat_[i].join) key = -1;
    flat_[i].scan = key >= 0 ? std::make_unique<ViewScan>(*n.file, key, i == 0 && has_filter_ ? &filter_ : nullptr,
                                                            i == 0 ? resolve_ : FieldResolver([](const std::string&) { return 0; }))
                             : nullptr;
  }
  fresh_ = true;
  reading_backwards_ = false;
  resume_.clear();  // a RESET that no read followed is forgotten: SET starts afresh
  buffered_.clear();
  rows_.reset();
  row_offsets_.clear();
  row_at_ = -1;
  if (sorted_) collect_sorted();
}

// Positions node i for its parent's current row and reads its first match.
bool View::start(size_t i, bool backwards) {
  Flat& f = flat_[i];
  if (i == 0) {
    if (!f.scan) {
      // A file without keys is read in record order.
      Set(*f.node->file);
      return step(0, backwards);
    }
    if (!resume_.empty())
      f.scan->resume(resume_[0], key_backwards_ != backwards);
    else
      f.scan->set(key_backwards_ != backwards);
    return f.scan->next();
  }
  ViewNode& n = *f.node;
  f.empty = false;
  bool found = false;
  if (f.join) {
    // A join by expression reads the child's records in record order.
    Set(*n.file);
    found = step(i, backwards);
  } else if (f.scan) {
    if (!resume_.empty() && !resume_[i].empty())
      f.scan->resume(resume_[i], link_ranges(i), backwards);
    else
      f.scan->set_ranges(link_ranges(i), backwards);
    found = f.scan->next();
  }
  if (found) return true;
  if (n.inner || !ended_cleanly()) return false;
  // An outer join: one row with the child's record cleared.
  clear_record(*n.file);
  f.empty = true;
  core::clear_error();
  return true;
}

// The parent's link values fix the child key's leading components.
std::vector<ComponentRange> View::link_ranges(size_t i) {
  ViewNode& n = *flat_[i].node;
  FileBlock& parent = *flat_[static_cast<size_t>(flat_[i].parent)].node->file;
  std::vector<ComponentRange> ranges;
  for (int field : n.link_fields) {
    ComponentRange r;
    r.has_low = r.has_high = true;
    r.low = read_field_value(parent, static_cast<size_t>(field - 1));
    r.high = r.low;
    ranges.push_back(r);
  }
  return ranges;
}

bool View::step(size_t i, bool backwards) {
  Flat& f = flat_[i];
  if (f.empty) return false;
  if (f.scan) return f.scan->next();
  const core::Expression* test = i == 0 ? (has_filter_ ? &filter_ : nullptr) : f.join.get();
  if (i != 0 && !test) return false;
  for (;;) {
    if (backwards)
      Previous(*f.node->file);
    else
      Next(*f.node->file);
    if (core::error_code() != 0) return false;
    if (!test) return true;
    // A filter or join that cannot be evaluated ends the view with 800.
    core::ExprValue v;
    if (!test->evaluate(&v)) return false;
    if (v.truth()) return true;
  }
}

// The odometer: the last node moves first; a node that has run out moves
// the one before it and starts again behind it.
bool View::advance(bool backwards) {
  size_t n = flat_.size();
  size_t i = 0;
  bool ok;
  if (fresh_) {
    fresh_ = false;
    ok = start(0, backwards);
  } else {
    i = n - 1;
    ok = step(i, backwards);
  }
  for (;;) {
    if (ok) {
      if (i + 1 == n) {
        resume_.clear();
        core::clear_error();
        return true;
      }
      ++i;
      ok = start(i, backwards);
    } else {
      if (i == 0 || !ended_cleanly()) {
        resume_.clear();
        if (ended_cleanly()) core::post_error(kRecordNotAvailable);
        return false;
      }
      --i;
      ok = step(i, backwards);
    }
  }
}

std::string View::sort_key() {
  std::string key;
  for (const core::ExprTree& item : order_) {
    bool descending = item->kind == core::ExprNode::Kind::Unary && item->op == core::Op::Negate;
    core::ExprValue v;
    core::evaluate_node(descending ? *item->kids[0] : *item, &v);
    append_sortable(v, descending, &key);
  }
  return key;
}

// Reads every row, sorts them by the ORDER and keeps them for reading in
// either direction.
void View::collect_sorted() {
  RowSorter sorter(by_sort_key, nullptr);
  scan_error_ = 0;
  while (advance(false)) {
    std::string key = sort_key();
    uint32_t n = static_cast<uint32_t>(key.size());
    std::string row(reinterpret_cast<const char*>(&n), 4);
    row += key;
    for (Flat& f : flat_) row.append(reinterpret_cast<const char*>(f.node->file->record.data()), f.node->file->record.size());
    if (!sorter.add(std::move(row))) break;
  }
  // A file that failed under the scan: the view says so rather than
  // showing the rows before it.
  if (!ended_cleanly()) {
    scan_error_ = core::error_code();
    scan_error_file_ = core::error_file();
    scan_error_system_text_ = core::file_error_text();
  }
  sorter.finish();
  rows_ = std::make_unique<SortStore>();
  std::string row;
  while (sorter.next(&row)) {
    row_offsets_.push_back(rows_->size());
    uint32_t klen;
    std::memcpy(&klen, row.data(), 4);
    rows_->write(row.data() + 4 + klen, row.size() - 4 - klen);
  }
  row_at_ = -1;
  // A sort that could not write its temporary file has lost rows: the view
  // says so instead of showing fewer rows than there are.
  sort_failed_ = sorter.failed() || rows_->failed();
}

bool View::sorted_step(bool backwards) {
  if (scan_error_ != 0) {
    core::post_error(scan_error_);
    core::set_error_file(scan_error_file_);
    if (scan_error_ == kFileSystemError) core::set_file_error_text(scan_error_system_text_);
    return false;
  }
  if (sort_failed_) {
    core::set_file_error_text("the view's sort file could not be written");
    core::post_error(kFileSystemError);
    return false;
  }
  int64_t next = backwards ? (row_at_ < 0 ? static_cast<int64_t>(row_offsets_.size()) - 1 : row_at_ - 1) : row_at_ + 1;
  if (next < 0 || next >= static_cast<int64_t>(row_offsets_.size()) || rows_->failed()) {
    core::post_error(kRecordNotAvailable);
    return false;
  }
  row_at_ = next;
  uint64_t at = row_offsets_[static_cast<size_t>(next)];
  for (Flat& f : flat_) {
    auto& record = f.node->file->record;
    rows_->read(at, record.data(), record.size());
    at += record.size();
  }
  core::clear_error();
  return true;
}

bool View::next() {
  bool ok = next_row();
  if (ok) keep_row();
  return ok;
}

bool View::previous() {
  bool ok = previous_row();
  if (ok) keep_row();
  return ok;
}

bool View::next_row() {
  if (sorted_) return sorted_step(false);
  if (reading_backwards_ && !fresh_) {
    for (Flat& f : flat_)
      if (f.scan) f.scan->reverse();
  }
  reading_backwards_ = false;
  return advance(false);
}

bool View::previous_row() {
  if (sorted_) return sorted_step(true);
  if (!reading_backwards_ && !fresh_) {
    for (Flat& f : flat_)
      if (f.scan) f.scan->reverse();
  }
  reading_backwards_ = true;
  return advance(true);
}

bool View::skip(int32_t n) {
  for (int32_t k = 0; k < (n < 0 ? -n : n); ++k)
    if (!(n < 0 ? previous() : next())) return false;
  return true;
}

int32_t View::records() {
  set();
  int32_t n = 0;
  while (next_row()) ++n;
  if (!ended_cleanly()) return -1;
  set();
  return n;
}

std::string View::position() const {
  // Sorted rows are the view's own: their position is the row's place.
  if (sorted_) return std::string("S") + std::string(reinterpret_cast<const char*>(&row_at_), sizeof row_at_);
  std::string out;
  for (const Flat& f : flat_) {
    std::string p;
    if (f.empty)
      p.clear();  // an outer join's empty child: no position
    else if (f.scan)
      p = Position(const_cast<ViewScan&>(*f.scan).key());
    else
      p = Position(*f.node->file);
    out += static_cast<char>(p.size() >> 8);
    out += static_cast<char>(p.size() & 0xFF);
    out += p;
  }
  return out;
}

bool View::split_position(const std::string& position, std::vector<std::string>* parts) const {
  parts->clear();
  size_t at = 0;
  for (size_t i = 0; i < flat_.size(); ++i) {
    if (at + 2 > position.size()) return false;
    size_t n = (static_cast<uint8_t>(position[at]) << 8) | static_cast<uint8_t>(position[at + 1]);
    at += 2;
    if (at + n > position.size()) return false;
    parts->push_back(position.substr(at, n));
    at += n;
  }
  return at == position.size();
}

bool View::reset(const std::string& position) {
  if (sorted_) {
    // The sorted rows are kept by the view: the next row is the one there.
    int64_t at = -1;
    if (position.size() == 1 + sizeof at && position[0] == 'S') std::memcpy(&at, position.data() + 1, sizeof at);
    if (at < 0 || at >= static_cast<int64_t>(row_offsets_.size())) {
      core::post_error(kRecordNotFound);
      return false;
    }
    row_at_ = reading_backwards_ ? at + 1 : at - 1;
    if (row_at_ >= static_cast<int64_t>(row_offsets_.size())) row_at_ = -1;
    core::clear_error();
    return true;
  }
  std::vector<std::string> parts;
  if (!split_position(position, &parts) || parts[0].empty()) {
    core::post_error(kRecordNotFound);
    return false;
  }
  resume_ = parts;
  fresh_ = true;
  core::clear_error();
  return true;
}

bool View::reset_to_current() {
  std::vector<uint8_t> record = primary_.file->record;
  set();
  primary_.file->record = record;  // set() leaves the scan's start values there
  if (sorted_ || flat_.empty()) {
    core::post_error(kRecordNotAvailable);
    return false;
  }
  std::string part = flat_[0].scan ? Position(flat_[0].scan->key()) : Position(*primary_.file);
  if (core::error_code() != 0) return false;
  std::string position;
  for (size_t i = 0; i < flat_.size(); ++i) {
    size_t n = i == 0 ? part.size() : 0;
    position += static_cast<char>(n >> 8);
    position += static_cast<char>(n & 0xFF);
    if (i == 0) position += part;
  }
  return reset(position);
}

bool View::reget(const std::string& position) {
  if (sorted_) {
    int64_t keep = row_at_;
    bool ok = reset(position) && next();
    row_at_ = keep;
    return ok;
  }
  std::vector<std::string> parts;
  if (!split_position(position, &parts) || parts[0].empty()) {
    core::post_error(kRecordNotFound);
    return false;
  }
  for (size_t i = 0; i < flat_.size(); ++i) {
    FileBlock& file = *flat_[i].node->file;
    if (parts[i].empty()) {
      clear_record(file);
      continue;
    }
    if (flat_[i].scan)
      Reget(flat_[i].scan->key(), parts[i]);
    else
      Reget(file, parts[i]);
    if (core::error_code() != 0) return false;
  }
  return true;
}

std::vector<FileBlock*> View::files() const {
  std::vector<FileBlock*> out;
  for (const Flat& f : flat_) out.push_back(f.node->file);
  return out;
}

uint64_t View::entries_read() const {
  uint64_t n = 0;
  for (const Flat& f : flat_)
    if (f.scan) n += f.scan->stats().entries_read;
  return n;
}

std::string View::explain() const {
  std::string s;
  if (sorted_) s += "rows sorted by the view (no key gives the order)\n";
  if (!flat_.empty() && flat_[0].scan) s += flat_[0].scan->explain();
  if (chosen_key_ < 0) s += "record order\n";
  s += "key entries read: " + std::to_string(entries_read()) + "\n";
  return s;
}

}  // namespace vrt::data
