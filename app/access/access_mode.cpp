#include "app/access/access_mode.h"

#include <atomic>
#include <string>

#include "runtime/core/pictures/picture.h"
#include "runtime/core/values/dates.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_object.h"

namespace marlock {

namespace {

std::atomic<int32_t> g_mode{kNoUser};

using vrt::platform::RGB;

constexpr ModeRules kDirector_{RGB(0xFF, 0xD7, 0xD7), "Director's mode", "@D4", "@T4", true,  true,  true,  true,  true,
                               BeforeBrowse::CustomerProcess};
constexpr ModeRules kManager_{RGB(0xFF, 0x00, 0xFF), "Manager's mode", "@D5", nullptr, true, true, false, false, true,
                              BeforeBrowse::CustomerTimeStamp};
constexpr ModeRules kClerk_{RGB(0x00, 0xFF, 0x00), "Clerk's mode", nullptr, "@T1", true, false, false, false, true,
                            BeforeBrowse::Nothing};
constexpr ModeRules kVisitor_{RGB(0xFF, 0xFF, 0x00), "Visitor's mode", nullptr, nullptr, false, false, false, false,
                              false, BeforeBrowse::Nothing};
// The Spy may do everything in windows already open: the frame keeps
// sending him back to the Login window instead.
constexpr ModeRules kSpy_{RGB(0xFF, 0x00, 0x00), nullptr, nullptr, nullptr, true, true, true, false, true,
                          BeforeBrowse::Nothing};

}  // namespace

int32_t access_mode() { return g_mode.load(std::memory_order_relaxed); }
void set_access_mode(int32_t mode) { g_mode.store(mode, std::memory_order_relaxed); }

const ModeRules& mode_rules(int32_t mode) {
  switch (mode) {
    case kDirector: return kDirector_;
    case kManager: return kManager_;
    case kClerk: return kClerk_;
    case kVisitor: return kVisitor_;
    default: return kSpy_;
  }
}

bool ModeFollower::follow(vrt::window::WindowObject& window, bool title) {
  int32_t mode = access_mode();
  if (mode == applied_) return false;
  applied_ = mode;
  const ModeRules& rules = mode_rules(mode);
  window.set_color(rules.color);
  if (title && rules.title && window.hwnd) vrt::platform::SetWindowText(window.hwnd, rules.title);
  if (window.kind() == vrt::window::WindowKind::Application && window.status_bar) show_mode_status(window, mode);
  return true;
}

void show_mode_status(vrt::window::WindowObject& frame, int32_t mode) {
  using namespace vrt::platform;
  const ModeRules& rules = mode_rules(mode);
  for (WPARAM zone = 0; zone < 3; ++zone) SendMessage(frame.status_bar, SB_SETTEXT, zone, reinterpret_cast<LPARAM>(""));
  auto show = [&](WPARAM zone, const char* picture, int32_t value) {
    if (!picture) return;
    std::string text = vrt::core::Format(std::to_string(value), picture);
    text.erase(text.find_last_not_of(' ') + 1);  // the picture's width is not the zone's
    text.erase(0, text.find_first_not_of(' '));
    SendMessage(frame.status_bar, SB_SETTEXT, zone, reinterpret_cast<LPARAM>(text.c_str()));
  };
  show(1, rules.date_picture, vrt::core::today());
  show(2, rules.time_picture, vrt::core::clock_time());
}

}  // namespace marlock
