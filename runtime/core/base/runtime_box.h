// The runtime's own message boxes (version check, fatal errors) go through
// one call, so that the window system can show them as real windows. Until
// it does, a box is written to standard error and takes its default button.
#pragma once
#include <string>

namespace vrt::core {

enum BoxButtons { kBoxOk = 0, kBoxOkCancel = 1, kBoxYesNoCancel = 3, kBoxYesNo = 4 };
enum BoxIcon { kBoxIconError = 0x10, kBoxIconQuestion = 0x20, kBoxIconExclamation = 0x30, kBoxIconInformation = 0x40 };
enum BoxAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct BoxRequest {
  std::string caption;
  std::string text;
  BoxButtons buttons = kBoxOk;
  BoxIcon icon = kBoxIconError;
  BoxAnswer default_answer = kAnswerOk;
  bool system_modal = false;  // stays in front of every window of the program
};

using RuntimeBoxHandler = BoxAnswer (*)(const BoxRequest&);

// Shows the box through the installed handler, or the standard-error one.
BoxAnswer show_runtime_box(const BoxRequest& request);
// Installs a handler (null restores the standard-error one); returns the
// previous one.
RuntimeBoxHandler set_runtime_box_handler(RuntimeBoxHandler handler);

}  // namespace vrt::core
