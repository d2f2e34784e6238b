// The procedure of every window the runtime opens (classes "ZorWin%uClass%lu").
#pragma once
#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

platform::LRESULT runtime_window_proc(platform::HWND h, platform::UINT m, platform::WPARAM wp, platform::LPARAM lp);

}  // namespace vrt::window
