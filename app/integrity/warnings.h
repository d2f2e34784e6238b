// The standard warnings: every error and question the application shows,
// by number from one catalogue, with P1 and P2 and the error description
// put into the text. Some warnings end the application after OK.
#pragma once
#include <string>

namespace marlock {

// The buttons of the runtime's message box, as values and masks.
enum Button { kButtonOk = 1, kButtonYes = 2, kButtonNo = 4, kButtonRetry = 16, kButtonCancel = 64 };

// The two icons the catalogue uses: the system's exclamation and question.
enum class WarningIcon { Exclamation, Question };

struct Warning {
  int number = 0;
  std::string title;
  std::string text;
  WarningIcon icon = WarningIcon::Exclamation;
  int buttons = kButtonOk;  // a mask of Button values
  int default_button = kButtonOk;
  // Ends the application with this text after the message ("" for none);
  // for message 2 only when the answer is No.
  std::string ending;
};

// The message of the number with its parameters, the error description
// (error_description()) and the error code it describes; a number the
// catalogue does not hold gives a warning with number 0.
Warning build_warning(int number, const std::string& p1, const std::string& p2, const std::string& description,
                      int error);

// Shows a message box and returns the button pressed. The window system
// installs the real one; until then, and without a display, the message is
// written to standard error and takes its default button.
using MessageShower = int (*)(const Warning& warning);
MessageShower set_message_shower(MessageShower shower);

// Ends the application with a short text ("File Creation Error!"): the text
// goes to standard error and the process ends with exit code 1. The frame
// installs its own ending (closing its windows first).
using ApplicationEnding = void (*)(const std::string& text);
ApplicationEnding set_application_ending(ApplicationEnding ending);
void end_application(const std::string& text);

// Builds the error description, clears the saved error, shows the warning
// and, when the catalogue says so, ends the application. Returns the button
// pressed.
int standard_warning(int number, const std::string& p1 = std::string(), const std::string& p2 = std::string());

}  // namespace marlock
