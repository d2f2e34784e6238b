// The creator table: one slot per record type code. Each control class
// puts its creator in its slot at start-up; a record whose slot is empty
// creates nothing, and its siblings are created as usual.
#pragma once
#include <cstdint>
#include <memory>

#include "runtime/window/controls/control.h"

namespace vrt::window {

using Creator = std::unique_ptr<Control> (*)(const ResourceBuffer& buffer, uint32_t record);

void register_creator(uint8_t type_code, Creator creator);
Creator creator_for(uint8_t type_code);

// Fills the slots of the control classes of this layer and registers
// their window classes (once; later calls do nothing).
void register_standard_controls();

// Creates the controls of a sibling list and, recursively, their children;
// their rectangles are in the parent's client area (`origin` added).
std::vector<std::unique_ptr<Control>> create_controls(WindowObject& owner, const ResourceBuffer& buffer,
                                                      uint32_t first, platform::HWND parent,
                                                      const DialogUnits& units, platform::POINT origin);

}  // namespace vrt::window
