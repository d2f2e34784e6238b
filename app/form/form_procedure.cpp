// The form procedure of every file: the request the browse left in the
// thread's global request, refused when the access mode does not allow it;
// a delete confirmed and handed to the file's integrity procedure; an
// insert or change edited in the file's window (form_instances.h) and
// saved through ADD or the file's integrity procedure.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/access/access_mode.h"
#include "app/browse/child_list.h"
#include "app/dictionary/dictionary.h"
#include "app/form/form_instances.h"
#include "app/form/form_position.h"
#include "app/form/form_request.h"
#include "app/frame/help_topic.h"
#include "app/frame/window_controls.h"
#include "app/form/form_toolbar.h"
#include "app/form/people_numbering.h"
#include "app/frame/frame_commands.h"
#include "app/integrity/file_use.h"
#include "app/integrity/integrity.h"
#include "app/integrity/warnings.h"
#include "app/process/wait_cursor.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/gui/beep.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/resource/resource_format.h"

namespace marlock {

namespace {

namespace d = vrt::data;
namespace p = vrt::platform;
using namespace vrt::window;

constexpr const char* kFormWindow = "P1$QUICKWINDOW";
constexpr p::WPARAM kActionZone = 1;  // the second zone of the form's status bar
constexpr int32_t kDittoKey = 0x200 | p::VK_OEM_7;  // Ctrl+'

bool mode_allows(int32_t request) {
  const ModeRules& rules = mode_rules(access_mode());
  switch (request) {
    case kInsertRecord: return rules.insert;
    case kChangeRecord: return rules.change;
    case kDeleteRecord: return rules.remove;
    default: return false;
  }
}

// Confirmed, then the integrity procedure, retried while the user asks.
FormResponse delete_record(FileId id) {
  if (standard_warning(32) != kButtonOk) return kRequestCancelled;
  for (;;) {
    IntegrityResult result;
    {
      WaitCursor wait;
      result = integrity_delete(id);
    }
    if (result == kIntegrityDone) return kRequestCompleted;
    if (standard_warning(18) != kButtonYes) return kRequestCancelled;
  }
}

// One insert or change in the file's window.
class Form {
 public:
  Form(const FormInstance& instance, d::FileBlock& file, int32_t request)
      : instance_(instance), file_(file), request_(request), window_(instance.module, kFormWindow, WindowKind::MdiChild) {}

  FormResponse run(int32_t& navigation) {
    read_ = ditto_ = file_.record;
    if (inserting() && instance_.numbered) {
      if (!add_numbered_person(file_)) return kRequestCancelled;
      added_at_ = d::Position(file_);
    }
    edit();
    navigation = navigation_;
    if (response_ != kRequestCompleted && !added_at_.empty()) remove_added();
    return response_ == kRequestCompleted ? kRequestCompleted : kRequestCancelled;
  }

 private:
  bool inserting() const { return request_ == kInsertRecord; }

  void edit() {
    // Ready before the window shows: the user may press a button at once.
    FormToolbar toolbar(!inserting());
    Open(window_);
    if (!window_.is_open()) return;
    bind_entries();
    window_.alert_keys.push_back(kDittoKey);
    select_first_field();
    restore_form_position(window_);
    ok_ = button_field(window_, "OK");
    cancel_ = button_field(window_, "Cancel");
    // Leaving the form, or asking for help, needs no valid entries.
    for (int32_t field : {cancel_, button_field(window_, "Help")})
      if (Control* c = window_.control(field)) c->needs_no_check = true;
    std::string action = std::string(inserting() ? "Adding a " : "Changing a ") + instance_.word + " Record";
    if (window_.status_bar)
      p::SendMessage(window_.status_bar, p::SB_SETTEXT, kActionZone, reinterpret_cast<p::LPARAM>(action.c_str()));
    std::unique_ptr<ChildList> children;
    if (Control* list = nth_control(window_, RecordType::List)) children = make_child_list(window_, instance_.file, list->field());
    ModeFollower mode;
    while (Accept(window_)) {
      mode.follow(window_);
      note_focus();
      // While all fields are validated their Accepted events are the check's, not presses.
      if (window_.accept_all) continue;
      if (children && children->pass()) continue;
      switch (window_.event) {
        case event::OpenWindow:
          select_first_field();
          Display(window_);
          break;
        case event::GainFocus:
        case event::Sized: Display(window_); break;
        case event::Moved: remember_form_position(window_); break;
        case event::Rejected:
          p::MessageBeep(0);
          Display(window_);
          if (Control* c = window_.control(window_.field); c && c->hwnd()) p::SetFocus(c->hwnd());
          break;
        case event::Completed: save(); break;
        case event::AlertKey:
          if (window_.alert_key == kDittoKey) ditto();
          break;
        case event::Accepted: accepted(window_.field, toolbar); break;
        default: break;
      }
    }
  }

  // Entries in field order show the instance's fields, straight from the record buffer.
  void bind_entries() {
    for (size_t i = 0; i < instance_.entries.size(); ++i) {
      Control* entry = nth_control(window_, RecordType::Entry, i);
      int n = d::find_field(file_.declaration, instance_.entries[i]);
      if (!entry || n <= 0) continue;
      const d::FieldDescriptor& f = file_.declaration.fields[static_cast<size_t>(n - 1)];
      entries_.push_back({entry->field(), f.offset, f.total_size()});
      Bind(window_, entry->field(), file_.record.data() + f.offset);
    }
  }

  void select_first_field() {
    if (Control* sheet = nth_control(window_, RecordType::Sheet)) select_tab(sheet->hwnd(), 0);
    if (!entries_.empty())
      if (Control* c = window_.control(entries_.front().field); c && c->hwnd()) p::SetFocus(c->hwnd());
  }

  // Ditto acts on the entry the user was in, even when the press took the focus.
  void note_focus() {
    p::HWND focus = p::GetFocus();
    for (const Entry& e : entries_)
      if (Control* c = window_.control(e.field); c && c->hwnd() == focus) focused_ = e.field;
  }

  void accepted(int32_t field, const FormToolbar& toolbar) {
    if (field == ok_) {
      AcceptAll(window_);
    } else if (field == cancel_) {
      navigation_ = 0;
      PostClose(window_);
    } else if (toolbar.saves_with(field)) {
      navigation_ = field;
      AcceptAll(window_);  // as OK
    } else if (field == frame::kPreviousValue) {
      ditto();
    } else {
      answer_help(window_, field);
    }
  }

  // The focused field gets back its value from the copy; what was typed
  // into it goes.
  void ditto() {
    for (const Entry& e : entries_) {
      if (e.field != focused_) continue;
      std::memcpy(file_.record.data() + e.offset, ditto_.data() + e.offset, e.size);
      if (Control* c = window_.control(e.field); c && c->hwnd()) p::SendMessage(c->hwnd(), p::EM_SETMODIFY, 0, 0);
      Bind(window_, e.field, file_.record.data() + e.offset);
    }
    Display(window_);
  }

  void save() {
    if (inserting()) save_insert();
    else save_change();
  }

  // The user stays in the form: a later OK saves without the toolbar
  // button that failed.
  void stay() { navigation_ = 0; }

  void close_done() {
    response_ = kRequestCompleted;
    PostClose(window_);
  }

  void save_insert() {
    // A numbered record was added at once; saving writes it back.
    if (added_at_.empty()) d::Add(file_);
    else d::Put(file_);
    int error = vrt::core::error_code();
    if (error == d::kOk) return close_done();
    stay();
    if (error != d::kDuplicateKey) {
      standard_warning(14);
      return;
    }
    if (instance_.named_key < 0) return;
    d::KeyBlock& key = *file_.key(static_cast<size_t>(instance_.named_key));
    if (!d::Duplicate(key)) return;
    standard_warning(24, file_spec(instance_.file).keys[static_cast<size_t>(instance_.named_key)].shown);
    select_first_field();
  }

  void save_change() {
    if (file_.record == read_) return close_done();
    for (;;) {
      std::vector<uint8_t> edited = file_.record;
      IntegrityResult result;
      {
        WaitCursor wait;
        result = integrity_update(instance_.file, read_, true);
      }
      if (result == kIntegrityDone) return close_done();
      if (result == kIntegrityChangedElsewhere) {
        // The other station's values are shown and are what was read now;
        // Ditto recalls the user's.
        read_ = file_.record;
        ditto_ = std::move(edited);
        Display(window_);
        return stay();
      }
      int answer = standard_warning(16);
      if (answer == kButtonYes) continue;
      if (answer == kButtonNo) PostClose(window_);
      else stay();
      return;
    }
  }

  // Through the file's integrity procedure: accounts booked to the new
  // person from the form's list keep their person.
  void remove_added() {
    d::Reget(file_, added_at_);
    if (vrt::core::error_code() == d::kOk) integrity_delete(instance_.file);
  }

  struct Entry {
    int32_t field;
    uint32_t offset, size;
  };

  const FormInstance& instance_;
  d::FileBlock& file_;
  int32_t request_;
  WindowObject window_;
  std::vector<uint8_t> read_;   // the record as read: was it changed?
  std::vector<uint8_t> ditto_;  // what Ditto gives back
  std::string added_at_;        // the position of the record numbered and added at once
  std::vector<Entry> entries_;
  int32_t ok_ = 0, cancel_ = 0, focused_ = 0;
  int32_t navigation_ = 0;
  FormResponse response_ = kNoResponse;
};

}  // namespace

void update_form(FileId id) {
  GlobalRequest& global = global_request();
  int32_t request = global.request;
  global.request = kNoRequest;
  global.response = kNoResponse;
  global.navigation = 0;
  FormResponse response = kRequestCancelled;
  int32_t navigation = 0;
  if (mode_allows(request)) {
    FileUse use(id);
    if (use) {
      if (request == kDeleteRecord) response = delete_record(id);
      else response = Form(form_instance(id), *use.get(), request).run(navigation);
    }
  }
  global.response = response;
  global.navigation = navigation;
}

}  // namespace marlock
