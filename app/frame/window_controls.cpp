#include "app/frame/window_controls.h"

#include "runtime/window/resource/resource_buffer.h"

namespace marlock {

using vrt::window::Control;
using vrt::window::RecordType;

namespace {
bool is(const Control& c, RecordType type) { return c.type() == static_cast<uint8_t>(type); }
}  // namespace

Control* nth_control(const vrt::window::WindowObject& w, RecordType type, size_t n) {
  for (Control* c : w.controls_in_order())
    if (is(*c, type) && n-- == 0) return c;
  return nullptr;
}

int32_t button_field(const vrt::window::WindowObject& w, std::string_view text) {
  for (Control* c : w.controls_in_order())
    if (is(*c, RecordType::Button) && w.buffer->text(w.buffer->field(c->record(), "text")) == text) return c->field();
  return 0;
}

}  // namespace marlock
