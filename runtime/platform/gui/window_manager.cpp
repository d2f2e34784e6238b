#include "runtime/platform/gui/window_manager.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"

namespace vrt::platform {

namespace {

std::recursive_mutex g_lock;
std::unordered_map<uintptr_t, std::unique_ptr<Window>> g_windows;
std::vector<HWND> g_top_order;
std::map<std::string, WNDCLASS> g_classes;
std::atomic<uintptr_t> g_next_handle{0x10000};
int g_cascade = 0;

uintptr_t key(HWND h) { return reinterpret_cast<uintptr_t>(h); }

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<HWND>& sibling_list(Window& w) {
  if (w.parent) {
    Window* p = find_window(w.parent);
    if (p) return p->children;
  }
  return g_top_order;
}

namespace {
void unlink(Window& w) {
  auto& list = sibling_list(w);
  list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
}
}  // namespace

void dirty_top(HWND hwnd) {
  HWND top = GetTopLevel(hwnd);
  if (top) invalidate_tree(top);
}

WindowLock lock_windows() { return WindowLock(g_lock); }

Window* find_window(HWND hwnd) {
  auto it = g_windows.find(key(hwnd));
  return it == g_windows.end() ? nullptr : it->second.get();
}

const std::unordered_map<uintptr_t, std::unique_ptr<Window>>& all_windows() { return g_windows; }
std::vector<HWND>& top_level_order() { return g_top_order; }

FrameMetrics frame_metrics(const Window& w) {
  FrameMetrics m{0, 0, 0, 0, 0};
  if (w.style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) m.border = 1;
  if (w.ex_style & WS_EX_CLIENTEDGE) m.border += 1;
  if ((w.style & WS_CAPTION) == WS_CAPTION) m.caption = GetSystemMetrics(SM_CYCAPTION);
  if (w.menu && !(w.style & WS_CHILD)) m.menu_bar = GetSystemMetrics(SM_CYMENU);
  if (w.style & WS_VSCROLL) m.vscroll = GetSystemMetrics(SM_CXVSCROLL);
  if (w.style & WS_HSCROLL) m.hscroll = GetSystemMetrics(SM_CYHSCROLL);
  return m;
}

RECT client_area(const Window& w) {
  FrameMetrics m = frame_metrics(w);
  int32_t width = w.rect.width(), height = w.rect.height();
  RECT c{m.border, m.border + m.caption + m.menu_bar, width - m.border - m.vscroll, height - m.border - m.hscroll};
  if (w.minimized) c.bottom = c.top;
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}

RECT window_rect_in_top(const Window& w) {
  if (!w.parent) return {0, 0, w.rect.width(), w.rect.height()};
  Window* p = find_window(w.parent);
  if (!p) return w.rect;
  POINT o = client_origin_in_top(*p);
  return offset(w.rect, o.x, o.y);
}

POINT client_origin_in_top(const Window& w) {
  RECT r = window_rect_in_top(w);
  RECT c = client_area(w);
  return {r.left + c.left, r.top + c.top};
}

LRESULT send_to(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return SendMessage(hwnd, msg, wp, lp); }

bool RegisterClass(const WNDCLASS& wc) {
  if (wc.lpszClassName.empty() || !wc.lpfnWndProc) return false;
  WindowLock lock = lock_windows();
  g_classes[upper(wc.lpszClassName)] = wc;
  return true;
}

bool GetClassInfo(const std::string& name, WNDCLASS* out) {
  WindowLock lock = lock_windows();
  auto it = g_classes.find(upper(name));
  if (it == g_classes.end()) return false;
  *out = it->second;
  return true;
}

std::string GetClassName(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->cls.lpszClassName : std::string();
}

HWND CreateWindowEx(uint32_t ex_style, const std::string& class_name, const std::string& title, uint32_t style,
                    int32_t x, int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, void* param) {
  register_system_classes();
  make_thread_queue();  // the window's thread takes its messages from now on
  HWND hwnd;
  {
    WindowLock lock = lock_windows();
    auto cls = g_classes.find(upper(class_name));
    if (cls == g_classes.end()) return nullptr;
    if (parent && !find_window(parent)) return nullptr;
    if ((style & WS_CHILD) && !parent) return nullptr;
    auto w = std::make_unique<Window>();
    hwnd = reinterpret_cast<HWND>(g_next_handle.fetch_add(4));
    w->handle = hwnd;
    w->cls = cls->second;
    w->proc = cls->second.lpfnWndProc;
    w->style = style;
    w->ex_style = ex_style;
    w->text = title;
    w->thread = std::this_thread::get_id();
    w->cursor = cls->second.hCursor;
    if (style & WS_CHILD) {
      w->parent = parent;
      w->id = reinterpret_cast<intptr_t>(menu);
    } else {
      w->owner = parent ? GetTopLevel(parent) : nullptr;
      w->menu = menu;
    }
    if (x == CW_USEDEFAULT) {
      int step = scaled(24) * (g_cascade++ % 8);
      x = scaled(40) + step;
      y = scaled(40) + step;
    }
    if (width == CW_USEDEFAULT) {
      width = scaled(640);
      height = scaled(440);
    }
    w->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    w->restore_rect = w->rect;
    std::vector<HWND>& list = w->parent ? find_window(parent)->children : g_top_order;
    list.insert(list.begin(), hwnd);
    g_windows.emplace(key(hwnd), std::move(w));
  }
  if (!(style & WS_CHILD)) display_top_level_created(hwnd);
  CREATESTRUCT cs{param, menu, parent, height, width, y, x, style, title.c_str(), class_name.c_str(), ex_style};
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  RECT client = GetClientRect(hwnd);
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
  if ((style & WS_CHILD) && parent) SendMessage(parent, WM_PARENTNOTIFY, WM_CREATE, reinterpret_cast<LPARAM>(hwnd));
  if (style & WS_VISIBLE) {
    {
      WindowLock lock = lock_windows();
      if (Window* w = find_window(hwnd)) w->style &= ~WS_VISIBLE;
    }
    ShowWindow(hwnd, style & WS_MAXIMIZE ? SW_SHOWMAXIMIZED : SW_SHOW);
  }
  return hwnd;
}

namespace {

void send_destroy(HWND hwnd) {
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  for (HWND child : GetChildren(hwnd)) send_destroy(child);
}

void free_tree(HWND hwnd) {
  for (HWND child : GetChildren(hwnd)) free_tree(child);
  SendMessage(hwnd, WM_NCDESTROY, 0, 0);
  purge_window_messages(hwnd);
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return;
  unlink(*w);
  for (auto& [k, other] : g_windows)
    if (other->owner == hwnd) other->owner = nullptr;
  g_windows.erase(key(hwnd));
}

}  // namespace

bool DestroyWindow(HWND hwnd) {
  std::thread::id owner;
  HWND parent;
  bool top;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w || w->destroying) return false;
    owner = w->thread;
    parent = w->parent;
    top = !(w->style & WS_CHILD);
  }
  if (owner != std::this_thread::get_id() && owner != std::thread::id()) {
    bool done = false;
    run_on_window_thread(hwnd, [&] { done = DestroyWindow(hwnd); });
    return done;
  }
  // Owned windows go first.
  std::vector<HWND> owned;
  {
    WindowLock lock = lock_windows();
    for (auto& [k, other] : g_windows)
      if (other->owner == hwnd) owned.push_back(other->handle);
    find_window(hwnd)->destroying = true;
  }
  for (HWND o : owned) DestroyWindow(o);
  if (IsWindowVisible(hwnd)) dirty_top(hwnd);
  window_going_away(hwnd);
  if (parent) SendMessage(parent, WM_PARENTNOTIFY, WM_DESTROY, reinterpret_cast<LPARAM>(hwnd));
  send_destroy(hwnd);
  if (top) display_top_level_destroyed(hwnd);
  free_tree(hwnd);
  return true;
}

void destroy_thread_windows(std::thread::id thread) {
  // The outermost windows of the thread: the others go with them.
  std::vector<HWND> outermost;
  {
    WindowLock lock = lock_windows();
    for (auto& [k, w] : g_windows) {
      if (w->thread != thread || w->destroying) continue;
      Window* parent = w->parent ? find_window(w->parent) : nullptr;
      if (!parent || parent->thread != thread) outermost.push_back(w->handle);
    }
  }
  for (HWND h : outermost) DestroyWindow(h);
}

bool IsWindow(HWND hwnd) {
  WindowLock lock = lock_windows();
  return find_window(hwnd) != nullptr;
}

bool IsWindowVisible(HWND hwnd) {
  WindowLock lock = lock_windows();
  for (Window* w = find_window(hwnd); w; w = w->parent ? find_window(w->parent) : nullptr)
    if (!(w->style & WS_VISIBLE)) return false;
  return find_window(hwnd) != nullptr;
}

bool IsWindowEnabled(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w && !(w->style & WS_DISABLED);
}

bool IsChild(HWND parent, HWND hwnd) {
  WindowLock lock = lock_windows();
  for (Window* w = find_window(hwnd); w && w->parent; w = find_window(w->parent))
    if (w->parent == parent) return true;
  return false;
}

bool IsIconic(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w && w->minimized;
}

bool IsZoomed(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w && w->maximized;
}

HWND GetParent(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return nullptr;
  return w->parent ? w->parent : w->owner;
}

HWND SetParent(HWND hwnd, HWND parent) {
  HWND old;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w || (parent && !find_window(parent))) return nullptr;
    old = w->parent;
    unlink(*w);
    w->parent = parent;
    if (parent)
      w->style |= WS_CHILD;
    else
      w->style &= ~WS_CHILD;
    auto& list = sibling_list(*w);
    list.insert(list.begin(), hwnd);
  }
  dirty_top(hwnd);
  return old;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return nullptr;
  if (relation == GW_OWNER) return w->owner;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  auto& list = sibling_list(*w);
  auto it = std::find(list.begin(), list.end(), hwnd);
  switch (relation) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return it != list.end() && it + 1 != list.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != list.begin() && it != list.end() ? *(it - 1) : nullptr;
    default: return nullptr;
  }
}

HWND GetTopLevel(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  while (w && w->parent) w = find_window(w->parent);
  return w ? w->handle : nullptr;
}

std::vector<HWND> GetChildren(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->children : std::vector<HWND>();
}

std::vector<HWND> GetTopLevelWindows() {
  WindowLock lock = lock_windows();
  return g_top_order;
}

std::thread::id GetWindowThread(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->thread : std::thread::id();
}

bool EnableWindow(HWND hwnd, bool enable) {
  bool was_disabled;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    was_disabled = w->style & WS_DISABLED;
    if (enable == was_disabled) {
      if (enable)
        w->style &= ~WS_DISABLED;
      else
        w->style |= WS_DISABLED;
    } else {
      return was_disabled;
    }
  }
  if (!enable) window_disabled(hwnd);
  SendMessage(hwnd, WM_ENABLE, enable, 0);
  RedrawWindow(hwnd);
  return was_disabled;
}

bool SetWindowText(HWND hwnd, const std::string& text) {
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::string GetWindowText(HWND hwnd) {
  LRESULT length = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string buf(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = SendMessage(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, length))));
  return buf;
}

std::string window_text_now(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->text : std::string();
}

RECT GetWindowRect(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return {};
  Window* top = w;
  while (top->parent) top = find_window(top->parent);
  RECT r = window_rect_in_top(*w);
  return offset(r, top->rect.left, top->rect.top);
}

RECT GetClientRect(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return {};
  RECT c = client_area(*w);
  return {0, 0, c.width(), c.height()};
}

POINT ClientToScreen(HWND hwnd, POINT p) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return p;
  Window* top = w;
  while (top->parent) top = find_window(top->parent);
  POINT o = client_origin_in_top(*w);
  return {p.x + o.x + top->rect.left, p.y + o.y + top->rect.top};
}

POINT ScreenToClient(HWND hwnd, POINT p) {
  POINT zero = ClientToScreen(hwnd, POINT{0, 0});
  return {p.x - zero.x, p.y - zero.y};
}

bool SetProp(HWND hwnd, const std::string& name, uintptr_t value) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return false;
  w->props[upper(name)] = value;
  return true;
}

uintptr_t GetProp(HWND hwnd, const std::string& name) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return 0;
  auto it = w->props.find(upper(name));
  return it == w->props.end() ? 0 : it->second;
}

uintptr_t RemoveProp(HWND hwnd, const std::string& name) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return 0;
  auto it = w->props.find(upper(name));
  if (it == w->props.end()) return 0;
  uintptr_t v = it->second;
  w->props.erase(it);
  return v;
}

intptr_t GetWindowLongPtr(HWND hwnd, int index) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<intptr_t>(w->proc);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return w->style;
    case GWL_EXSTYLE: return w->ex_style;
    case GWLP_USERDATA: return w->user_data;
    default: return 0;
  }
}

intptr_t SetWindowLongPtr(HWND hwnd, int index, intptr_t value) {
  intptr_t old = 0;
  bool restyle = false;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return 0;
    switch (index) {
      case GWLP_WNDPROC:
        old = reinterpret_cast<intptr_t>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
      case GWLP_ID: old = std::exchange(w->id, value); break;
      case GWL_STYLE:
        old = w->style;
        w->style = static_cast<uint32_t>(value);
        restyle = true;
        break;
      case GWL_EXSTYLE:
        old = w->ex_style;
        w->ex_style = static_cast<uint32_t>(value);
        restyle = true;
        break;
      case GWLP_USERDATA: old = std::exchange(w->user_data, value); break;
      default: break;
    }
  }
  if (restyle) dirty_top(hwnd);
  return old;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return proc ? proc(hwnd, msg, wp, lp) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  WindowLock lock = lock_windows();
  Window* p = find_window(parent);
  if (!p) return nullptr;
  // Depth first, so that controls inside group boxes and tabs are found.
  std::vector<HWND> stack(p->children.rbegin(), p->children.rend());
  while (!stack.empty()) {
    Window* w = find_window(stack.back());
    stack.pop_back();
    if (!w) continue;
    if (w->id == id) return w->handle;
    stack.insert(stack.end(), w->children.rbegin(), w->children.rend());
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) { return static_cast<int>(GetWindowLongPtr(hwnd, GWLP_ID)); }

bool query_end_session() {
  bool agreed = true;
  std::vector<HWND> tops = GetTopLevelWindows();
  for (HWND t : tops)
    if (IsWindow(t) && !SendMessage(t, WM_QUERYENDSESSION, 0, 0)) {
      agreed = false;
      break;
    }
  for (HWND t : tops)
    if (IsWindow(t)) SendMessage(t, WM_ENDSESSION, agreed, 0);
  return agreed;
}

HFONT GetWindowFont(HWND hwnd) {
  WindowLock lock = lock_windows();
  for (Window* w = find_window(hwnd); w; w = w->parent ? find_window(w->parent) : nullptr)
    if (w->font) return w->font;
  return GetStockObject(DEFAULT_GUI_FONT);
}

}  // namespace vrt::platform
