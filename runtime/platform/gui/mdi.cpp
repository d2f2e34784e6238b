#include "runtime/platform/gui/mdi.h"

#include <algorithm>
#include <mutex>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::platform {

namespace {

constexpr const char* kActiveProp = "vrt.mdi.active";

HWND active_child(HWND client) { return reinterpret_cast<HWND>(GetProp(client, kActiveProp)); }

bool is_mdi_child(HWND hwnd) { return (GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0; }

std::vector<HWND> mdi_children(HWND client) {
  std::vector<HWND> out;
  for (HWND c : GetChildren(client))
    if (is_mdi_child(c)) out.push_back(c);
  return out;
}

void activate(HWND client, HWND child) {
  HWND old = active_child(client);
  if (old == child) {
    if (child) BringWindowToTop(child);
    return;
  }
  if (child && !IsWindow(child)) return;
  // A maximised child hands its state to the one that takes over.
  bool maximized = old && IsWindow(old) && IsZoomed(old);
  SetProp(client, kActiveProp, reinterpret_cast<uintptr_t>(child));
  if (old && IsWindow(old)) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    SendMessage(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  }
  if (!child) return;
  BringWindowToTop(child);
  if (maximized && !IsZoomed(child)) {
    ShowWindow(old, SW_RESTORE);
    ShowWindow(child, SW_SHOWMAXIMIZED);
  }
  SendMessage(child, WM_NCACTIVATE, 1, 0);
  SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  HWND focus = GetFocus();
  if (!focus || (focus != child && !IsChild(child, focus))) SetFocus(child);
}

void cascade(HWND client) {
  int step = GetSystemMetrics(SM_CYCAPTION);
  RECT c = GetClientRect(client);
  auto children = mdi_children(client);
  int i = 0;
  for (auto it = children.rbegin(); it != children.rend(); ++it, ++i) {
    if (IsIconic(*it)) continue;
    if (IsZoomed(*it)) ShowWindow(*it, SW_RESTORE);
    MoveWindow(*it, i * step, i * step, c.right * 3 / 4, c.bottom * 3 / 4);
  }
}

void tile(HWND client) {
  auto children = mdi_children(client);
  if (children.empty()) return;
  RECT c = GetClientRect(client);
  int n = static_cast<int>(children.size());
  int rows = 1;
  while (rows * rows < n) ++rows;
  int cols = (n + rows - 1) / rows;
  for (int i = 0; i < n; ++i) {
    if (IsZoomed(children[static_cast<size_t>(i)])) ShowWindow(children[static_cast<size_t>(i)], SW_RESTORE);
    int r = i / cols, col = i % cols;
    MoveWindow(children[static_cast<size_t>(i)], c.right * col / cols, c.bottom * r / rows, c.right / cols,
               c.bottom / rows);
  }
}

LRESULT client_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MDICREATE: {
      const auto* cs = reinterpret_cast<const MDICREATESTRUCT*>(lp);
      if (!cs) return 0;
      return reinterpret_cast<LRESULT>(CreateWindowEx(WS_EX_MDICHILD, cs->szClass, cs->szTitle,
                                                      cs->style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, cs->x,
                                                      cs->y, cs->cx, cs->cy, hwnd, nullptr,
                                                      reinterpret_cast<void*>(cs->lParam)));
    }
    case WM_MDIACTIVATE: activate(hwnd, reinterpret_cast<HWND>(wp)); return 0;
    case WM_MDIGETACTIVE: {
      HWND a = active_child(hwnd);
      if (lp) *reinterpret_cast<int*>(lp) = a && IsZoomed(a);
      return reinterpret_cast<LRESULT>(a);
    }
    case WM_MDIMAXIMIZE: ShowWindow(reinterpret_cast<HWND>(wp), SW_SHOWMAXIMIZED); return 0;
    case WM_MDIRESTORE: ShowWindow(reinterpret_cast<HWND>(wp), SW_RESTORE); return 0;
    case WM_MDIDESTROY: DestroyWindow(reinterpret_cast<HWND>(wp)); return 0;
    case WM_MDICASCADE: cascade(hwnd); return 1;
    case WM_MDITILE: tile(hwnd); return 1;
    case WM_MDINEXT: {
      auto children = mdi_children(hwnd);
      if (children.size() < 2) return 0;
      // The next one is the bottom of the z-order, the previous one second.
      activate(hwnd, lp ? children[1] : children.back());
      return 0;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(wp) == WM_DESTROY) {
        HWND gone = reinterpret_cast<HWND>(lp);
        if (active_child(hwnd) == gone) {
          SetProp(hwnd, kActiveProp, 0);
          for (HWND c : mdi_children(hwnd))
            if (c != gone && IsWindowVisible(c)) {
              activate(hwnd, c);
              break;
            }
        }
      }
      return 0;
    case WM_SIZE:
      for (HWND c : mdi_children(hwnd))
        if (IsZoomed(c)) {
          RECT r = GetClientRect(hwnd);
          MoveWindow(c, 0, 0, r.right, r.bottom);
        }
      return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

void register_mdi_client_class() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wc;
    wc.lpszClassName = kMdiClientClass;
    wc.lpfnWndProc = client_proc;
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    RegisterClass(wc);
  });
}

HWND mdi_client_of(HWND child) {
  if (!is_mdi_child(child)) return nullptr;
  return GetParent(child);
}

void mdi_focus_moved(HWND focus) {
  for (HWND h = focus; h; h = (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr) {
    if (!is_mdi_child(h)) continue;
    HWND client = GetParent(h);
    if (active_child(client) != h) SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
    return;
  }
}

bool TranslateMDISysAccel(HWND client, const MSG& msg) {
  if (!client || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  if (!GetKeyState(VK_CONTROL) || GetKeyState(VK_MENU)) return false;
  WPARAM command = 0;
  if (msg.wParam == VK_F4) command = SC_CLOSE;
  else if (msg.wParam == VK_F6 || msg.wParam == VK_TAB) command = GetKeyState(VK_SHIFT) ? SC_PREVWINDOW : SC_NEXTWINDOW;
  HWND active = command ? active_child(client) : nullptr;
  if (!active) return false;
  SendMessage(active, WM_SYSCOMMAND, command, 0);
  return true;
}

LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (client) {
        RECT r = GetClientRect(frame);
        // Tool and status bars take their share through the frame's own
        // WM_SIZE; a frame that does not place the client gives it all.
        RECT cr = GetWindowRect(client);
        if (cr.width() == 0 || cr.height() == 0) MoveWindow(client, 0, 0, r.right, r.bottom);
      }
      return 0;
    case WM_SETFOCUS:
      if (client) {
        HWND a = active_child(client);
        SetFocus(a && IsWindow(a) ? a : client);
      }
      return 0;
    case WM_COMMAND:
      // Commands of the window menu go to the active child.
      if (client) {
        HWND a = active_child(client);
        if (a && HIWORD(wp) == 0 && LOWORD(wp) >= 0xF000) return SendMessage(a, WM_SYSCOMMAND, wp, lp);
      }
      return 0;
    default: return DefWindowProc(frame, msg, wp, lp);
  }
}

LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HWND client = GetParent(hwnd);
  switch (msg) {
    case WM_CREATE: return 0;
    case WM_SHOWWINDOW:
      if (wp) PostMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_MOUSEACTIVATE:
      SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
      return 1;
    case WM_SETFOCUS:
      if (active_child(client) != hwnd) SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_NCACTIVATE: return DefWindowProc(hwnd, msg, wp, lp);
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_NEXTWINDOW: SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hwnd), 0); return 0;
        case SC_PREVWINDOW: SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hwnd), 1); return 0;
        case SC_MAXIMIZE:
          ShowWindow(hwnd, SW_SHOWMAXIMIZED);
          SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
          return 0;
        default: return DefWindowProc(hwnd, msg, wp, lp);
      }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      RECT r = GetClientRect(client);
      info->ptMaxSize = {r.right, r.bottom};
      info->ptMaxPosition = {0, 0};
      return 0;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace vrt::platform
