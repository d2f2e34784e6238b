// What the controls share: their state kept with the window, notifying the
// parent, the focus ring and the colours of the look.
#pragma once
#include <algorithm>
#include <string>
#include <utility>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::platform {

// A control's state object lives in GWLP_USERDATA from WM_NCCREATE to
// WM_NCDESTROY.
template <typename State>
State* state_of(HWND hwnd) {
  return reinterpret_cast<State*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
}

template <typename State>
State* attach_state(HWND hwnd) {
  auto* s = new State();
  SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(s));
  return s;
}

template <typename State>
void detach_state(HWND hwnd) {
  delete state_of<State>(hwnd);
  SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
}

inline void notify_parent(HWND hwnd, UINT code) {
  HWND parent = GetParent(hwnd);
  if (parent) SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(GetDlgCtrlID(hwnd)), code),
                          reinterpret_cast<LPARAM>(hwnd));
}

// A rounded ring in the accent colour around a focused control.
void draw_focus_ring(HDC dc, const RECT& r);
// A flat raised surface (buttons): face, thin border, optional accent.
void draw_surface(HDC dc, const RECT& r, bool pressed, bool accent, bool enabled);
// Sets the text colour and returns the background brush the control's
// parent asks for through WM_CTLCOLOR*, or the system's colours.
HBRUSH control_colors(HWND hwnd, HDC dc, UINT ctlcolor, int text_fallback, int back_fallback);

}  // namespace vrt::platform
