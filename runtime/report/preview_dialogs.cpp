#include "runtime/report/preview_dialogs.h"

#include <algorithm>
#include <cstdint>

#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/report/preview_fields.h"

namespace vrt::report {

using namespace vrt::window;
namespace f = preview_field;

int ask_page_to_jump_to(const std::string& module, int current, int total) {
  WindowObject w(module, "P22$JUMPWINDOW", WindowKind::Ordinary);
  Open(w);
  if (!w.is_open()) return 0;
  int32_t page = current;
  Bind(w, f::kJumpPage, &page);
  int chosen = 0;
  while (Accept(w)) {
    if (w.event != event::Accepted) continue;
    if (w.field == f::kJumpOk) {
      chosen = std::clamp<int32_t>(page, 1, total);
      PostClose(w);
    } else if (w.field == f::kJumpCancel) {
      PostClose(w);
    }
  }
  return chosen;
}

bool ask_pages_displayed(const std::string& module, int& across, int& down) {
  WindowObject w(module, "P23$SELECTWINDOW", WindowKind::Ordinary);
  Open(w);
  if (!w.is_open()) return false;
  int32_t new_across = across, new_down = down;
  Bind(w, f::kSelectAcross, &new_across);
  Bind(w, f::kSelectDown, &new_down);
  bool ok = false;
  while (Accept(w)) {
    if (w.event == event::Accepted && w.field == f::kSelectOk) {
      ok = true;
      PostClose(w);
    }
  }
  if (ok) {
    across = new_across;
    down = new_down;
  }
  return ok;
}

}  // namespace vrt::report
