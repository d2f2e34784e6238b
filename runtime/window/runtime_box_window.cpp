#include "runtime/window/runtime_box_window.h"

#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"

namespace vrt::window {

namespace {

uint32_t mask_of(core::BoxButtons set) {
  switch (set) {
    case core::kBoxOk: return kButtonOk;
    case core::kBoxOkCancel: return kButtonOk | kButtonCancel;
    case core::kBoxYesNoCancel: return kButtonYes | kButtonNo | kButtonCancel;
    case core::kBoxYesNo: return kButtonYes | kButtonNo;
  }
  return kButtonOk;
}

int icon_of(core::BoxIcon icon) {
  switch (icon) {
    case core::kBoxIconError: return platform::IDI_HAND;
    case core::kBoxIconQuestion: return platform::IDI_QUESTION;
    case core::kBoxIconExclamation: return platform::IDI_EXCLAMATION;
    case core::kBoxIconInformation: return platform::IDI_ASTERISK;
  }
  return platform::IDI_HAND;
}

}  // namespace

core::BoxAnswer show_box_window(const core::BoxRequest& r) {
  MessageRequest m;
  m.caption = r.caption;
  // The runtime's texts break lines with "\n"; the box breaks them at "|".
  for (char c : r.text)
    if (c != '\r') m.text += c == '\n' ? '|' : c;
  m.icon = standard_image_code(icon_of(r.icon));
  m.button_mask = mask_of(r.buttons);
  m.system_modal = r.system_modal;
  std::vector<MessageButton> buttons = message_buttons(m);
  for (const MessageButton& b : buttons)
    if (b.platform_result == r.default_answer) m.default_button = b.returns;
  int pressed = show_message_box(m);
  for (const MessageButton& b : buttons)
    if (b.returns == pressed) return static_cast<core::BoxAnswer>(b.platform_result);
  return r.default_answer;
}

void install_runtime_box_window() { core::set_runtime_box_handler(show_box_window); }

}  // namespace vrt::window
