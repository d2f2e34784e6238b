// The window manager's own records. Everything here is guarded by the one
// window lock: take it with WindowLock, never call a window procedure while
// holding it.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "runtime/platform/gui/window_api.h"

namespace vrt::platform {

struct ScrollInfo {
  int32_t min = 0, max = 100, page = 0, pos = 0;
};

struct Window {
  HWND handle = nullptr;
  WNDCLASS cls;
  WNDPROC proc = nullptr;
  uint32_t style = 0, ex_style = 0;
  std::string text;
  intptr_t id = 0;
  HWND parent = nullptr, owner = nullptr;
  std::vector<HWND> children;  // front first
  RECT rect;                   // the parent's client coordinates; the screen for a top-level window
  std::map<std::string, uintptr_t> props;
  intptr_t user_data = 0;
  std::thread::id thread;
  HMENU menu = nullptr;  // a top-level window's menu bar
  HFONT font = nullptr;
  HCURSOR cursor = nullptr;
  HICON icon = nullptr;  // shown at the left of the caption
  // Painting: the part of the client area to repaint, and whether the
  // frame needs drawing.
  RECT update;
  bool erase = false;
  bool frame_dirty = false;
  uint32_t paints_begun = 0;  // BeginPaint calls, so a dispatch can tell one happened
  bool destroying = false;
  bool maximized = false, minimized = false;
  bool frame_active = false;  // the caption shows the window as active
  RECT restore_rect;
  ScrollInfo vscroll, hscroll;
};

using WindowLock = std::unique_lock<std::recursive_mutex>;
WindowLock lock_windows();

// The window of a handle, or null; the lock must be held.
Window* find_window(HWND hwnd);
// Every window, for walks; the lock must be held.
const std::unordered_map<uintptr_t, std::unique_ptr<Window>>& all_windows();
std::vector<HWND>& top_level_order();  // front first

// Sizes of the frame parts of a window, device pixels.
struct FrameMetrics {
  int32_t border, caption, menu_bar, vscroll, hscroll;
};
FrameMetrics frame_metrics(const Window& w);
// The client area inside the window rectangle, in the window's own
// coordinates (0, 0 is the window's top left corner).
RECT client_area(const Window& w);
// Window rectangle and client origin in the coordinates of the top-level
// window's image.
RECT window_rect_in_top(const Window& w);
POINT client_origin_in_top(const Window& w);

// The list a window sits in: its parent's children, or the top-level
// windows. The lock must be held.
std::vector<HWND>& sibling_list(Window& w);
// The whole area of a top-level window needs drawing again after anything
// in it moves, appears or goes away.
void dirty_top(HWND hwnd);

// Destroys the windows of a thread that ends (its queue goes with it).
void destroy_thread_windows(std::thread::id thread);

// Sends without the lock held.
LRESULT send_to(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace vrt::platform
