// The toolbar: a row of icon buttons along the top of its parent, each with
// a command and a tool tip; a click sends WM_COMMAND to the parent.
#include <vector>

#include "runtime/platform/gui/controls/control_support.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::platform {

namespace {

struct ToolbarState {
  std::vector<TBBUTTON> buttons;
  int hot = -1, pressed = -1;
  HWND tip = nullptr;
};

int button_size() { return scaled(28); }
int bar_height() { return button_size() + scaled(8); }

RECT button_rect(const ToolbarState* s, size_t i) {
  int x = scaled(4);
  for (size_t k = 0; k < i; ++k) x += s->buttons[k].idCommand ? button_size() + scaled(2) : scaled(10);
  int w = s->buttons[i].idCommand ? button_size() : scaled(10);
  return {x, scaled(4), x + w, scaled(4) + button_size()};
}

int button_at(const ToolbarState* s, POINT p) {
  for (size_t i = 0; i < s->buttons.size(); ++i)
    if (s->buttons[i].idCommand && button_rect(s, i).contains(p)) return static_cast<int>(i);
  return -1;
}

int find_command(const ToolbarState* s, int id) {
  for (size_t i = 0; i < s->buttons.size(); ++i)
    if (s->buttons[i].idCommand == id) return static_cast<int>(i);
  return -1;
}

void place(HWND hwnd) {
  RECT pr = GetClientRect(GetParent(hwnd));
  MoveWindow(hwnd, 0, 0, pr.right, bar_height());
}

void paint(HWND hwnd, ToolbarState* s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r = GetClientRect(hwnd);
  FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
  FillRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, GetSysColorBrush(COLOR_INACTIVEBORDER));
  for (size_t i = 0; i < s->buttons.size(); ++i) {
    const TBBUTTON& b = s->buttons[i];
    RECT br = button_rect(s, i);
    if (!b.idCommand) {
      int x = (br.left + br.right) / 2;
      FillRect(dc, {x, br.top + scaled(4), x + 1, br.bottom - scaled(4)}, GetSysColorBrush(COLOR_INACTIVEBORDER));
      continue;
    }
    bool lit = static_cast<int>(i) == s->hot && b.enabled;
    if (lit || b.checked || static_cast<int>(i) == s->pressed) draw_surface(dc, br, static_cast<int>(i) == s->pressed || b.checked, false, true);
    int size = button_size() - scaled(8);
    if (b.icon) DrawIcon(dc, br.left + scaled(4), br.top + scaled(4), b.icon, size);
    if (!b.enabled) {
      // Disabled buttons are washed out rather than hidden.
      HBRUSH veil = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
      for (int y = br.top; y < br.bottom; y += 2) FillRect(dc, {br.left, y, br.right, y + 1}, veil);
      for (int x = br.left; x < br.right; x += 2) FillRect(dc, {x, br.top, x + 1, br.bottom}, veil);
      DeleteObject(veil);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT toolbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<ToolbarState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<ToolbarState>(hwnd); return 1;
    case WM_NCDESTROY:
      if (s->tip) DestroyWindow(s->tip);
      detach_state<ToolbarState>(hwnd);
      return 0;
    case WM_CREATE:
      place(hwnd);
      s->tip = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kToolTipClass, "", WS_POPUP, 0, 0, 10, 10,
                              GetTopLevel(hwnd), nullptr);
      return 0;
    case WM_SIZE:
      if (lp == 0 && wp == 0) place(hwnd);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint(hwnd, s); return 0;
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      int hot = button_at(s, p);
      if (hot != s->hot) {
        s->hot = hot;
        InvalidateRect(hwnd, nullptr, false);
      }
      if (s->tip) relay_tool_tip_event(s->tip, hwnd, p);
      return 0;
    }
    case WM_MOUSELEAVE:
      if (s->hot >= 0) {
        s->hot = -1;
        InvalidateRect(hwnd, nullptr, false);
      }
      if (s->tip) SendMessage(s->tip, TTM_POP, 0, 0);
      return 0;
    case WM_LBUTTONDOWN: {
      int i = button_at(s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      if (i < 0 || !s->buttons[static_cast<size_t>(i)].enabled) return 0;
      if (s->tip) SendMessage(s->tip, TTM_POP, 0, 0);
      s->pressed = i;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (s->pressed < 0) return 0;
      int i = button_at(s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      int pressed = std::exchange(s->pressed, -1);
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, false);
      if (i == pressed) PostMessage(GetParent(hwnd), WM_COMMAND, static_cast<WPARAM>(s->buttons[static_cast<size_t>(i)].idCommand), reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    case TB_ADDBUTTONS: {
      const auto* b = reinterpret_cast<const TBBUTTON*>(lp);
      for (WPARAM i = 0; b && i < wp; ++i) {
        s->buttons.push_back(b[i]);
        if (b[i].idCommand && s->tip) {
          TOOLINFO t;
          t.hwnd = hwnd;
          t.uId = static_cast<uintptr_t>(b[i].idCommand);
          t.rect = button_rect(s, s->buttons.size() - 1);
          t.text = b[i].tip;
          SendMessage(s->tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&t));
        }
      }
      InvalidateRect(hwnd, nullptr, false);
      return 1;
    }
    case TB_ENABLEBUTTON:
    case TB_CHECKBUTTON: {
      int i = find_command(s, static_cast<int>(wp));
      if (i < 0) return 0;
      TBBUTTON& b = s->buttons[static_cast<size_t>(i)];
      (msg == TB_ENABLEBUTTON ? b.enabled : b.checked) = LOWORD(static_cast<uintptr_t>(lp)) != 0;
      InvalidateRect(hwnd, nullptr, false);
      return 1;
    }
    case TB_ISBUTTONENABLED: {
      int i = find_command(s, static_cast<int>(wp));
      return i >= 0 && s->buttons[static_cast<size_t>(i)].enabled;
    }
    case TB_SETBUTTONTIP: {
      int i = find_command(s, static_cast<int>(wp));
      if (i < 0 || !lp) return 0;
      TBBUTTON& b = s->buttons[static_cast<size_t>(i)];
      b.tip = *reinterpret_cast<const std::string*>(lp);
      if (s->tip) {
        // The tip window keeps its own copy of each tool's text.
        TOOLINFO t;
        t.hwnd = hwnd;
        t.uId = static_cast<uintptr_t>(b.idCommand);
        t.rect = button_rect(s, static_cast<size_t>(i));
        SendMessage(s->tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&t));
        t.text = b.tip;
        SendMessage(s->tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&t));
      }
      return 1;
    }
    case TB_GETBUTTONTIP: {
      int i = find_command(s, static_cast<int>(wp));
      if (i < 0 || !lp) return 0;
      *reinterpret_cast<std::string*>(lp) = s->buttons[static_cast<size_t>(i)].tip;
      return 1;
    }
    case TB_BUTTONCOUNT: return static_cast<LRESULT>(s->buttons.size());
    case WM_COMMAND:
      // The controls in the bar (prompts, spin boxes) report to its window.
      if (lp && reinterpret_cast<HWND>(lp) != hwnd) return SendMessage(GetParent(hwnd), msg, wp, lp);
      return 0;
    case TB_COMMANDTOINDEX: return find_command(s, static_cast<int>(wp));
    case TB_GETITEMRECT: {
      if (wp >= s->buttons.size() || !lp) return 0;
      *reinterpret_cast<RECT*>(lp) = button_rect(s, wp);
      return 1;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC toolbar_window_proc() { return toolbar_proc; }

}  // namespace vrt::platform
