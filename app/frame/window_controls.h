// Finding a procedure window's controls by what its declaration says of
// them: the n-th of a kind, or a button by its text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/window/controls/control.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/resource/resource_format.h"

namespace marlock {

// The n-th control of the type in field order (from 0), or null.
vrt::window::Control* nth_control(const vrt::window::WindowObject& w, vrt::window::RecordType type, size_t n = 0);
// The field number of the button with the text, 0 for none.
int32_t button_field(const vrt::window::WindowObject& w, std::string_view text);

}  // namespace marlock
