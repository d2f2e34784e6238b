#include "runtime/window/loop/accept_loop.h"

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/control_message.h"
#include "runtime/window/loop/dialog_keyboard.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/loop/modal_state.h"
#include "runtime/window/loop/press_keys.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/controls/window_system.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_trace.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

IdleHook g_idle = nullptr;
MessageHook g_message_hook = nullptr;

// The runtime window that is active: the frame's active MDI child when the
// frame is active, else the active top-level window.
WindowObject* active_window_object() {
  HWND active = GetActiveWindow();
  WindowObject* w = active ? window_object(active) : nullptr;
  if (w && w->kind() == WindowKind::Application && w->client) {
    HWND child = reinterpret_cast<HWND>(SendMessage(w->client, WM_MDIGETACTIVE, 0, 0));
    if (WindowObject* c = child ? window_object(child) : nullptr) return c;
  }
  return w;
}

// An event into a window's queue at once, on its own thread (or its
// procedure's answer when it takes sent events).
void queue_now(WindowObject& w, uint16_t code) {
  if (w.hwnd) SendMessage(w.hwnd, kEventMessageBase + code, 0, 0);
}

void focus_changes() {
  // Close() forgets a window that goes away, so `previous` is alive.
  WindowSystem& s = window_system();
  WindowObject* active = active_window_object();
  if (active == s.last_active) return;
  WindowObject* previous = s.last_active;
  s.last_active = active;
  if (previous && previous->hwnd) queue_now(*previous, event::LoseFocus);
  if (active) queue_now(*active, event::GainFocus);
}

// The next event for the procedure, from the queue or accept-all mode.
bool take_event(WindowObject& w, EventRecord& out) {
  if (!w.queue.empty()) {
    out = w.queue.front();
    w.queue.pop_front();
    return true;
  }
  if (!w.accept_all) return false;
  std::vector<Control*> controls = w.controls_in_order();
  while (w.accept_next < controls.size()) {
    Control* c = controls[w.accept_next++];
    if (!c->hwnd() || !c->enabled()) continue;
    if (!c->value_passes_check()) {
      w.accept_all = false;  // the procedure takes over on this control
      if (c->hwnd()) SetFocus(c->hwnd());
      return false;
    }
    out = {event::Accepted, c, &w, c->field()};
    return true;
  }
  w.accept_all = false;
  PostEvent(w, event::Completed);
  return false;
}

// Whether a taken event reaches the procedure.
bool deliverable(WindowObject& w, const EventRecord& e) {
  if (e.code == event::Selected && e.control && e.control->hwnd() != GetFocus()) return false;
  if (e.code == event::Timer) {
    w.timer_pending = false;
    return w.has_timer;
  }
  return true;
}

// One pass of dequeuing: true when `w.event` is set for the procedure.
bool dequeue(WindowObject& w) {
  if (current_window() == &w) focus_changes();
  show_focused_control_message(w);
  EventRecord e;
  while (take_event(w, e)) {
    if (!deliverable(w, e)) continue;
    WindowSystem& s = window_system();
    std::thread::id me = std::this_thread::get_id();
    // Suspend and Resume tell a procedure about the others; taking one is
    // not serving its thread (else the two threads would tell each other
    // for ever).
    bool notice = e.code == event::Suspend || e.code == event::Resume;
    if (!notice && s.last_served && s.last_served_thread != me && s.last_served->hwnd) {
      // Another thread's procedure ran last: it hears it is suspended, this
      // one that it resumes, before its event.
      WindowObject* previous = s.last_served;
      s.last_served = &w;
      s.last_served_thread = me;
      queue_now(*previous, event::Suspend);
      w.queue.push_front(e);
      e = {event::Resume, nullptr, &w, 0};
    }
    if (!notice) {
      s.last_served = &w;
      s.last_served_thread = me;
    }
    w.event = e.code;
    w.field = e.field;
    w.answer = 0;
    w.close_delivered = e.code == event::CloseWindow || e.code == event::CloseDown;
    trace_line("deliver %s field %d to %s", event_name(e.code), e.field, w.label().c_str());
    return true;
  }
  return false;
}

}  // namespace

bool Accept(WindowObject& w) {
  if (!w.buffer) {
    // Not opened because the application is ending: the procedure ends.
    if (w.kind() == WindowKind::MdiChild && application_ending() && started_under_application()) return false;
    core::fatal_runtime_error(537);
    return false;
  }
  if (w.hwnd && modal_for(w)) {
    core::fatal_runtime_error(540);
    return false;
  }
  if (!runtime_lock_held()) take_runtime_lock();
  set_current_window(&w);
  if (w.close_delivered && w.answer == 0) w.closing = true;
  w.close_delivered = false;
  if (w.closing) {
    Close(w);
    return false;
  }
  Display(w);  // the procedure may have changed bound variables
  for (;;) {
    if (!w.hwnd) {
      Close(w);
      return false;
    }
    if (dequeue(w)) return true;
    MSG m;
    // With nothing queued the window is idle: a pressed keystroke goes in.
    if (!PeekMessage(&m, nullptr, PM_NOREMOVE) && !feed_pressed_key()) {
      Display(w);
      if (g_idle) g_idle();
    }
    int levels = release_runtime_lock_fully();
    bool got = GetMessage(&m);
    retake_runtime_lock(levels);
    if (!got) {
      Close(w);
      return false;
    }
    if (m.message == kBringTopMessage) {
      if (WindowSystem& s = window_system(); s.application && s.application->hwnd)
        BringWindowToTop(s.application->hwnd);
      continue;
    }
    if (m.message == WM_TIMER && m.wParam == kRuntimeTimerId && m.hwnd == w.hwnd) continue;
    relay_to_tool_tips(m);
    if (pre_translate(m)) continue;
    if (g_message_hook && g_message_hook(m)) continue;
    TranslateMessage(m);
    DispatchMessage(m);
  }
}

uint16_t Event() { return current_window() ? current_window()->event : 0; }
int32_t Field() { return current_window() ? current_window()->field : 0; }

void AcceptAll(WindowObject& w) {
  if (!w.is_open()) return core::fatal_runtime_error(536);
  w.accept_all = true;
  w.accept_next = 0;
}

void PostClose(WindowObject& w) { PostEvent(w, event::CloseWindow); }

void set_idle_hook(IdleHook hook) { g_idle = hook; }
void set_message_hook(MessageHook hook) { g_message_hook = hook; }

}  // namespace vrt::window
