// Tool tips: a small window near the mouse with the text of the tool under
// it, shown after the mouse has rested there a moment. The tool's window
// forwards its mouse moves (relay_tool_tip_event).
#include <vector>

#include "runtime/platform/gui/controls/control_support.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::platform {

namespace {

constexpr uintptr_t kShowTimer = 1;
constexpr UINT kShowDelay = 500;

struct TipState {
  std::vector<TOOLINFO> tools;
  const TOOLINFO* current = nullptr;
  POINT where;
};

const TOOLINFO* tool_at(TipState* s, HWND hwnd, POINT client) {
  for (const TOOLINFO& t : s->tools)
    if (t.hwnd == hwnd && (t.rect.empty() || t.rect.contains(client))) return &t;
  return nullptr;
}

void show(HWND tip, TipState* s) {
  if (!s->current) return;
  SetWindowText(tip, s->current->text);
  HDC dc = GetDC(tip);
  SIZE size = GetTextExtentPoint32(dc, s->current->text);
  ReleaseDC(tip, dc);
  POINT at = ClientToScreen(s->current->hwnd, s->where);
  SetWindowPos(tip, HWND_TOP, at.x + scaled(2), at.y + scaled(20), size.cx + scaled(12), size.cy + scaled(8),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  RedrawWindow(tip);
}

LRESULT tip_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<TipState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<TipState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<TipState>(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r = GetClientRect(hwnd);
      FillRect(dc, r, GetSysColorBrush(COLOR_INFOBK));
      FrameRect(dc, r, GetSysColorBrush(COLOR_BTNSHADOW));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      DrawText(dc, GetWindowText(hwnd), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case TTM_ADDTOOL: {
      const auto* t = reinterpret_cast<const TOOLINFO*>(lp);
      if (!t) return 0;
      s->current = nullptr;
      s->tools.push_back(*t);
      return 1;
    }
    case TTM_DELTOOL: {
      const auto* t = reinterpret_cast<const TOOLINFO*>(lp);
      s->current = nullptr;
      std::erase_if(s->tools, [&](const TOOLINFO& x) { return t && x.hwnd == t->hwnd && x.uId == t->uId; });
      return 0;
    }
    case TTM_POP:
      KillTimer(hwnd, kShowTimer);
      s->current = nullptr;
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_TIMER:
      KillTimer(hwnd, kShowTimer);
      show(hwnd, s);
      return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

void relay_tool_tip_event(HWND tip, HWND from, POINT client) {
  auto* s = state_of<TipState>(tip);
  if (!s) return;
  const TOOLINFO* t = tool_at(s, from, client);
  if (t == s->current) return;
  s->current = t;
  s->where = client;
  ShowWindow(tip, SW_HIDE);
  if (t) SetTimer(tip, kShowTimer, kShowDelay);
}

WNDPROC tooltip_window_proc() { return tip_proc; }

}  // namespace vrt::platform
