#include "app/browse/browse_list.h"

#include <algorithm>
#include <mutex>

#include "app/dictionary/record_fields.h"
#include "app/form/form_request.h"
#include "app/frame/frame_commands.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/expression/expression_names.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/popup_menu.h"

namespace marlock {

namespace {

namespace d = vrt::data;
namespace ev = vrt::window::event;

// A field as the list's queue holds it: strings without their trailing
// blanks, numbers as digits, decimals as their exact text.
std::string cell_text(d::FileBlock& file, int index) {
  if (index < 0) return "";
  vrt::core::ExprValue v = d::read_field_value(file, static_cast<size_t>(index));
  switch (v.type) {
    case vrt::core::ExprType::String: {
      std::string s = v.text;
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    }
    case vrt::core::ExprType::Real:
      return RecordFields(file).get_decimal(file.declaration.fields[static_cast<size_t>(index)].label);
    default: return std::to_string(v.as_integer());
  }
}

}  // namespace

BrowseList::BrowseList(vrt::window::WindowObject& window, const BrowseSpec& spec, d::FileBlock& file, int32_t list)
    : window_(window), spec_(spec), file_(file), list_(list) {
  for (const char* label : spec_.columns) columns_.push_back(d::find_field(file_.declaration, label) - 1);
  vrt::window::BindQueue(window_, list_, &page_);
}

BrowseList::~BrowseList() {
  close_view();
  vrt::window::BindQueue(window_, list_, nullptr);
}

int BrowseList::sort_key() const {
  return order_ >= 1 && order_ <= static_cast<int>(spec_.orders.size()) ? spec_.orders[static_cast<size_t>(order_ - 1)].key
                                                                          : -1;
}

int BrowseList::visible() const { return std::max(1, vrt::window::ListRowsVisible(window_, list_)); }

bool BrowseList::open_view() {
  if (view_ && view_->is_open()) return true;
  view_ = std::make_unique<d::View>(d::view_node(file_), d::view_field_resolver(file_));
  // The key itself gives the order: no ORDER, which could make the view
  // sort the rows itself.
  view_->set_preferred_key(sort_key());
  if (has_range_ && !set_range_filter()) return false;
  if (!view_->open()) return false;
  view_->set();
  return true;
}

// The range is the view's filter. Its names are bound to this thread's
// record buffer while it is compiled (the compiled filter keeps the
// binding, and no binding outlives the file block); bindings are the
// process's, so threads take turns.
bool BrowseList::set_range_filter() {
  static std::mutex binding;
  std::lock_guard<std::mutex> hold(binding);
  d::bind_record_fields(file_);
  bool ok = view_->set_filter(std::string(spec_.range->child_field) + " = " + std::to_string(range_));
  for (const d::FieldDescriptor& f : file_.declaration.fields) vrt::core::Unbind(f.label);
  return ok;
}

void BrowseList::close_view() {
  if (view_ && view_->is_open()) view_->close();
}

// A new order or range needs a new view.
void BrowseList::drop_view() {
  close_view();
  view_.reset();
}

// The sort key's first component: its field (an index in the record) and
// whether it runs downwards; -1 in record order.
int BrowseList::key_field(bool* descending) const {
  int key = sort_key();
  if (key < 0) return -1;
  int32_t first = file_.declaration.keys[static_cast<size_t>(key)].components.front();
  if (descending) *descending = first < 0;
  return std::abs(first) - 1;
}

KeyValue BrowseList::key_value() const {
  bool descending = false;
  int field = key_field(&descending);
  if (field < 0) return int64_t{0};
  vrt::core::ExprValue v = d::read_field_value(file_, static_cast<size_t>(field));
  if (v.type == vrt::core::ExprType::String) return v.text;
  return descending ? -v.as_integer() : v.as_integer();
}

BrowseList::Row BrowseList::current_row() const {
  Row row;
  for (int column : columns_) row.cells.push_back(cell_text(file_, column));
  row.position = view_->position();
  row.key = key_value();
  return row;
}

void BrowseList::read_failed() {
  save_error();
  standard_warning(35, file_spec(spec_.file).label);
  failed_ = true;
  vrt::window::PostClose(window_);
}

int BrowseList::fill(int count, bool forwards, bool full_page) {
  if (count <= 0 || failed_ || !open_view()) return 0;
  bool skip_edge = false;
  std::string edge;
  if (!rows_.empty()) {
    edge = forwards ? rows_.back().position : rows_.front().position;
    if (!view_->reset(edge)) return 0;
    skip_edge = true;
  }
  int read = 0;
  while (count > 0) {
    bool ok = forwards ? view_->next() : view_->previous();
    if (!ok) {
      if (vrt::core::error_code() != d::kRecordNotAvailable) read_failed();
      break;
    }
    Row row = current_row();
    if (skip_edge && row.position == edge) {
      skip_edge = false;
      continue;
    }
    skip_edge = false;
    if (full_page && static_cast<int>(rows_.size()) >= visible()) {
      if (forwards) rows_.pop_front();
      else rows_.pop_back();
    }
    if (forwards) rows_.push_back(std::move(row));
    else rows_.push_front(std::move(row));
    --count;
    ++read;
  }
  return read;
}

void BrowseList::show() {
  page_.clear();
  for (const Row& r : rows_) page_.add(r.cells);
  selected_ = rows_.empty() ? 0 : std::clamp(selected_, 1, static_cast<int>(rows_.size()));
  vrt::window::SetListSelection(window_, list_, selected_);
  if (selected_ > 0 && distribution_.built())
    vrt::window::SetListThumb(window_, list_, distribution_.thumb(rows_[static_cast<size_t>(selected_ - 1)].key));
  else
    vrt::window::SetListThumb(window_, list_, 0);
  vrt::window::Display(window_);
}

void BrowseList::first_page() { end_page(false); }
void BrowseList::last_page() { end_page(true); }

// The first page read forwards from the start of the key, or the last read
// backwards from its end, the selection on the row at that end.
void BrowseList::end_page(bool last) {
  rows_.clear();
  if (!open_view()) return;
  view_->set();
  fill(visible(), !last, false);
  selected_ = last ? static_cast<int>(rows_.size()) : 1;
  show();
}

void BrowseList::scroll(bool down) {
  if (down ? selected_ < static_cast<int>(rows_.size()) : selected_ > 1) {
    selected_ += down ? 1 : -1;
  } else {
    fill(1, down, true);
  }
  show();
}

void BrowseList::page(bool down) {
  int n = visible();
  int read = fill(n, down, true);
  selected_ += (down ? 1 : -1) * (n - read);
  show();
}

void BrowseList::rebuild(bool positioned, int row) {
  rows_.clear();
  if (!positioned) return first_page();
  int after = fill(visible() - std::max(row, 1) + 1, true, false);
  int before = fill(visible() - static_cast<int>(rows_.size()), false, false);
  selected_ = after > 0 ? before + 1 : static_cast<int>(rows_.size());
  show();
}

bool BrowseList::reset_to_selected() {
  if (selected_ < 1 || selected_ > static_cast<int>(rows_.size())) return false;
  return open_view() && view_->reset(rows_[static_cast<size_t>(selected_ - 1)].position);
}

void BrowseList::reset_at_key(const KeyValue& value) {
  bool descending = false;
  int field = key_field(&descending);
  if (field < 0 || !open_view()) return first_page();
  const std::string& label = file_.declaration.fields[static_cast<size_t>(field)].label;
  RecordFields fields(file_);
  fields.clear();
  if (has_range_) fields.set_long(spec_.range->child_field, static_cast<int32_t>(range_));
  if (const auto* n = std::get_if<int64_t>(&value))
    fields.set_long(label, static_cast<int32_t>(descending ? -*n : *n));
  else
    fields.set_string(label, std::get<std::string>(value));
  d::KeyBlock& k = *file_.key(static_cast<size_t>(sort_key()));
  d::Set(k, k);
  d::Next(file_);
  bool found = vrt::core::error_code() == d::kOk &&
               (!has_range_ || RecordFields(file_).get_long(spec_.range->child_field) == range_);
  if (!found) return last_page();
  rebuild(view_->reset_to_current(), 1);
}

// The distribution reads the key's ends through the view, so the rows are
// read first and the thumb set after.
void BrowseList::rebuild_distribution() {
  build_distribution();
  show();
}

void BrowseList::build_distribution() {
  distribution_.clear();
  if (key_field(nullptr) < 0 || !open_view()) return;
  view_->set();
  if (!view_->next()) return;
  KeyValue low = key_value();
  view_->set();
  if (!view_->previous()) return;
  KeyValue high = key_value();
  if (const auto* n = std::get_if<int64_t>(&low)) distribution_.build(*n, std::get<int64_t>(high));
  else distribution_.build(std::get<std::string>(low), std::get<std::string>(high));
}

bool BrowseList::select_order(int order) {
  if (order == order_) {
    reget_selected(false);
    return true;
  }
  bool have_record = reget_selected(false);
  drop_view();
  order_ = order;
  if (have_record && open_view()) rebuild(view_->reset_to_current(), selected_);
  else first_page();
  rebuild_distribution();
  return !failed_;
}

bool BrowseList::reget_selected(bool watch) {
  if (selected_ < 1 || selected_ > static_cast<int>(rows_.size()) || !open_view()) return false;
  if (watch) d::Watch(file_);
  return view_->reget(rows_[static_cast<size_t>(selected_ - 1)].position);
}

void BrowseList::refresh() {
  if (rows_.empty()) return first_page();
  // Another station may have changed the page: read it again from the
  // selected record, or from the start when that record is gone.
  int row = selected_;
  rebuild(reset_to_selected(), row);
}

void BrowseList::set_range(int64_t value) {
  if (has_range_ && value == range_) return;
  has_range_ = true;
  range_ = value;
  order_ = std::max(order_, 1);
  drop_view();
  first_page();
  rebuild_distribution();
}

void BrowseList::to_thumb(int thumb) {
  if (thumb <= 0 || !distribution_.built()) return first_page();
  if (thumb >= KeyDistribution::kPoints) return last_page();
  reset_at_key(distribution_.point(thumb));
}

void BrowseList::locate(char c) {
  if (key_field(nullptr) < 0 || c == ' ' || !std::holds_alternative<std::string>(key_value())) return;
  auto begins = [&](int row) {
    if (row < 1 || row > static_cast<int>(rows_.size())) return false;
    const auto* s = std::get_if<std::string>(&rows_[static_cast<size_t>(row - 1)].key);
    return s && !s->empty() &&
           vrt::core::to_upper(static_cast<uint8_t>((*s)[0])) == vrt::core::to_upper(static_cast<uint8_t>(c));
  };
  if (begins(selected_)) scroll(true);
  if (begins(selected_)) return;
  reset_at_key(std::string(1, c));
}

void BrowseList::call_form(int32_t request) {
  GlobalRequest& g = global_request();
  for (;;) {
    if (request == kInsertRecord) {
      RecordFields fields(file_);
      fields.clear();
      if (has_range_) fields.set_long(spec_.range->child_field, static_cast<int32_t>(range_));
    } else if (!reget_selected(true)) {
      break;
    }
    close_view();
    g = GlobalRequest{request, kNoResponse, 0};
    update_form(spec_.file);
    int32_t response = g.response, navigation = g.navigation;
    g.navigation = 0;
    bool completed = response == kRequestCompleted;
    if (completed && request != kDeleteRecord) {
      // The record shows where its key puts it.
      if (open_view()) rebuild(view_->reset_to_current(), selected_);
    } else if (completed) {
      if (selected_ >= 1 && selected_ <= static_cast<int>(rows_.size()))
        rows_.erase(rows_.begin() + (selected_ - 1));
      if (!rows_.empty()) {
        fill(visible() - static_cast<int>(rows_.size()), true, false);
        fill(visible() - static_cast<int>(rows_.size()), false, false);
        show();
      } else {
        first_page();
      }
    } else {
      int row = selected_;
      rebuild(reset_to_selected(), row);
    }
    rebuild_distribution();
    if (navigation == 0 || request == kDeleteRecord) break;
    if (navigation == frame::kInsert) navigation = frame::kNextRecord, request = kInsertRecord;
    if (request == kInsertRecord && navigation == frame::kNextRecord) continue;
    request = kChangeRecord;
    switch (navigation) {
      case frame::kNextRecord: scroll(true); break;
      case frame::kPriorRecord: scroll(false); break;
      case frame::kNextPage: page(true); break;
      case frame::kPriorPage: page(false); break;
      case frame::kFirstPage: first_page(); break;
      case frame::kLastPage: last_page(); break;
      default: break;
    }
    if (rows_.empty()) break;
  }
  show();
  if (vrt::window::Control* c = window_.control(list_)) vrt::platform::SetFocus(c->hwnd());
}

void BrowseList::press(int32_t field) { vrt::window::PostEvent(window_, ev::Accepted, field); }

void BrowseList::popup() {
  using namespace vrt::platform;
  const char* menu = rows_.empty() ? "&Insert|~&Change|~&Delete" : "&Insert|&Change|&Delete";
  HWND list = window_.control(list_) ? window_.control(list_)->hwnd() : window_.hwnd;
  int choice = vrt::window::Popup(menu, list, GetCursorPos());
  if (choice >= 1 && choice <= 3) press(list_ + choice);
}

void BrowseList::alert(int32_t key) {
  using namespace vrt::platform;
  if (key == VK_INSERT) return press(list_ + 1);
  if (rows_.empty()) return;
  if (key == VK_DELETE) return press(list_ + 3);
  if (key == (vrt::window::kListCtrl | VK_RETURN)) return press(list_ + 2);
  if (key & vrt::window::kListCharacterKey) locate(static_cast<char>(key & 0xFF));
}

bool BrowseList::take_toolbar(int32_t button) {
  switch (button) {
    case frame::kFirstPage: first_page(); return true;
    case frame::kLastPage: last_page(); return true;
    case frame::kPriorPage: page(false); return true;
    case frame::kNextPage: page(true); return true;
    case frame::kPriorRecord: scroll(false); return true;
    case frame::kNextRecord: scroll(true); return true;
    case frame::kInsert: return take(ev::Accepted, list_ + 1);
    case frame::kChange: return take(ev::Accepted, list_ + 2);
    case frame::kDelete: return take(ev::Accepted, list_ + 3);
    default: return false;
  }
}

bool BrowseList::take(uint16_t event, int32_t field) {
  if (field == list_) {
    int chosen = vrt::window::ListSelection(window_, list_);
    if (chosen > 0) selected_ = chosen;
    switch (event) {
      case ev::ScrollUp: scroll(false); return true;
      case ev::ScrollDown: scroll(true); return true;
      case ev::PageUp: page(false); return true;
      case ev::PageDown: page(true); return true;
      case ev::ScrollTop: first_page(); return true;
      case ev::ScrollBottom: last_page(); return true;
      case ev::ScrollDrag: to_thumb(vrt::window::ListThumb(window_, list_)); return true;
      case ev::ScrollTrack: return true;
      case ev::NewSelection: {
        bool right = vrt::window::ListRightClicked(window_, list_);  // before the selection is set again
        reget_selected(false);
        show();
        if (right) popup();
        return true;
      }
      case ev::Accepted:  // a double click
        if (!rows_.empty()) press(list_ + 2);
        return true;
      case ev::AlertKey: alert(vrt::window::ListAlertKey(window_, list_)); return true;
      default: return false;
    }
  }
  if (event != ev::Accepted) return false;
  if (field == list_ + 1) return call_form(kInsertRecord), true;
  if (field == list_ + 2 && !rows_.empty()) return call_form(kChangeRecord), true;
  if (field == list_ + 3 && !rows_.empty()) return call_form(kDeleteRecord), true;
  return field >= list_ + 1 && field <= list_ + 3;
}

}  // namespace marlock
