// A control made from one record of a window structure. Controls with a
// platform window own it (hwnd); drawn controls (lines, boxes, panels,
// variable strings) are painted by their window.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/values/value.h"
#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/resource/resource_buffer.h"

namespace vrt::window {

class WindowObject;

// Pixels from dialog units: the window's dialog base units.
struct DialogUnits {
  int base_x = 6, base_y = 13;
  int x(int32_t du) const { return du * base_x / 4; }
  int y(int32_t du) const { return du * base_y / 8; }
};

class Control {
 public:
  Control(const ResourceBuffer& buffer, uint32_t record);
  virtual ~Control() = default;

  uint8_t type() const { return type_; }
  int32_t field() const { return field_; }
  uint32_t flags() const { return flags_; }
  uint32_t record() const { return record_; }
  platform::HWND hwnd() const { return hwnd_; }
  // From the record: the key that presses the control, the action code the
  // program reads as a property, the tool tip (0 or "" when it has none).
  int32_t key_code() const { return key_code_; }
  int32_t action_code() const { return action_code_; }
  const std::string& tip() const { return tip_; }
  // The status-bar message shown while the control has the focus.
  const std::string& message() const { return message_; }
  // A message the program gives at run time in place of the record's.
  void set_message(std::string text) { message_ = std::move(text); }
  // Enabled for events: a disabled control receives none.
  bool enabled() const;

  // Makes the control's platform window (if any) as a child of `parent`,
  // with its rectangle in pixels of the parent's client area.
  virtual void create(WindowObject& owner, platform::HWND parent, const platform::RECT& at) = 0;
  // Drawn controls paint here, in the client coordinates of the window
  // that shows them (`painter`: the procedure's window, or a tab page).
  virtual void paint(platform::HDC) {}
  virtual platform::HWND painter() const { return nullptr; }
  // The program variable bound to the control (its record's descriptor
  // gives the type), or null.
  core::Value* variable() const { return variable_.get(); }
  void bind(std::unique_ptr<core::Value> variable) {
    variable_ = std::move(variable);
    shown_.reset();
    show_variable();
  }
  // Shows the bound variable's value when it differs from what was shown.
  virtual void show_variable() {}
  // Whether Display asks the control to show its binding: one with a
  // variable, or one bound otherwise (a list to its queue).
  virtual bool shows_binding() const { return variable_ != nullptr; }
  // The bound value as last shown (a value string's formatted text).
  const std::optional<std::string>& shown() const { return shown_; }

  // The typed value goes into the variable; true when there was one to
  // take (an entry left after typing is accepted).
  virtual bool commit_edit() { return false; }
  // The control lost the focus: what came of its text (an entry checks it
  // and stores the value, or rejects it with a reason code).
  enum class EditOutcome { Unchanged, Stored, Rejected };
  virtual EditOutcome leave_edit() { return commit_edit() ? EditOutcome::Stored : EditOutcome::Unchanged; }
  // The reason code of the last rejection (0: none).
  virtual uint16_t rejection() const { return 0; }
  // An entry losing the focus to this control leaves its check pending (a
  // Cancel button needs no valid entries).
  bool needs_no_check = false;
  // A key for the control itself before the window's keyboard (a spin box
  // steps with Up and Down); true when taken.
  virtual bool key(platform::UINT vk) { (void)vk; return false; }

  // Accept-all mode asks each control whether its value passes its check.
  virtual bool value_passes_check() { return true; }
  // The field of the record's shape that holds its children, or "" for none.
  virtual const char* children_field() const { return ""; }

  platform::RECT rect;  // in the window's client area, pixels
  std::vector<std::unique_ptr<Control>> children;

 protected:
  platform::HWND hwnd_ = nullptr;
  std::unique_ptr<core::Value> variable_;
  std::optional<std::string> shown_;  // the value as last shown

 private:
  uint8_t type_;
  int32_t field_;
  uint32_t flags_;
  uint32_t record_;
  int32_t key_code_, action_code_;
  std::string tip_;
  std::string message_;
};

}  // namespace vrt::window
