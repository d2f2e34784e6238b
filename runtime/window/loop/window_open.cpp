#include "runtime/window/loop/window_open.h"

#include <atomic>
#include <cstdio>

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/creator_table.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/loop/mdi_placement.h"
#include "runtime/window/resource/structure_finder.h"
#include "runtime/window/loop/window_proc.h"
#include "runtime/window/controls/window_system.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

// A window object closes its window when it goes; the destructor lives with
// Close so that the object itself stays below the loop that opens it.
WindowObject::~WindowObject() {
  Close(*this);
  set_color(std::nullopt);
}

namespace {

using namespace vrt::platform;

// A document window that a procedure started under the frame opens while
// the frame closes, or after it closed, is not opened and its procedure ends
// quietly: the application is on its way out, which is no fault of the
// program's.
constexpr int kApplicationEnding = -1;

// The checks of each kind, in order; 0 when the window may open.
int refusal(const WindowObject& w) {
  WindowSystem& s = window_system();
  switch (w.kind()) {
    case WindowKind::Application:
      if (s.application) return 526;
      if (s.modal > 0) return 527;
      return 0;
    case WindowKind::MdiChild:
      if (application_ending() && started_under_application()) return kApplicationEnding;
      if (!s.application || !s.application->hwnd) return 530;
      if (s.modal > 0) return 531;
      if (s.application->thread == std::this_thread::get_id()) return 532;
      return 0;
    case WindowKind::Ordinary:
      return 0;
  }
  return 0;
}

int creation_failure(WindowKind kind) {
  return kind == WindowKind::Application ? 528 : kind == WindowKind::MdiChild ? 533 : 529;
}

// Each window gets a class of its own, named as the system names them.
std::string register_window_class(WindowKind kind) {
  static std::atomic<unsigned long> sequence{0};
  char name[48];
  std::snprintf(name, sizeof name, "ZorWin%uClass%lu", static_cast<unsigned>(kind), ++sequence);
  WNDCLASS wc;
  wc.lpszClassName = name;
  wc.lpfnWndProc = runtime_window_proc;
  wc.style = CS_DBLCLKS;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClass(wc);
  return name;
}

int32_t given(uint32_t v, int32_t fallback) {
  return static_cast<int32_t>(v) == kNotGiven ? fallback : static_cast<int32_t>(v);
}

void make_font(WindowObject& w) {
  FontRecord f = w.buffer->font(w.buffer->field(w.structure, "font"));
  int points = f.points ? static_cast<int>(f.points) : 8;
  std::string face = f.typeface.empty() ? "MS Sans Serif" : f.typeface;
  w.font = CreateFont(-points * 96 / 72, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, face.c_str());
  HDC dc = GetDC(w.hwnd);
  SIZE base = dialog_base_units(dc, w.font);
  ReleaseDC(w.hwnd, dc);
  if (base.cx > 0 && base.cy > 0) w.units = {base.cx, base.cy};
}

void add_menu_entries(const ResourceBuffer& b, uint32_t first, HMENU into) {
  for (uint32_t at = first; at != 0; at = b.next(at)) {
    auto type = static_cast<RecordType>(b.type(at));
    std::string text(b.text(b.field(at, "text")));
    UINT id = static_cast<uint16_t>(b.field_number(at));
    if (type == RecordType::Menu) {
      HMENU sub = CreatePopupMenu();
      add_menu_entries(b, b.field(at, "children"), sub);
      AppendMenu(into, MF_POPUP, reinterpret_cast<uintptr_t>(sub), text);
    } else if (type == RecordType::Item) {
      if (b.flags(at) & kFlagSeparator) AppendMenu(into, MF_SEPARATOR, 0);
      else AppendMenu(into, MF_STRING | (b.flags(at) & kFlagDisabled ? UINT{MF_GRAYED} : 0u), id, text);
    }
  }
}

void make_menu(WindowObject& w) {
  uint32_t bar = w.buffer->field(w.structure, "menubar");
  if (bar == 0 || w.buffer->type(bar) != static_cast<uint8_t>(RecordType::MenuBar)) return;
  w.menu = CreateMenu();
  add_menu_entries(*w.buffer, w.buffer->field(bar, "children"), w.menu);
  // A document window has no bar of its own: its menu takes the frame's
  // place while it is the active one (window_proc, WM_MDIACTIVATE).
  if (w.kind() != WindowKind::MdiChild) SetMenu(w.hwnd, w.menu);
}

// A control other than a button stands in the toolbar at its own place
// (a prompt, a spin box): a child of the toolbar, found by its field number.
void add_tool_control(WindowObject& w, uint32_t at) {
  const ResourceBuffer& b = *w.buffer;
  Creator make = creator_for(b.type(at));
  std::unique_ptr<Control> c = make ? make(b, at) : nullptr;
  if (!c) return core::fatal_runtime_error(502, "a toolbar record has no control class");
  auto coordinate = [&](int i, int32_t fallback) {
    int32_t v = static_cast<int32_t>(b.field(at, "at", i));
    return v == kNotGiven ? fallback : v;
  };
  int32_t x = coordinate(0, 0), y = coordinate(1, 2), width = coordinate(2, 40), height = coordinate(3, 10);
  c->rect = {w.units.x(x), w.units.y(y), w.units.x(x + width), w.units.y(y + height)};
  c->create(w, w.toolbar, c->rect);
  w.tools.push_back(std::move(c));
}

void make_toolbar(WindowObject& w) {
  const ResourceBuffer& b = *w.buffer;
  uint32_t bar = b.field(w.structure, "toolbar");
  if (bar == 0 || b.type(bar) != static_cast<uint8_t>(RecordType::ToolBar)) return;
  w.toolbar = CreateWindow(kZorToolBar, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, w.hwnd, nullptr);
  std::vector<TBBUTTON> buttons;
  for (uint32_t at = b.field(bar, "children"); at != 0; at = b.next(at)) {
    if (b.type(at) != static_cast<uint8_t>(RecordType::Button)) {
      add_tool_control(w, at);
      continue;
    }
    TBBUTTON t;
    std::string icon(b.text(b.field(at, "icon")));
    t.icon = icon.empty() ? LoadIcon(std::string("APPLICATION")) : load_icon_code(icon);
    t.idCommand = static_cast<uint16_t>(b.field_number(at));
    t.enabled = !(b.flags(at) & kFlagDisabled);
    t.tip = std::string(b.text(b.field(at, "tip")));
    buttons.push_back(t);
  }
  SendMessage(w.toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

void make_status_bar(WindowObject& w) {
  std::vector<int32_t> widths = w.buffer->widths(w.buffer->field(w.structure, "status"));
  if (widths.empty()) return;
  w.status_bar = CreateWindow(kStatusClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, w.hwnd, nullptr);
  // Segment widths in dialog units, -1 taking what the others leave: turned
  // into right edges.
  int total = GetClientRect(w.hwnd).right, fixed = 0;
  for (int32_t width : widths) fixed += width > 0 ? w.units.x(width) : 0;
  std::vector<int32_t> edges;
  int x = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    x += widths[i] > 0 ? w.units.x(widths[i]) : std::max(0, total - fixed);
    edges.push_back(i + 1 == widths.size() ? -1 : x);
  }
  SendMessage(w.status_bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

// The MDI client fills the frame between its toolbar and status bar.
void make_client(WindowObject& w) {
  RECT r = GetClientRect(w.hwnd);
  int top = w.toolbar ? GetWindowRect(w.toolbar).bottom - GetWindowRect(w.toolbar).top : 0;
  int bottom = w.status_bar ? GetWindowRect(w.status_bar).bottom - GetWindowRect(w.status_bar).top : 0;
  w.client = CreateWindow(kZorChildClient, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, top, r.right,
                          r.bottom - top - bottom, w.hwnd, nullptr);
  if (w.client) subclass_mdi_client(w.client);
}

HWND create_platform_window(WindowObject& w) {
  const ResourceBuffer& b = *w.buffer;
  std::string cls = register_window_class(w.kind());
  std::string title(b.text(b.field(w.structure, "title")));
  int32_t x = given(b.field(w.structure, "at", 0), CW_USEDEFAULT);
  int32_t y = given(b.field(w.structure, "at", 1), CW_USEDEFAULT);
  uint32_t style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  switch (w.kind()) {
    case WindowKind::Application:
      return CreateWindowEx(0, cls, title, style, x, y, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
    case WindowKind::MdiChild:
      return CreateWindowEx(WS_EX_MDICHILD, cls, title, WS_CHILD | style, x, y, CW_USEDEFAULT, CW_USEDEFAULT,
                            window_system().application->client, nullptr);
    case WindowKind::Ordinary:
      return CreateWindowEx(w.modal ? uint32_t{WS_EX_DLGMODALFRAME} : 0u, cls, title, WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            x, y, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
  }
  return nullptr;
}

// Sizes the window so that its client area has the declared size.
void size_client(WindowObject& w) {
  int32_t width = given(w.buffer->field(w.structure, "at", 2), kNotGiven);
  int32_t height = given(w.buffer->field(w.structure, "at", 3), kNotGiven);
  if (width == kNotGiven || height == kNotGiven) return;
  RECT outer = GetWindowRect(w.hwnd), inner = GetClientRect(w.hwnd);
  int extra_x = (outer.right - outer.left) - inner.right, extra_y = (outer.bottom - outer.top) - inner.bottom;
  SetWindowPos(w.hwnd, nullptr, 0, 0, w.units.x(width) + extra_x, w.units.y(height) + extra_y,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void Open(WindowObject& w) {
  if (w.is_open()) return core::fatal_runtime_error(535);
  FoundStructure found = locate_structure(w.module(), w.label());
  if (!found) return;
  int error = refusal(w);
  if (error == kApplicationEnding) return;
  if (error) return core::fatal_runtime_error(error);
  register_standard_controls();
  WindowSystem& s = window_system();
  w.buffer = found.buffer;
  w.structure = found.offset;
  w.thread = std::this_thread::get_id();
  w.closing = false;
  w.queue.clear();
  w.accept_all = false;
  w.timer_pending = false;
  w.modal = w.kind() == WindowKind::Ordinary && ((w.flags2() & kWindowModal) || s.modal > 0);

  w.opening = true;
  w.hwnd = create_platform_window(w);
  if (!w.hwnd) {
    w.opening = false;
    return core::fatal_runtime_error(creation_failure(w.kind()));
  }
  SetWindowLongPtr(w.hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(&w));
  if (w.kind() == WindowKind::Application) s.application = &w;
  if (w.modal) ++s.modal;
  make_font(w);
  SendMessage(w.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(w.font), 0);
  if (std::string icon(w.buffer->text(w.buffer->field(w.structure, "icon"))); !icon.empty())
    SendMessage(w.hwnd, WM_SETICON, 0, reinterpret_cast<LPARAM>(load_icon_code(icon)));
  size_client(w);
  make_menu(w);
  make_toolbar(w);
  make_status_bar(w);
  if (w.kind() == WindowKind::Application) make_client(w);
  if (w.kind() == WindowKind::MdiChild) subclass_mdi_child(w.hwnd);
  w.controls = create_controls(w, *w.buffer, w.buffer->field(w.structure, "children"), w.hwnd, w.units, {0, 0});
  make_tool_tips(w);
  if (uint32_t interval = w.timer_interval()) {
    SetTimer(w.hwnd, kEventTimerId, interval * 10);
    w.has_timer = true;
  }
  thread_windows().push_back(&w);
  ShowWindow(w.hwnd, SW_SHOW);
  w.stored_state = IsIconic(w.hwnd) ? SIZE_MINIMIZED : IsZoomed(w.hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  w.opening = false;
  // Straight into the queue: nothing may come before it.
  w.queue.push_front({event::OpenWindow, nullptr, &w, 0});
}

void show_frame_menu(WindowObject& child, bool shown) {
  WindowObject* frame = window_system().application;
  if (!frame || !frame->hwnd || !child.menu) return;
  if (shown) SetMenu(frame->hwnd, child.menu);
  else if (GetMenu(frame->hwnd) == child.menu) SetMenu(frame->hwnd, frame->menu);
}

void Close(WindowObject& w) {
  WindowSystem& s = window_system();
  if (w.hwnd) {
    if (w.has_timer) KillTimer(w.hwnd, kEventTimerId);
    SetWindowLongPtr(w.hwnd, GWLP_USERDATA, 0);
    DestroyWindow(w.hwnd);
    w.hwnd = nullptr;
  }
  if (w.tool_tip) DestroyWindow(w.tool_tip), w.tool_tip = nullptr;
  if (w.kind() == WindowKind::MdiChild && w.menu) show_frame_menu(w, false);
  if (w.modal) --s.modal, w.modal = false;
  if (s.application == &w) s.application = nullptr, s.application_ended = true;
  if (s.last_served == &w) s.last_served = nullptr;
  if (s.last_active == &w) s.last_active = nullptr;
  if (current_window() == &w) set_current_window(nullptr);
  std::erase(thread_windows(), &w);
  w.controls.clear();
  w.has_timer = false;
  if (w.font) DeleteObject(w.font), w.font = nullptr;
  w.menu = nullptr;
  w.toolbar = w.status_bar = w.client = nullptr;
}

}  // namespace vrt::window
