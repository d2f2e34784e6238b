// The frame of the printing dialogs: a small modal window of our own with
// child controls, run until its user presses OK (and the dialog accepts
// what was entered) or Cancel. Tab and Shift+Tab move between the
// controls, Enter presses OK (or the focused button), Esc and the close box
// press Cancel. Other top-level windows wait while it is up, and the
// thread gives the runtime lock up while it waits for its user.
#pragma once
#include <functional>
#include <string>

#include "runtime/platform/gui/win_types.h"

namespace vrt::report {

// Control numbers every dialog shares (the field numbers scripts use).
enum : int { kDialogOk = 1, kDialogCancel = 2 };
// Styles to combine with a control's own.
inline constexpr uint32_t kTabStop = platform::WS_TABSTOP, kGroup = platform::WS_GROUP;

class ModalDialog {
 public:
  // An empty dialog of that client size, not yet shown.
  ModalDialog(const std::string& title, int client_width, int client_height);
  ~ModalDialog();
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  platform::HWND hwnd() const { return hwnd_; }
  platform::HWND add(const char* window_class, const std::string& text, uint32_t style, int x, int y, int width,
                     int height, int id = 0);
  // Adds OK and Cancel at the bottom right.
  void add_ok_cancel();

  // Shows the dialog with the focus on `first` and waits. `accept` is asked
  // on OK; when it says no, the dialog stays. True for OK.
  bool run(platform::HWND first, const std::function<bool()>& accept);

  // Moves the focus to a control; an entry's text is selected, so that
  // typing replaces it.
  static void focus(platform::HWND control);

 private:
  // Shows the dialog and runs its loop while the other windows wait.
  bool wait_for_user(platform::HWND first, const std::function<bool()>& accept);
  bool key(const platform::MSG& m);
  void press(int id);

  platform::HWND hwnd_ = nullptr;
  int client_width_, client_height_;
};

// Whether a dialog shown now would wait for nobody: on the headless display
// with no script to drive it. The dialog then takes its defaults at once.
bool dialog_answers_itself();

}  // namespace vrt::report
