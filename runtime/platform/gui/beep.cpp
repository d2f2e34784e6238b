#include "runtime/platform/gui/beep.h"

#include <atomic>

#include "runtime/platform/gui/display_hooks.h"

namespace vrt::platform {

namespace {
std::atomic<uint64_t> g_beeps{0};
}

bool MessageBeep(UINT) {
  ++g_beeps;
  if (DisplayBackend* display = display_backend()) display->bell();
  return true;
}

uint64_t beeps_sounded() { return g_beeps.load(); }

}  // namespace vrt::platform
