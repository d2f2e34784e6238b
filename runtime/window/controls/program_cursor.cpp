#include "runtime/window/controls/program_cursor.h"

#include <atomic>

namespace vrt::window {

namespace {
std::atomic<platform::HCURSOR> g_cursor{nullptr};
}  // namespace

void SetCursor(platform::HCURSOR cursor) { g_cursor = cursor; }
platform::HCURSOR program_cursor() { return g_cursor; }

}  // namespace vrt::window
