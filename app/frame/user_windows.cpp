#include "app/frame/user_windows.h"

#include "app/access/access_mode.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/window_open.h"

namespace marlock::frame {

namespace {

using namespace vrt::window;

// The option box is field 1; its radios 2 to 6 are users 1 to 5.
constexpr int32_t kFirstRadio = 2;
constexpr int32_t kLastRadio = kFirstRadio + kSpy - kDirector;

// Every procedure window follows the mode on its next event: give each one
// an event now, so that none waits for the user to touch it.
void wake_every_window() {
  using namespace vrt::platform;
  auto wake = [](HWND h) {
    if (window_object(h)) PostMessage(h, kEventMessageBase + event::Notify, 0, 0);
  };
  for (HWND top : GetTopLevelWindows()) {
    wake(top);
    if (WindowObject* w = window_object(top); w && w->client)
      for (HWND child : GetChildren(w->client)) wake(child);
  }
}

}  // namespace

void login_procedure(const std::string&) {
  WindowObject w(kLoginModule, "P1$WINDOW", WindowKind::MdiChild);
  Open(w);
  ModeFollower mode;
  while (Accept(w)) {
    // The window takes the colour of the mode set, and keeps its title.
    mode.follow(w, false);
    if (w.event == event::Accepted && w.field >= kFirstRadio && w.field <= kLastRadio) {
      set_access_mode(kDirector + w.field - kFirstRadio);
      PostClose(w);
      wake_every_window();
    }
  }
}

void explanation_procedure(const std::string&) {
  WindowObject w(kExplanationModule, "P1$WINDOW", WindowKind::MdiChild);
  Open(w);
  ModeFollower mode;
  while (Accept(w)) mode.follow(w);
}

}  // namespace marlock::frame
