#include "runtime/window/controls/entry_control.h"

#include <string>

#include "runtime/core/pictures/edit_mask.h"
#include "runtime/core/pictures/entry_check.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/focus_checks.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

constexpr const char* kEntryProp = "ZorEntry";
constexpr const char* kClassProcProp = "ZorEntryProc";

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The control that receives the focus, when it is one of a runtime window.
Control* control_of(HWND h) {
  WindowObject* w = h ? window_holding(h) : nullptr;
  Control* c = w ? w->control(GetDlgCtrlID(h)) : nullptr;
  return c && c->hwnd() == h ? c : nullptr;
}

}  // namespace

EntryControl::EntryControl(const ResourceBuffer& b, uint32_t record) : Control(b, record) {
  std::string_view picture = b.text(b.field(record, "picture"));
  has_picture_ = !picture.empty();
  picture_ = core::compile_picture(has_picture_ ? "@" + std::string(picture) : std::string());  // stored without "@"
  mask_ = core::edit_mask(picture_);
}

EntryControl::~EntryControl() {
  if (hwnd_ && IsWindow(hwnd_) && GetProp(hwnd_, kEntryProp) == reinterpret_cast<uintptr_t>(this)) {
    SetProp(hwnd_, kEntryProp, 0);
    SetWindowLongPtr(hwnd_, GWLP_WNDPROC, reinterpret_cast<intptr_t>(class_proc_));
  }
}

void EntryControl::create(WindowObject& owner, HWND parent, const RECT& at) {
  uint32_t style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | (flags() & kFlagRight ? ES_RIGHT : ES_LEFT);
  if (!(flags() & kFlagHidden)) style |= WS_VISIBLE;
  if (flags() & kFlagDisabled) style |= WS_DISABLED;
  hwnd_ = CreateWindowEx(WS_EX_CLIENTEDGE, kZorEdit, "", style, at.left, at.top, at.right - at.left,
                         at.bottom - at.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(field())));
  if (!hwnd_) return;
  if (owner.font) SendMessage(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), 0);
  SendMessage(hwnd_, EM_LIMITTEXT, core::kEntryTextLimit, 0);
  SetProp(hwnd_, kEntryProp, reinterpret_cast<uintptr_t>(this));
  class_proc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd_, GWLP_WNDPROC, reinterpret_cast<intptr_t>(&subclass_proc)));
  SetProp(hwnd_, kClassProcProp, reinterpret_cast<uintptr_t>(class_proc_));
}

LRESULT EntryControl::subclass_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (auto* entry = reinterpret_cast<EntryControl*>(GetProp(h, kEntryProp))) return entry->edit_message(m, wp, lp);
  auto proc = reinterpret_cast<WNDPROC>(GetProp(h, kClassProcProp));
  return proc ? CallWindowProc(proc, h, m, wp, lp) : DefWindowProc(h, m, wp, lp);
}

LRESULT EntryControl::pass_on(UINT m, WPARAM wp, LPARAM lp) { return CallWindowProc(class_proc_, hwnd_, m, wp, lp); }

LRESULT EntryControl::edit_message(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_SETFOCUS:
      // The editing form, unless the text is not the variable's (typed and
      // rejected, or put there by the program).
      if (checked_ && !SendMessage(hwnd_, EM_GETMODIFY, 0, 0)) put_text(editing_text());
      if (select_on_focus) SendMessage(hwnd_, EM_SETSEL, 0, -1);
      break;
    case WM_KILLFOCUS: receiver_ = reinterpret_cast<HWND>(wp); break;
    case WM_SETTEXT:
      if (!putting_) checked_ = false;  // text from elsewhere than the variable
      break;
    case WM_CHAR:
      if (!mask_.empty() && GetWindowText(hwnd_).size() == mask_.size()) {
        char c = static_cast<char>(wp);
        if (c == '\b') erase_in_mask(true);
        else if (static_cast<unsigned char>(c) >= 0x20) type_in_mask(c);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wp == VK_DELETE && !mask_.empty() && GetWindowText(hwnd_).size() == mask_.size()) {
        erase_in_mask(false);
        return 0;
      }
      break;
    default: break;
  }
  return pass_on(m, wp, lp);
}

namespace {

struct Selection {
  size_t from, to;
};
Selection selection_of(HWND h) {
  uint32_t from = 0, to = 0;
  SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return {from, to};
}

}  // namespace

bool EntryControl::type_in_mask(char c) {
  std::string text = GetWindowText(hwnd_);
  Selection s = selection_of(hwnd_);
  size_t caret = s.from;
  if (s.to > s.from) core::clear_mask_places(mask_, &text, s.from, s.to);  // typed over
  bool changed = core::type_in_mask(mask_, &text, &caret, c) || s.to > s.from;
  if (!changed) return false;
  put_typed(text, caret);
  return true;
}

bool EntryControl::erase_in_mask(bool backwards) {
  std::string text = GetWindowText(hwnd_);
  Selection s = selection_of(hwnd_);
  size_t caret = s.from;
  bool changed;
  if (s.to > s.from) {
    core::clear_mask_places(mask_, &text, s.from, s.to);
    changed = true;
  } else {
    changed = core::erase_in_mask(mask_, &text, &caret, backwards);
  }
  if (!changed) return false;
  put_typed(text, caret);
  return true;
}

std::string EntryControl::display_text() const {
  std::string value = variable_->get_text();
  if (!has_picture_) {
    value.erase(value.find_last_not_of(' ') + 1);  // a STRING keeps its blanks
    return value;
  }
  return trimmed(core::Format(picture_, value));
}

std::string EntryControl::editing_text() const {
  if (!variable_) return GetWindowText(hwnd_);
  if (!mask_.empty()) return core::mask_text(mask_, variable_->get_long());
  return display_text();
}

// What the user typed into a mask: modified, the caret after it.
void EntryControl::put_typed(const std::string& text, size_t caret) {
  putting_ = true;
  SetWindowText(hwnd_, text);
  putting_ = false;
  SendMessage(hwnd_, EM_SETMODIFY, 1, 0);
  SendMessage(hwnd_, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void EntryControl::put_text(const std::string& text) {
  putting_ = true;
  SetWindowText(hwnd_, text);
  putting_ = false;
  SendMessage(hwnd_, EM_SETMODIFY, 0, 0);
}

void EntryControl::show_variable() {
  if (!variable_ || !hwnd_) return;
  // What the user is typing stands until it is taken.
  if (SendMessage(hwnd_, EM_GETMODIFY, 0, 0)) return;
  std::string text = display_text();
  if (shown_ == text) return;
  shown_ = text;
  put_text(GetFocus() == hwnd_ ? editing_text() : text);
  checked_ = true;  // the variable's own value
}

Control::EditOutcome EntryControl::check_and_store() {
  if (SendMessage(hwnd_, EM_GETMODIFY, 0, 0) || !checked_) {
    core::EntryCheck check = core::check_entry_text(picture_, GetWindowText(hwnd_));
    if (check.reason) {
      reason_ = check.reason;
      return EditOutcome::Rejected;
    }
    reason_ = 0;
    checked_ = true;
    changed_ = true;
    accepted_ = std::move(check.value);
    SendMessage(hwnd_, EM_SETMODIFY, 0, 0);
  }
  if (!changed_) return EditOutcome::Unchanged;
  changed_ = false;
  if (variable_) variable_->set_text(accepted_);
  return EditOutcome::Stored;
}

Control::EditOutcome EntryControl::leave_edit() {
  if (!hwnd_) return EditOutcome::Unchanged;
  Control* receiver = control_of(receiver_);
  if (focus_checks_suppressed() || (receiver && receiver->needs_no_check)) {
    pending_ = true;
    return EditOutcome::Unchanged;
  }
  pending_ = false;
  EditOutcome outcome = check_and_store();
  if (outcome == EditOutcome::Rejected) return outcome;  // the text stays as typed
  shown_.reset();
  show_variable();  // the display form again
  if (tells_edit_done)
    SendMessage(GetParent(hwnd_), kQueryEditDone, static_cast<WPARAM>(field()), reinterpret_cast<LPARAM>(hwnd_));
  return outcome;
}

bool EntryControl::commit_edit() {
  if (!hwnd_) return false;
  pending_ = false;
  EditOutcome outcome = check_and_store();
  if (outcome == EditOutcome::Rejected) return false;
  shown_.reset();
  show_variable();
  return outcome == EditOutcome::Stored;
}

bool EntryControl::value_passes_check() {
  if (!hwnd_) return true;
  pending_ = false;
  if (check_and_store() == EditOutcome::Rejected) return false;
  shown_.reset();
  show_variable();
  return true;
}

std::unique_ptr<Control> make_entry(const ResourceBuffer& b, uint32_t r) { return std::make_unique<EntryControl>(b, r); }

}  // namespace vrt::window
