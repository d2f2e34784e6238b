#include "runtime/window/loop/event_posting.h"

#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/controls/window_system.h"
#include "runtime/window/loop/window_trace.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

// The record travels in the message itself (code in wParam, field number in
// lParam), so nothing is left to free when the window goes away first.
void post(WindowObject& window, uint16_t code, int32_t field) {
  if (!window_system().active || !window.hwnd || window.opening) return;
  trace_line("post %s field %d to %s", event_name(code), field, window.label().c_str());
  PostMessage(window.hwnd, kPostedEventMessage, code, field);
}

}  // namespace

void PostEvent(WindowObject& window, uint16_t code, Control* control) {
  if (control && !control->enabled()) return;
  post(window, code, control ? control->field() : 0);
}

// A field without a control here is a menu entry or a button of the frame's
// toolbar.
void PostEvent(WindowObject& window, uint16_t code, int32_t field) {
  if (Control* c = field != 0 ? window.control(field) : nullptr) return PostEvent(window, code, c);
  post(window, code, field);
}

int SendEvent(WindowObject& window, uint16_t code) {
  if (!window.hwnd) return 0;
  ++window_system().modal;
  // The window's own procedure (on its own thread) runs the handler.
  LRESULT answer = SendMessage(window.hwnd, kEventMessageBase + code, 0, 0);
  --window_system().modal;
  return static_cast<int>(answer);
}

void take_posted_event(WindowObject& window, uint16_t code, int32_t field) {
  window.queue.push_back({code, field != 0 ? window.control(field) : nullptr, &window, field});
}

}  // namespace vrt::window
