// Entry controls (ZorEdit) and spin boxes: a line of text showing the bound
// variable through the record's picture. What the user types goes back into
// the variable when the control is left or accepted; a spin box also steps a
// number with the Up and Down keys. Picture input proper (character by
// character) is the entry's to grow.
#pragma once
#include <memory>

#include "runtime/window/controls/control.h"

namespace vrt::window {

std::unique_ptr<Control> make_entry(const ResourceBuffer& buffer, uint32_t record);
std::unique_ptr<Control> make_spin(const ResourceBuffer& buffer, uint32_t record);

}  // namespace vrt::window
