// The field numbers of the preview's windows ("marlock$marlo_sf").
#pragma once
#include <cstdint>

namespace vrt::report::preview_field {

// "P9$PREVIEW:WINDOW": menus, toolbar.
inline constexpr int32_t kPrint = 2, kExit = 3, kNext = 5, kPrevious = 6, kJump = 7, kChangeDisplay = 8;
inline constexpr int32_t kNoZoom = 10;  // then page width and the percentages, to 16
inline constexpr int32_t kPrintButton = 17, kExitButton = 18, kZoomButton = 19;
inline constexpr int32_t kPageSpin = 20, kAcrossSpin = 21, kDownSpin = 22;
// "P22$JUMPWINDOW".
inline constexpr int32_t kJumpPage = 2, kJumpOk = 3, kJumpCancel = 4;
// "P23$SELECTWINDOW".
inline constexpr int32_t kSelectAcross = 2, kSelectDown = 3, kSelectOk = 4;

}  // namespace vrt::report::preview_field
