// The message box: a modal window with a text, a caption, an icon and a row
// of buttons, which returns the button the user pressed.
//
//   text     "|" starts a new line
//   icon     an icon code (image_codes.h), "" for none
//   buttons  a mask of standard buttons (kButtonOk ...), or captions
//            separated by "|" (at most 8); a caption equal to a standard
//            button's text stands for that button
//   default  the bit of the button that has the focus first (mask), or
//            the caption's 1-based position (captions)
//   result   the bit of the pressed button (mask), or the pressed
//            caption's 1-based position (captions)
//
// The texts of the standard buttons can be replaced by the environment's
// ZORBUTTON key (messages 32512 + the button's index). Enter presses the
// focused button, Esc the Cancel button when there is one (a box with one
// button: that one), Alt+letter (or the letter alone) a button by its "&"
// letter, Tab and the arrow keys move the focus along the row.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform/gui/win_types.h"

namespace vrt::window {

enum : uint32_t {
  kButtonOk = 1, kButtonYes = 2, kButtonNo = 4, kButtonAbort = 8, kButtonRetry = 16, kButtonIgnore = 32,
  kButtonCancel = 64, kButtonHelp = 128,
};

struct MessageRequest {
  std::string text;
  std::string caption;
  std::string icon;             // an icon code
  uint32_t button_mask = kButtonOk;
  std::string button_captions;  // used instead of the mask when not empty
  int default_button = 0;       // 0: the first button
  bool system_modal = false;
};

// One button of a box as laid out: its text, the platform's result number
// behind it, and what Message returns when it is pressed.
struct MessageButton {
  std::string text;
  int platform_result = 0;
  int returns = 0;
};
std::vector<MessageButton> message_buttons(const MessageRequest& request);

// Shows the box (or calls the program's handler) and returns as above.
// Headless without a script to answer it, the box is written to standard
// error and takes its default button.
int Message(const MessageRequest& request);
int Message(const std::string& text, const std::string& caption = "", const std::string& icon = "",
            uint32_t buttons = kButtonOk, int default_button = 0, bool system_modal = false);

// The box itself, never the program's handler (the runtime's own boxes).
int show_message_box(const MessageRequest& request);

// A program's handler replaces the box: Message returns its result. An
// empty function removes it.
using MessageHandler = std::function<int(const MessageRequest&)>;
void set_message_handler(MessageHandler handler);

// For scripts: whether a window is a message box, and its text (lines
// joined by "|").
bool is_message_box(platform::HWND hwnd);
std::string message_box_text(platform::HWND hwnd);

}  // namespace vrt::window
