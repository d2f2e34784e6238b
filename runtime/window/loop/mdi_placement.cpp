#include "runtime/window/loop/mdi_placement.h"

#include <atomic>

#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kOrig = "OrigCallback";
constexpr const char* kLeft = "RestoreLeft";
constexpr const char* kTop = "RestoreTop";
constexpr const char* kRight = "RestoreRight";
constexpr const char* kBottom = "RestoreBottom";
constexpr const char* kClient = "ClientHwnd";
constexpr const char* kComeBackMaximised = "ZorRestoreMaximised";
constexpr const char* kPlacing = "ZorPlacing";

std::atomic<bool> g_grow{false};

void put(HWND h, const char* name, int32_t v) { SetProp(h, name, static_cast<uintptr_t>(static_cast<uint32_t>(v))); }
int32_t get(HWND h, const char* name) { return static_cast<int32_t>(static_cast<uint32_t>(GetProp(h, name))); }

bool takes_part(HWND child) {
  return (GetWindowLongPtr(child, GWL_STYLE) & WS_MAXIMIZEBOX) != 0;
}

void remember_rectangle(HWND child) {
  if (IsIconic(child) || IsZoomed(child) || GetProp(child, kPlacing)) return;
  RECT r = GetWindowRect(child);
  HWND parent = GetParent(child);
  POINT tl = parent ? ScreenToClient(parent, {r.left, r.top}) : POINT{r.left, r.top};
  put(child, kLeft, tl.x);
  put(child, kTop, tl.y);
  put(child, kRight, tl.x + (r.right - r.left));
  put(child, kBottom, tl.y + (r.bottom - r.top));
}

void grow_children(HWND client) {
  RECT r = GetClientRect(client);
  int dw = r.right - get(client, kLeft), dh = r.bottom - get(client, kTop);
  put(client, kLeft, r.right);
  put(client, kTop, r.bottom);
  if (!g_grow || (dw == 0 && dh == 0)) return;
  for (HWND child : GetChildren(reinterpret_cast<HWND>(GetProp(client, kClient)))) {
    if (!takes_part(child) || IsIconic(child)) continue;
    RECT c = GetWindowRect(child);
    SetWindowPos(child, nullptr, 0, 0, (c.right - c.left) + dw, (c.bottom - c.top) + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT placement_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  auto original = reinterpret_cast<WNDPROC>(GetProp(h, kOrig));
  switch (m) {
    case WM_WINDOWPOSCHANGED:
      if (GetProp(h, kClient)) grow_children(h);
      else remember_rectangle(h);
      break;
    case WM_SIZE:
      if (wp == SIZE_RESTORED && GetProp(h, kComeBackMaximised)) {
        RemoveProp(h, kComeBackMaximised);
        ShowWindow(h, SW_SHOWMAXIMIZED);
      }
      break;
    case WM_DESTROY:
      SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<intptr_t>(original));
      for (const char* p : {kOrig, kLeft, kTop, kRight, kBottom, kClient, kComeBackMaximised}) RemoveProp(h, p);
      break;
  }
  return original ? CallWindowProc(original, h, m, wp, lp) : DefWindowProc(h, m, wp, lp);
}

void subclass(HWND h) {
  if (GetProp(h, kOrig)) return;
  intptr_t old = SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<intptr_t>(&placement_proc));
  SetProp(h, kOrig, static_cast<uintptr_t>(old));
}

}  // namespace

void subclass_mdi_client(HWND client) {
  subclass(client);
  SetProp(client, kClient, reinterpret_cast<uintptr_t>(client));
  RECT r = GetClientRect(client);
  put(client, kLeft, r.right);
  put(client, kTop, r.bottom);
}

void subclass_mdi_child(HWND child) {
  subclass(child);
  remember_rectangle(child);
}

void set_grow_with_frame(bool on) { g_grow = on; }

void restore_all_children(HWND client, HWND except) {
  for (HWND child : GetChildren(client)) {
    if (child == except || !takes_part(child) || !GetProp(child, kOrig)) continue;
    int32_t l = get(child, kLeft), t = get(child, kTop), r = get(child, kRight), b = get(child, kBottom);
    ShowWindow(child, SW_RESTORE);
    if (r > l && b > t) MoveWindow(child, l, t, r - l, b - t);
  }
}

void maximise_all_children(HWND client, HWND except) {
  for (HWND child : GetChildren(client)) {
    if (child == except || !takes_part(child)) continue;
    if (IsIconic(child)) {
      SetProp(child, kComeBackMaximised, 1);
      continue;
    }
    MINMAXINFO info{};
    RECT area = GetClientRect(client);
    info.ptMaxSize = {area.right, area.bottom};
    SendMessage(child, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // The remembered rectangle stays as it was: the child is not normal now.
    SetProp(child, kPlacing, 1);
    MoveWindow(child, info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxSize.x, info.ptMaxSize.y, false);
    RemoveProp(child, kPlacing);
    InvalidateRect(child, nullptr, true);
  }
}

}  // namespace vrt::window
