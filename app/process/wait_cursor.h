// The wait cursor over the whole application for a scope (work done inside
// one event, while no window would ask for it).
#pragma once
#include <string>

#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/image_codes.h"

namespace marlock {

class WaitCursor {
 public:
  WaitCursor() {
    vrt::platform::set_application_cursor(vrt::window::load_cursor_code(std::string("\xFF\x01\x03\x7F", 4)));
  }
  ~WaitCursor() { vrt::platform::set_application_cursor(nullptr); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace marlock
