#include "app/browse/browse_procedure.h"

#include "app/access/access_mode.h"
#include "app/browse/browse_instances.h"
#include "app/browse/browse_list.h"
#include "app/frame/frame_commands.h"
#include "app/frame/help_topic.h"
#include "app/frame/window_controls.h"
#include "app/integrity/file_use.h"
#include "app/process/customer_process.h"
#include "app/process/time_stamp.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/control.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/frame_toolbar.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"

namespace marlock {

namespace {

using namespace vrt::window;

// The bosses' procedures before a browse opens its file.
void before_browse() {
  switch (mode_rules(access_mode()).before_browse) {
    case BeforeBrowse::CustomerProcess: customer_process(); break;
    case BeforeBrowse::CustomerTimeStamp: stamp_customers(); break;
    case BeforeBrowse::Nothing: break;
  }
}

// Buttons a mode forbids are disabled on every pass and stay so, even when
// the user switches to a mode with more rights.
void disable_forbidden(WindowObject& w) {
  const ModeRules& rules = mode_rules(access_mode());
  auto disable = [&](int32_t field, bool allowed) {
    if (allowed) return;
    if (Control* c = w.control(field); c && vrt::platform::IsWindowEnabled(c->hwnd()))
      vrt::platform::EnableWindow(c->hwnd(), false);
  };
  disable(kBrowseInsert, rules.insert);
  disable(kBrowseChange, rules.change);
  disable(kBrowseDelete, rules.remove);
}

int selected_order(WindowObject& w) {
  Control* sheet = w.control(kBrowseSheet);
  return sheet ? selected_tab(sheet->hwnd()) + 1 : 1;
}

}  // namespace

void browse_procedure(const std::string& name) {
  const BrowseSpec* spec = browse_spec(name);
  if (!spec) return;
  before_browse();
  FileUse file(spec->file);
  if (!file) return;
  WindowObject w(spec->module, "P1$QUICKWINDOW", WindowKind::MdiChild);
  Open(w);
  BrowseList list(w, *spec, *file.get(), kBrowseList);
  const int32_t close = w.is_open() ? button_field(w, "Close") : 0;
  ModeFollower mode;
  while (Accept(w)) {
    if (mode.follow(w)) SetListVcr(w, kBrowseList, mode_rules(access_mode()).vcr);
    if (access_mode() != kSpy) disable_forbidden(w);
    switch (w.event) {
      case event::OpenWindow: list.select_order(1); continue;
      case event::GainFocus:
      case event::Sized: list.refresh(); continue;
      case event::NewSelection:
        if (w.field == kBrowseSheet) {
          list.select_order(selected_order(w));
          continue;
        }
        break;
      case event::Accepted:
        if (answer_help(w, w.field)) continue;
        if (w.field >= frame::kFirstToolbarButton && w.field <= frame::kLastToolbarButton) {
          list.take_toolbar(w.field);
          continue;
        }
        break;
      default: break;
    }
    if (list.take(w.event, w.field)) continue;
    if (w.event == event::Accepted && w.field == close) PostClose(w);
  }
}

}  // namespace marlock
