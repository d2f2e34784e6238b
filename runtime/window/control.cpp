#include "runtime/window/control.h"

#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

Control::Control(const ResourceBuffer& buffer, uint32_t record)
    : type_(buffer.type(record)), field_(buffer.field_number(record)), flags_(buffer.flags(record)), record_(record) {}

bool Control::enabled() const { return hwnd_ ? platform::IsWindowEnabled(hwnd_) : !(flags_ & kFlagDisabled); }

}  // namespace vrt::window
