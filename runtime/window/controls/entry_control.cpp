#include "runtime/window/controls/entry_control.h"

#include <string>

#include "runtime/core/pictures/picture.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

class EntryControl : public Control {
 public:
  EntryControl(const ResourceBuffer& b, uint32_t record) : Control(b, record) {
    if (std::string_view picture = b.text(b.field(record, "picture")); !picture.empty())
      picture_ = "@" + std::string(picture);  // stored without its "@"
  }

  void create(WindowObject& owner, HWND parent, const RECT& at) override {
    uint32_t style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | (flags() & kFlagRight ? ES_RIGHT : ES_LEFT);
    if (!(flags() & kFlagHidden)) style |= WS_VISIBLE;
    if (flags() & kFlagDisabled) style |= WS_DISABLED;
    hwnd_ = CreateWindowEx(WS_EX_CLIENTEDGE, kZorEdit, "", style, at.left, at.top, at.right - at.left,
                           at.bottom - at.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(field())));
    if (hwnd_ && owner.font) SendMessage(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), 0);
  }

  void show_variable() override {
    if (!variable_ || !hwnd_) return;
    // What the user is typing stands until it is taken.
    if (SendMessage(hwnd_, EM_GETMODIFY, 0, 0)) return;
    std::string text = shown_text();
    if (shown_ == text) return;
    shown_ = text;
    SetWindowText(hwnd_, text);
    SendMessage(hwnd_, EM_SETMODIFY, 0, 0);
  }

  bool commit_edit() override {
    if (!hwnd_ || !SendMessage(hwnd_, EM_GETMODIFY, 0, 0)) return false;
    SendMessage(hwnd_, EM_SETMODIFY, 0, 0);
    if (variable_) {
      std::string typed = GetWindowText(hwnd_);
      variable_->set_text(picture_.empty() ? typed : core::Deformat(typed, picture_));
      shown_.reset();
      show_variable();  // shown again through the picture
    }
    return true;
  }

  bool value_passes_check() override {
    commit_edit();
    return true;
  }

 protected:
  std::string shown_text() const {
    std::string value = variable_->get_text();
    if (picture_.empty()) {
      value.erase(value.find_last_not_of(' ') + 1);  // a STRING keeps its blanks
      return value;
    }
    std::string text = core::Format(value, picture_);
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
  }

  std::string picture_;
};

// A spin box steps its number by one with the Up and Down keys.
class SpinControl : public EntryControl {
 public:
  using EntryControl::EntryControl;

  bool key(UINT vk) override {
    if ((vk != VK_UP && vk != VK_DOWN) || !variable_) return false;
    commit_edit();
    variable_->set_long(variable_->get_long() + (vk == VK_UP ? 1 : -1));
    shown_.reset();
    show_variable();
    return true;
  }
};

}  // namespace

std::unique_ptr<Control> make_entry(const ResourceBuffer& b, uint32_t r) { return std::make_unique<EntryControl>(b, r); }
std::unique_ptr<Control> make_spin(const ResourceBuffer& b, uint32_t r) { return std::make_unique<SpinControl>(b, r); }

}  // namespace vrt::window
