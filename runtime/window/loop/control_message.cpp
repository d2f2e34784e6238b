#include "runtime/window/loop/control_message.h"

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/control.h"
#include "runtime/window/controls/window_system.h"

namespace vrt::window {

using namespace vrt::platform;

void show_focused_control_message(WindowObject& w) {
  HWND focus = GetFocus();
  if (!focus || focus == w.message_focus || w.menu_showing) return;
  w.message_focus = focus;  // looked at once, whichever window holds it
  Control* focused = nullptr;
  auto holds_focus = [&](const Control* c) { return c->hwnd() && (c->hwnd() == focus || IsChild(c->hwnd(), focus)); };
  for (Control* c : w.controls_in_order())
    if (holds_focus(c)) focused = c;
  // The toolbar's own controls (a spin box beside its buttons) tell theirs too.
  for (const auto& t : w.tools)
    if (holds_focus(t.get())) focused = t.get();
  if (!focused) return;  // the focus is in another window
  WindowObject* frame = window_system().application;
  HWND bar = w.status_bar ? w.status_bar : frame && frame != &w ? frame->status_bar : nullptr;
  if (bar) SendMessage(bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>(focused->message().c_str()));
}

}  // namespace vrt::window
