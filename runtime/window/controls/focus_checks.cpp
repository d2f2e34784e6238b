#include "runtime/window/controls/focus_checks.h"

namespace vrt::window {

namespace {
thread_local int t_suppressed = 0;  // each thread moves the focus of its own windows
}

SuppressFocusChecks::SuppressFocusChecks() { ++t_suppressed; }
SuppressFocusChecks::~SuppressFocusChecks() { --t_suppressed; }
bool focus_checks_suppressed() { return t_suppressed > 0; }

}  // namespace vrt::window
