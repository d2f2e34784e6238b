// Window classes and windows: creation and destruction, the tree of parents
// and children in z-order, owners, styles, text, rectangles, properties and
// subclassing.
#pragma once
#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HBRUSH hbrBackground = nullptr;  // null: the window erases nothing itself
  HCURSOR hCursor = nullptr;
  HICON hIcon = nullptr;
  std::string lpszClassName;
};

// Registering a name again replaces the class for windows created later.
bool RegisterClass(const WNDCLASS& wc);
bool GetClassInfo(const std::string& name, WNDCLASS* out);
std::string GetClassName(HWND hwnd);

// x and y are in the parent's client coordinates for a child, on the
// screen otherwise; CW_USEDEFAULT places and sizes a window. For a child,
// `menu` is its control identifier.
HWND CreateWindowEx(uint32_t ex_style, const std::string& class_name, const std::string& title, uint32_t style,
                    int32_t x, int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu,
                    void* param = nullptr);
inline HWND CreateWindow(const std::string& cls, const std::string& title, uint32_t style, int32_t x, int32_t y,
                         int32_t w, int32_t h, HWND parent, HMENU menu, void* param = nullptr) {
  return CreateWindowEx(0, cls, title, style, x, y, w, h, parent, menu, param);
}
// From any thread; a window of another thread is destroyed by its own.
bool DestroyWindow(HWND hwnd);

bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);  // it and every parent
bool IsWindowEnabled(HWND hwnd);
bool IsChild(HWND parent, HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);

HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND parent);
HWND GetWindow(HWND hwnd, UINT relation);
// The top-level window that holds hwnd.
HWND GetTopLevel(HWND hwnd);
// Children front to back.
std::vector<HWND> GetChildren(HWND hwnd);
// Top-level windows front to back.
std::vector<HWND> GetTopLevelWindows();
std::thread::id GetWindowThread(HWND hwnd);

bool ShowWindow(HWND hwnd, int command);
bool EnableWindow(HWND hwnd, bool enable);
bool SetWindowText(HWND hwnd, const std::string& text);
std::string GetWindowText(HWND hwnd);
// The text as the window manager keeps it, without asking the window's
// thread (for the display, which must never wait on a window).
std::string window_text_now(HWND hwnd);

// Screen coordinates.
RECT GetWindowRect(HWND hwnd);
// The client area: (0, 0) to its size.
RECT GetClientRect(HWND hwnd);
bool MoveWindow(HWND hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint = true);
bool SetWindowPos(HWND hwnd, HWND insert_after, int32_t x, int32_t y, int32_t cx, int32_t cy, UINT flags);
bool BringWindowToTop(HWND hwnd);
POINT ClientToScreen(HWND hwnd, POINT p);
POINT ScreenToClient(HWND hwnd, POINT p);

bool SetProp(HWND hwnd, const std::string& name, uintptr_t value);
uintptr_t GetProp(HWND hwnd, const std::string& name);
uintptr_t RemoveProp(HWND hwnd, const std::string& name);

intptr_t GetWindowLongPtr(HWND hwnd, int index);
// GWLP_WNDPROC replaces the procedure (subclassing) and returns the old one.
intptr_t SetWindowLongPtr(HWND hwnd, int index, intptr_t value);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);

// The end of the session: every top-level window is asked
// (WM_QUERYENDSESSION) and any may refuse; then each hears WM_ENDSESSION
// with the outcome. True when all agreed.
bool query_end_session();

// The font a window draws with (WM_SETFONT keeps it for every window).
HFONT GetWindowFont(HWND hwnd);

}  // namespace vrt::platform
