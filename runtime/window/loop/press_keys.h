// PRESS and PRESSKEY: keystrokes the program puts into the keyboard buffer,
// which the focused control then reads as if they were typed. The event
// loop feeds one keystroke each time its queue is empty. The buffer holds
// kPressBufferSize keystrokes; a PRESS that would overflow it is fatal
// runtime error 534 and puts none of its keystrokes in.
#pragma once
#include <cstddef>
#include <string_view>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

inline constexpr size_t kPressBufferSize = 100;

void Press(std::string_view text);
// A key by its code (VK_F2 ...), producing no character.
void PressKey(platform::UINT key);
size_t pressed_keys_waiting();
// The loop's side: the next keystroke to the focus; false when none waits.
bool feed_pressed_key();

}  // namespace vrt::window
