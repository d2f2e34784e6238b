// The arrows of a spin box: a small window at the entry's right whose upper
// half steps the number up and lower half down. A step tells the parent
// WM_COMMAND with kSpinStepped (the window procedure makes it
// "EVENT:NewSelection" for the spin box).
#pragma once
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"

namespace vrt::window {

inline constexpr const char* kZorSpinArrows = "ZorSpinArrows";
inline constexpr platform::UINT kSpinStepped = 0x0710;
inline constexpr int kSpinArrowsWidth = 16;  // at 96 dpi

void register_spin_arrows();
// The spin box's arrows window, or null for any other control.
platform::HWND spin_arrows_of(Control& spin);

}  // namespace vrt::window
