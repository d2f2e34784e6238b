// The application frame's toolbar as the procedures see it: a press arrives
// as "EVENT:Accepted" for the button's field number in the loop of the
// procedure whose MDI child is active (the frame's own when none is), and
// any procedure may enable or disable the buttons.
#pragma once
#include <cstdint>
#include <string>

namespace vrt::window {

// False when there is no frame, no toolbar or no such button.
bool EnableFrameButton(int32_t field, bool enable);
bool FrameButtonEnabled(int32_t field);
// The button's tool tip (a form names what its buttons do while it is
// active); "" when there is no such button.
bool SetFrameButtonTip(int32_t field, const std::string& tip);
std::string FrameButtonTip(int32_t field);

}  // namespace vrt::window
