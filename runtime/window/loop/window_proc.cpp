// The window procedure of the runtime's windows: platform messages become
// events for the procedure.
#include "runtime/window/loop/window_proc.h"

#include <algorithm>
#include <climits>
#include <string>
#include <thread>
#include <utility>

#include "runtime/core/base/runtime_box.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/os/process.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/loop/modal_state.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/controls/program_cursor.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/controls/spin_arrows.h"
#include "runtime/window/controls/window_system.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// System commands the procedure may refuse, and the event each sends.
struct SystemCommandEvent {
  WPARAM command;
  uint16_t event;
  bool not_when_minimised;
};
constexpr SystemCommandEvent kSystemCommands[] = {
    {SC_MOVE, event::Move, true},         {SC_SIZE, event::Size, true},
    {SC_RESTORE, event::Restore, false},  {SC_MAXIMIZE, event::Maximize, false},
    {SC_MINIMIZE, event::Iconize, false},
};

constexpr UINT kWmDropFiles = 0x0233;  // files dropped on the window

// Notifications of controls (WM_COMMAND's high word) and the event each
// posts for the control (an entry left is edit_left's).
struct Notification {
  UINT code;
  uint16_t event;
};
constexpr Notification kNotifications[] = {
    {kTabChanging, event::TabChanging},       {kTabChanged, event::NewSelection},
    {EN_SETFOCUS, event::Selected},           {kSpinStepped, event::NewSelection},
    {LBN_SETFOCUS, event::Selected},          {LBN_SELCHANGE, event::NewSelection},
    {LBN_DBLCLK, event::Accepted},            {kListScrollUp, event::ScrollUp},
    {kListScrollDown, event::ScrollDown},     {kListPageUp, event::PageUp},
    {kListPageDown, event::PageDown},         {kListScrollTop, event::ScrollTop},
    {kListScrollBottom, event::ScrollBottom}, {kListScrollTrack, event::ScrollTrack},
    {kListScrollDrag, event::ScrollDrag},     {kListColumnResized, event::ColumnResize},
    {kListAlertKey, event::AlertKey},
};

LRESULT default_proc(WindowObject* w, HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (!w) return DefWindowProc(h, m, wp, lp);
  switch (w->kind()) {
    case WindowKind::Application: return DefFrameProc(h, w->client, m, wp, lp);
    case WindowKind::MdiChild: return DefMDIChildProc(h, m, wp, lp);
    case WindowKind::Ordinary: break;
  }
  return DefWindowProc(h, m, wp, lp);
}

int state_of(HWND h) { return IsIconic(h) ? SIZE_MINIMIZED : IsZoomed(h) ? SIZE_MAXIMIZED : SIZE_RESTORED; }

// A press on the frame's toolbar goes to the procedure of the active MDI
// child; with none active, to the frame's own.
WindowObject* toolbar_target(WindowObject& frame) {
  if (frame.client) {
    HWND active = reinterpret_cast<HWND>(SendMessage(frame.client, WM_MDIGETACTIVE, 0, 0));
    if (WindowObject* child = active ? window_object(active) : nullptr) return child;
  }
  return &frame;
}

// The window whose menu the frame's bar shows: the active document window
// when it has a menu of its own, else the frame.
WindowObject& menu_owner(WindowObject& frame) {
  if (frame.client && frame.hwnd) {
    HWND active = reinterpret_cast<HWND>(SendMessage(frame.client, WM_MDIGETACTIVE, 0, 0));
    WindowObject* child = active ? window_object(active) : nullptr;
    if (child && child->menu && GetMenu(frame.hwnd) == child->menu) return *child;
  }
  return frame;
}

// A chosen menu entry: a check that follows a variable turns over.
void menu_chosen(WindowObject& w, int32_t id) {
  for (auto& [field, value] : w.menu_checks)
    if (static_cast<uint16_t>(field) == static_cast<uint16_t>(id)) {
      value->set_long(value->get_long() ? 0 : 1);
      Display(w);
    }
  PostEvent(w, event::Accepted, id);
}

// An entry was left: a stored value is accepted; a rejected text is the
// procedure's to handle, unless the window takes rejections itself.
void edit_left(WindowObject& w, Control& c) {
  switch (c.leave_edit()) {
    case Control::EditOutcome::Stored: return PostEvent(w, event::Accepted, c.field());
    case Control::EditOutcome::Rejected:
      if (w.take_rejection) return w.take_rejection(c, c.rejection());
      return PostEvent(w, event::Rejected, c.field());
    case Control::EditOutcome::Unchanged: return;
  }
}

void command(WindowObject& w, WPARAM wp, LPARAM lp) {
  HWND from = reinterpret_cast<HWND>(lp);
  int32_t id = static_cast<int16_t>(LOWORD(wp));
  if (from && from == w.toolbar) return PostEvent(*toolbar_target(w), event::Accepted, id);
  if (from) {
    UINT code = HIWORD(wp);
    int32_t field = GetDlgCtrlID(from);
    if (code != BN_CLICKED) {
      if (code == EN_KILLFOCUS) {
        if (Control* c = w.control(field)) edit_left(w, *c);
        return;
      }
      for (const Notification& n : kNotifications)
        if (n.code == code) return PostEvent(w, n.event, field);
      return;
    }
    radio_chosen(w, field);
    PostEvent(w, event::Accepted, field);
    return;
  }
  menu_chosen(menu_owner(w), id);  // a menu entry
}

// The status-bar message of the menu entry with a field number.
std::string_view entry_message(const ResourceBuffer& b, uint32_t first, int32_t field) {
  for (uint32_t at = first; at != 0; at = b.next(at)) {
    if (b.field_number(at) == field && field != 0) return b.text(b.field(at, "msg"));
    if (b.type(at) == static_cast<uint8_t>(RecordType::Menu))
      if (auto m = entry_message(b, b.field(at, "children"), field); !m.empty()) return m;
  }
  return {};
}

// While a menu item is highlighted its message shows in the first segment
// of the status bar; closing the menu puts back what was there.
void menu_select(WindowObject& w, const WindowObject& entries, WPARAM wp, LPARAM lp) {
  if (!w.status_bar || !w.buffer) return;
  std::string text;
  bool closed = HIWORD(wp) == 0xFFFF && lp == 0;
  if (closed) {
    if (!w.menu_showing) return;  // no item was highlighted: nothing was covered
    text = std::exchange(w.status_before_menu, {});
    w.menu_showing = false;
  } else if (!w.menu_showing) {
    // The length first: the status bar copies the whole text.
    std::string before(static_cast<size_t>(SendMessage(w.status_bar, SB_GETTEXT, 0, 0)) + 1, '\0');
    SendMessage(w.status_bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(before.data()));
    w.status_before_menu = before.c_str();
    w.menu_showing = true;
  }
  if (!closed && !(HIWORD(wp) & MF_POPUP)) {
    const ResourceBuffer& b = *entries.buffer;
    uint32_t bar = b.field(entries.structure, "menubar");
    if (bar != 0) text = entry_message(b, b.field(bar, "children"), static_cast<int16_t>(LOWORD(wp)));
  }
  SendMessage(w.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The outer size limits of one dimension (0 width, 1 height), from the
// declared client sizes in dialog units.
struct SizeLimit {
  int lowest = 0, highest = INT_MAX;
  bool given = false;
};
SizeLimit size_limit(const WindowObject& w, int dimension, int frame) {
  SizeLimit l;
  auto pixels = [&](int32_t du) { return (dimension == 0 ? w.units.x(du) : w.units.y(du)) + frame; };
  int32_t lowest = static_cast<int32_t>(w.buffer->field(w.structure, "minsize", dimension));
  int32_t highest = static_cast<int32_t>(w.buffer->field(w.structure, "maxsize", dimension));
  // "Not given" and sizes below 1 leave that side open.
  if (lowest != kNotGiven && lowest > 0) l.lowest = pixels(lowest), l.given = true;
  if (highest != kNotGiven && highest > 0) l.highest = std::max(l.lowest, pixels(highest)), l.given = true;
  return l;
}

// The dragged rectangle brought within the window's size limits, keeping
// the edge opposite to the one dragged. False when the window has none.
bool keep_within_limits(const WindowObject& w, HWND h, WPARAM edge, RECT& r) {
  if (!w.buffer) return false;
  RECT outer = GetWindowRect(h), inner = GetClientRect(h);
  SizeLimit across = size_limit(w, 0, outer.width() - inner.right);
  SizeLimit down = size_limit(w, 1, outer.height() - inner.bottom);
  if (!across.given && !down.given) return false;
  int width = std::clamp(r.width(), across.lowest, across.highest);
  int height = std::clamp(r.height(), down.lowest, down.highest);
  bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  if (left) r.left = r.right - width;
  else r.right = r.left + width;
  if (top) r.top = r.bottom - height;
  else r.bottom = r.top + height;
  return true;
}

// Over the client area: the program's cursor, else the class's.
void set_client_cursor(HWND h) {
  HCURSOR cursor = program_cursor();
  WNDCLASS wc;
  if (!cursor && GetClassInfo(GetClassName(h), &wc)) cursor = wc.hCursor;
  platform::SetCursor(cursor ? cursor : LoadCursor(IDC_ARROW));
}

void paint(WindowObject& w, HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  paint_drawn_controls(w, h, dc);
  EndPaint(h, &ps);
}

}  // namespace

LRESULT runtime_window_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  WindowObject* w = window_object(h);
  if (!w) return default_proc(nullptr, h, m, wp, lp);
  if (m >= kEventMessageBase && m < kEventMessageBase + 0x300) {
    // A sent event: the procedure answers at once, or finds it queued.
    uint16_t code = static_cast<uint16_t>(m - kEventMessageBase);
    if (w->opening) return 0;
    if (w->on_sent) {
      AnsweringSentEvent answering;
      return w->on_sent(*w, code);
    }
    w->queue.push_back({code, nullptr, w, 0});
    // Sent from another thread while this one waits: wake its loop so
    // that the event is delivered.
    if (InSendMessage()) PostMessage(h, WM_NULL, 0, 0);
    return 0;
  }
  switch (m) {
    case kPostedEventMessage:
      take_posted_event(*w, static_cast<uint16_t>(wp), static_cast<int32_t>(lp));
      return 0;
    case WM_COMMAND:
      command(*w, wp, lp);
      return 0;
    case WM_MENUSELECT:
      menu_select(*w, menu_owner(*w), wp, lp);
      break;
    case WM_MDIACTIVATE:
      if (w->kind() == WindowKind::MdiChild && w->menu) show_frame_menu(*w, reinterpret_cast<HWND>(lp) == h);
      break;
    case WM_CLOSE:
      PostEvent(*w, event::CloseWindow);
      return 0;
    case WM_SYSCOMMAND:
      if (w->flags() & kFlagReport) {
        for (const SystemCommandEvent& s : kSystemCommands) {
          if ((wp & 0xFFF0) != s.command || (s.not_when_minimised && IsIconic(h))) continue;
          if (SendEvent(*w, s.event) == 1) return 0;  // the procedure refused
        }
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      int state = state_of(h);
      if (state != w->stored_state) {
        w->stored_state = state;
        PostEvent(*w, state == SIZE_MAXIMIZED ? event::Maximized
                      : state == SIZE_MINIMIZED ? event::Iconized
                                                : event::Restored);
      }
      break;
    }
    case WM_MOVE:
      if ((w->flags() & kFlagReport) && !IsIconic(h)) PostEvent(*w, event::Moved);
      break;
    case WM_SIZE:
      if ((w->flags() & kFlagReport) && wp != SIZE_MINIMIZED) PostEvent(*w, event::Sized);
      break;
    case WM_TIMER:
      if (wp == kEventTimerId) {
        if (!w->timer_pending) {
          w->timer_pending = true;  // one Timer waiting at most
          PostEvent(*w, event::Timer);
        }
        return 0;
      }
      if (wp == 2) return 0;  // the loop's own timing
      break;
    case kWmDropFiles:
      PostEvent(*w, event::Drop);
      return 0;
    case WM_QUERYENDSESSION: {
      core::BoxRequest box;
      box.caption = executable_path().substr(executable_path().find_last_of('/') + 1);
      box.text = "Application still active.\n\nQuit the application before quitting Windows.";
      box.icon = core::kBoxIconExclamation;
      box.system_modal = true;
      core::show_runtime_box(box);
      return 0;  // the session may not end under the program
    }
    case WM_SIZING:
      if (keep_within_limits(*w, h, wp, *reinterpret_cast<RECT*>(lp))) return 1;
      break;
    case WM_SETCURSOR:
      if (static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp))) == HTCLIENT) {
        set_client_cursor(h);
        return 1;
      }
      break;
    case WM_PAINT:
      paint(*w, h);
      return 0;
    case WM_ERASEBKGND:
      if (!w->color_brush()) break;
      FillRect(reinterpret_cast<HDC>(wp), GetClientRect(h), w->color_brush());
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (w->color_brush()) return reinterpret_cast<LRESULT>(w->color_brush());
      break;
    case WM_NCDESTROY:
      // Destroyed from elsewhere (a document window goes with its closing
      // frame) while its procedure waits for a message: the wake-up lets
      // the procedure's loop see that its window is gone, and end.
      w->hwnd = nullptr;
      PostThreadMessage(std::this_thread::get_id(), WM_NULL, 0, 0);
      break;
  }
  return default_proc(w, h, m, wp, lp);
}

}  // namespace vrt::window
