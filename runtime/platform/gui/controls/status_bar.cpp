// The status bar: segments along the bottom of a window, each with a text.
// It places itself along its parent's bottom edge whenever the parent's
// size changes (the parent sends it WM_SIZE).
#include <cstring>
#include <vector>

#include "runtime/platform/gui/controls/control_support.h"

namespace vrt::platform {

namespace {

struct StatusState {
  std::vector<int32_t> edges{-1};
  std::vector<std::string> texts{""};
};

void place(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  RECT pr = GetClientRect(parent);
  int h = scaled(22);
  MoveWindow(hwnd, 0, pr.bottom - h, pr.right, h);
}

LRESULT status_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<StatusState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<StatusState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<StatusState>(hwnd); return 0;
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
      s->texts[0] = cs && cs->lpszName ? cs->lpszName : "";
      place(hwnd);
      return 0;
    }
    case WM_SIZE:
      // Sent by the parent when it resizes: follow its bottom edge.
      if (lp == 0 && wp == 0) place(hwnd);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r = GetClientRect(hwnd);
      FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
      FillRect(dc, {r.left, r.top, r.right, r.top + 1}, GetSysColorBrush(COLOR_INACTIVEBORDER));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      int left = r.left;
      for (size_t i = 0; i < s->edges.size(); ++i) {
        int right = s->edges[i] < 0 ? r.right : std::min<int>(s->edges[i], r.right);
        RECT seg{left + scaled(8), r.top + 1, right - scaled(6), r.bottom};
        DrawText(dc, s->texts[i], &seg, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (i + 1 < s->edges.size())
          FillRect(dc, {right, r.top + scaled(5), right + 1, r.bottom - scaled(4)}, GetSysColorBrush(COLOR_INACTIVEBORDER));
        left = right;
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case SB_SETPARTS: {
      const auto* edges = reinterpret_cast<const int32_t*>(lp);
      size_t n = std::min<size_t>(wp, 256);
      if (!edges || n == 0) return 0;
      s->edges.assign(edges, edges + n);
      s->texts.resize(n);
      InvalidateRect(hwnd, nullptr, false);
      return 1;
    }
    case SB_GETPARTS: return static_cast<LRESULT>(s->edges.size());
    case SB_SETTEXT: {
      size_t part = wp & 0xFF;
      if (part >= s->texts.size()) return 0;
      s->texts[part] = lp ? reinterpret_cast<const char*>(lp) : "";
      InvalidateRect(hwnd, nullptr, false);
      return 1;
    }
    case SB_GETTEXT: {
      size_t part = wp & 0xFF;
      if (part >= s->texts.size()) return 0;
      if (lp) std::strcpy(reinterpret_cast<char*>(lp), s->texts[part].c_str());
      return static_cast<LRESULT>(s->texts[part].size());
    }
    case WM_SETTEXT:
      s->texts[0] = lp ? reinterpret_cast<const char*>(lp) : "";
      InvalidateRect(hwnd, nullptr, false);
      return DefWindowProc(hwnd, msg, wp, lp);
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC status_window_proc() { return status_proc; }

}  // namespace vrt::platform
