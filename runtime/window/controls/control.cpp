#include "runtime/window/controls/control.h"

#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

Control::Control(const ResourceBuffer& buffer, uint32_t record)
    : type_(buffer.type(record)), field_(buffer.field_number(record)), flags_(buffer.flags(record)), record_(record),
      key_code_(static_cast<int32_t>(buffer.field(record, "key"))),
      action_code_(static_cast<int32_t>(buffer.field(record, "action"))),
      tip_(buffer.text(buffer.field(record, "tip"))), message_(buffer.text(buffer.field(record, "msg"))) {}

bool Control::enabled() const { return hwnd_ ? platform::IsWindowEnabled(hwnd_) : !(flags_ & kFlagDisabled); }

}  // namespace vrt::window
