// The headless display: top-level windows are images in memory and nothing
// more; what they show is read back by screenshots.
#pragma once
#include "runtime/platform/gui/display_hooks.h"

namespace vrt::platform {

class HeadlessDisplay : public DisplayBackend {
 public:
  void created(HWND) override {}
  void destroyed(HWND) override {}
  void changed(HWND) override {}
  void present(HWND, const RECT&) override {}
};

}  // namespace vrt::platform
