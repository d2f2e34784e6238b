// While the runtime moves the focus for its own ends (opening, closing,
// rebuilding a window), entries that lose it must not check what they hold:
// the check stays pending until the entry is left, or the window accepts
// all, again. A SuppressFocusChecks on the thread says so.
#pragma once

namespace vrt::window {

class SuppressFocusChecks {
 public:
  SuppressFocusChecks();
  ~SuppressFocusChecks();
  SuppressFocusChecks(const SuppressFocusChecks&) = delete;
  SuppressFocusChecks& operator=(const SuppressFocusChecks&) = delete;
};

bool focus_checks_suppressed();

}  // namespace vrt::window
