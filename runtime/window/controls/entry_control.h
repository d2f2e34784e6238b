// Entry controls (ZorEdit): a line of text for one program variable. The
// entry shows the variable through its picture (the display form); while
// it has the focus it shows the editing form (dates and times in their
// edit mask, typed by overwriting the mask's places). Leaving it checks the
// typed text (core/pictures/entry_check.h):
//
//   focus changes suppressed, or the focus goes to a control that needs
//     no check                          -> the check stays pending
//   modified, or not yet checked        -> check; a fault keeps the text and
//                                          the variable, and is "rejected"
//                                          with its reason code
//   accepted (now or before, unstored)  -> the value is stored in the
//                                          variable's type and reported
//   then the display form again, and QUERY_EDITDONE to the parent when the
//   entry asks for it. An unmodified, checked entry stores nothing again.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/core/pictures/picture.h"
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"

namespace vrt::window {

// Told to an entry's parent after a leave that was not rejected, when the
// entry asks for it; wParam the field number, lParam the entry's window.
inline constexpr platform::UINT kQueryEditDone = 0x241D;

class EntryControl : public Control {
 public:
  EntryControl(const ResourceBuffer& buffer, uint32_t record);
  ~EntryControl() override;

  void create(WindowObject& owner, platform::HWND parent, const platform::RECT& at) override;
  void show_variable() override;
  bool commit_edit() override;
  EditOutcome leave_edit() override;
  bool value_passes_check() override;
  uint16_t rejection() const override { return reason_; }

  bool checked() const { return checked_; }
  bool check_pending() const { return pending_; }
  bool select_on_focus = true;
  bool tells_edit_done = false;  // QUERY_EDITDONE to the parent after a leave
  // The mask the entry is typed in ("" for none).
  std::string_view mask() const { return mask_; }

 protected:
  // The entry's edit window's messages, before its class's procedure.
  virtual platform::LRESULT edit_message(platform::UINT m, platform::WPARAM wp, platform::LPARAM lp);
  platform::LRESULT pass_on(platform::UINT m, platform::WPARAM wp, platform::LPARAM lp);
  // The value through the picture without its padding; the editing form.
  std::string display_text() const;
  std::string editing_text() const;
  // Puts text into the edit window as the entry's own (not typed, so not
  // modified, and the check's state unchanged).
  void put_text(const std::string& text);
  // Checks the text and stores an accepted value (steps 3 and 4 of a
  // leave); Rejected, Stored or Unchanged.
  EditOutcome check_and_store();

  bool has_picture_ = false;
  core::CompiledPicture picture_;
  std::string_view mask_;

 private:
  static platform::LRESULT subclass_proc(platform::HWND h, platform::UINT m, platform::WPARAM wp,
                                         platform::LPARAM lp);
  bool type_in_mask(char c);
  bool erase_in_mask(bool backwards);
  void put_typed(const std::string& text, size_t caret);

  platform::WNDPROC class_proc_ = nullptr;
  platform::HWND receiver_ = nullptr;  // where the focus went on the last leave
  bool putting_ = false;               // put_text at work
  bool checked_ = true;                // the variable's own text needs no check
  bool changed_ = false;
  bool pending_ = false;
  uint16_t reason_ = 0;
  std::string accepted_;  // the value the check gave, until stored
};

std::unique_ptr<Control> make_entry(const ResourceBuffer& buffer, uint32_t record);
// Spin boxes (spin_control.cpp).
std::unique_ptr<Control> make_spin(const ResourceBuffer& buffer, uint32_t record);

}  // namespace vrt::window
