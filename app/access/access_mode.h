// The access mode: which of the five users is working. One value for the
// whole process, written by the Login window and read by every procedure
// window on each pass of its loop; each window keeps the mode it applied
// last and follows a change on its next event.
#pragma once
#include <cstdint>

#include "runtime/platform/gfx/gdi_types.h"

namespace vrt::window {
class WindowObject;
}

namespace marlock {

enum Mode : int32_t { kNoUser = 0, kDirector = 1, kManager = 2, kClerk = 3, kVisitor = 4, kSpy = 5 };

int32_t access_mode();
void set_access_mode(int32_t mode);

// What runs before a browse opens its file.
enum class BeforeBrowse { Nothing, CustomerProcess, CustomerTimeStamp };

// How a mode looks and what it allows; any value but 1 to 4 is the Spy's.
struct ModeRules {
  vrt::platform::COLORREF color;
  const char* title;          // null: the title stays
  const char* date_picture;   // frame status zone 2, or null
  const char* time_picture;   // frame status zone 3, or null
  bool insert, change, remove;  // browse buttons and form requests
  bool vcr;                     // browse lists show their VCR buttons
  bool report_progress;         // report progress windows are shown
  BeforeBrowse before_browse;
};
const ModeRules& mode_rules(int32_t mode);

// A procedure window's copy of the mode it applied last.
class ModeFollower {
 public:
  // Applies the mode's colour and title (and, for the frame, its status
  // zones) when the mode changed since the last call; true when it did.
  bool follow(vrt::window::WindowObject& window, bool title = true);
  int32_t applied() const { return applied_; }

 private:
  int32_t applied_ = kNoUser;
};

// The frame's status zones 1 to 3 for a mode: cleared, then today's date
// and the clock time as the mode shows them.
void show_mode_status(vrt::window::WindowObject& frame, int32_t mode);

}  // namespace marlock
