// A window opened by a procedure: the structure it was made from, its
// platform window and controls, and what the event loop keeps for it (the
// queue of events, the accept-all position, the timer-pending flag).
//
//   closed --Open--> open (OpenWindow queued) --CloseWindow delivered--> closing
//     --ACCEPT sees closing, destroys the platform window--> closed
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/gfx/gdi_types.h"
#include "runtime/platform/gui/win_types.h"
#include "runtime/window/controls/control.h"

namespace vrt::window {

enum class WindowKind { Application, MdiChild, Ordinary };

class WindowObject;

// One queued event: its code, the control it concerns (null for window
// events) and the window it was posted to.
struct EventRecord {
  uint16_t code = 0;
  Control* control = nullptr;
  WindowObject* window = nullptr;
  int32_t field = 0;  // the control's, or a menu entry's or toolbar button's
};

// The procedure's answer to an event sent synchronously; non-zero cancels
// what the event announced (a move, a close ...).
using SentEventHandler = std::function<int(WindowObject& window, uint16_t code)>;

class WindowObject {
 public:
  WindowObject(std::string module, std::string label, WindowKind kind);
  ~WindowObject();
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;

  const std::string& module() const { return module_; }
  const std::string& label() const { return label_; }
  WindowKind kind() const { return kind_; }
  bool is_open() const { return hwnd != nullptr; }

  // The window record's words.
  uint32_t flags() const;
  uint32_t flags2() const;
  uint32_t timer_interval() const;

  // Every control at any depth, in field order.
  std::vector<Control*> controls_in_order() const;
  Control* control(int32_t field) const;

  // The event the procedure reads after ACCEPT.
  uint16_t event = 0;
  int32_t field = 0;

  // Set by Open.
  std::shared_ptr<const ResourceBuffer> buffer;
  uint32_t structure = 0;
  platform::HWND hwnd = nullptr;
  platform::HWND client = nullptr;   // the frame's MDI client
  platform::HWND toolbar = nullptr;
  platform::HWND status_bar = nullptr;
  platform::HWND tool_tip = nullptr;  // the controls' tips, when any has one
  platform::HMENU menu = nullptr;
  platform::HFONT font = nullptr;
  std::vector<std::unique_ptr<Control>> controls;
  std::vector<std::unique_ptr<Control>> tools;  // the toolbar's controls besides its buttons
  DialogUnits units;
  std::thread::id thread;
  int thread_slot = 0;
  bool modal = false;  // counted in the modal counter while open

  // Event loop state.
  std::deque<EventRecord> queue;
  bool accept_all = false;
  size_t accept_next = 0;
  bool timer_pending = false;
  bool has_timer = false;
  bool opening = false;  // nothing is posted until "EVENT:OpenWindow" leads the queue
  bool closing = false;
  bool close_delivered = false;  // CloseWindow or CloseDown went to the procedure
  int answer = 0;                // the procedure's answer to the event delivered last
  int stored_state = 0;  // SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED
  SentEventHandler on_sent;
  // Set when the window takes an entry's rejection itself: called in place
  // of posting "EVENT:Rejected".
  std::function<void(Control& control, uint16_t reason)> take_rejection;
  // Keys the procedure hears itself (ALERT): a press is "EVENT:AlertKey"
  // for the focused control, with its key code (0x100 Shift, 0x200 Ctrl
  // added) in alert_key.
  std::vector<int32_t> alert_keys;
  int32_t alert_key = 0;
  // Menu items whose check mark follows a variable: field and variable.
  std::vector<std::pair<int32_t, std::unique_ptr<core::Value>>> menu_checks;
  std::string status_before_menu;  // the status text a menu's messages cover
  bool menu_showing = false;
  platform::HWND message_focus = nullptr;  // the focus whose control's message the status bar shows

  // The colour the program gave the window (an access mode's), or none
  // while it keeps its resource's look.
  const std::optional<platform::COLORREF>& color() const { return color_; }
  platform::HBRUSH color_brush() const { return color_brush_; }
  void set_color(std::optional<platform::COLORREF> color);

 private:
  std::optional<platform::COLORREF> color_;
  platform::HBRUSH color_brush_ = nullptr;
  std::string module_, label_;
  WindowKind kind_;
};

// The timers of a window the runtime opens: its TIMER attribute's (each
// tick one "EVENT:Timer" at most), and the runtime's own timing, which the
// ACCEPT loop takes for itself.
inline constexpr uintptr_t kEventTimerId = 1;
inline constexpr uintptr_t kRuntimeTimerId = 2;

// Every window the runtime opens has a class of its own whose name starts so.
inline constexpr const char* kWindowClassPrefix = "ZorWin";

// The window object behind a platform window of the runtime, or null for
// any other window (whose user data is not a window object).
WindowObject* window_object(platform::HWND hwnd);
// The runtime window that holds a window: itself or its nearest parent
// with a window object, or null.
WindowObject* window_holding(platform::HWND hwnd);

// The brush of the program's colour for the runtime window holding `hwnd`
// (its background, its pages', its static controls'), or null.
platform::HBRUSH color_brush_for(platform::HWND hwnd);

// Paints the window's drawn controls that `painter` shows (the window
// itself, or a tab page), in its client coordinates.
void paint_drawn_controls(const WindowObject& window, platform::HWND painter, platform::HDC dc);

}  // namespace vrt::window
