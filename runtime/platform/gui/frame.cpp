#include "runtime/platform/gui/frame.h"

#include <cstring>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

struct FrameLayout {
  RECT window;  // the window's own coordinates
  RECT caption, close, maximize, minimize, menu_bar, vscroll, hscroll, grip;
  uint32_t style = 0;
  std::string title;
  HMENU menu = nullptr;
  HICON icon = nullptr;
  ScrollInfo v, h;
  bool maximized = false, minimized = false, enabled = true, child = false;
};

FrameLayout layout(const Window& w) {
  FrameLayout f;
  FrameMetrics m = frame_metrics(w);
  int width = w.rect.width(), height = w.rect.height();
  f.window = {0, 0, width, height};
  f.style = w.style;
  f.title = w.text;
  f.menu = (w.style & WS_CHILD) ? nullptr : w.menu;
  f.icon = w.icon;
  f.v = w.vscroll;
  f.h = w.hscroll;
  f.maximized = w.maximized;
  f.minimized = w.minimized;
  f.enabled = !(w.style & WS_DISABLED);
  f.child = w.style & WS_CHILD;
  int b = m.border;
  if (m.caption) {
    f.caption = {b, b, width - b, b + m.caption};
    int size = m.caption;
    int x = f.caption.right;
    if (w.style & WS_SYSMENU) {
      f.close = {x - size - scaled(4), f.caption.top, x, f.caption.bottom};
      x = f.close.left;
    }
    if (w.style & WS_MAXIMIZEBOX) {
      f.maximize = {x - size, f.caption.top, x, f.caption.bottom};
      x = f.maximize.left;
    }
    if (w.style & WS_MINIMIZEBOX) f.minimize = {x - size, f.caption.top, x, f.caption.bottom};
  }
  if (m.menu_bar) f.menu_bar = {b, b + m.caption, width - b, b + m.caption + m.menu_bar};
  RECT c = client_area(w);
  if (m.vscroll) f.vscroll = {c.right, c.top, c.right + m.vscroll, c.bottom};
  if (m.hscroll) f.hscroll = {c.left, c.bottom, c.right, c.bottom + m.hscroll};
  if (m.vscroll && m.hscroll) f.grip = {c.right, c.bottom, c.right + m.vscroll, c.bottom + m.hscroll};
  else if ((w.style & WS_THICKFRAME) && !w.maximized)
    f.grip = {width - b - scaled(12), height - b - scaled(12), width - b, height - b};
  return f;
}

void draw_glyph(HDC dc, const RECT& r, char which, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, std::max(1, scaled(1)), color);
  HGDIOBJ old = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, s = scaled(5);
  switch (which) {
    case 'x':
      MoveToEx(dc, cx - s, cy - s);
      LineTo(dc, cx + s + 1, cy + s + 1);
      MoveToEx(dc, cx + s, cy - s);
      LineTo(dc, cx - s - 1, cy + s + 1);
      break;
    case 'M': Rectangle(dc, cx - s, cy - s, cx + s + 1, cy + s + 1); break;
    case 'R':
      Rectangle(dc, cx - s, cy - s + 2, cx + s - 1, cy + s + 1);
      MoveToEx(dc, cx - s + 2, cy - s);
      LineTo(dc, cx + s, cy - s);
      LineTo(dc, cx + s, cy + s - 2);
      break;
    case '_':
      MoveToEx(dc, cx - s, cy + 1);
      LineTo(dc, cx + s + 1, cy + 1);
      break;
  }
  SelectObject(dc, old);
  SelectObject(dc, old_brush);
  DeleteObject(pen);
}

}  // namespace

bool frame_active(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w && w->frame_active;
}

void set_frame_active(HWND hwnd, bool active) {
  WindowLock lock = lock_windows();
  if (Window* w = find_window(hwnd)) w->frame_active = active;
}

void draw_frame(HWND hwnd, bool active) {
  FrameLayout f;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return;
    f = layout(*w);
  }
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  if (f.style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME))
    FrameRect(dc, f.window, GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
  if (!f.caption.empty()) {
    COLORREF back = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF ink = GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, f.caption, brush);
    DeleteObject(brush);
    LOGFONT lf;
    lf.lfHeight = -scaled(12);
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    RECT text = f.caption;
    text.left += scaled(8);
    if (f.icon) {
      int size = f.caption.height() - scaled(6);
      DrawIcon(dc, text.left, f.caption.top + scaled(3), f.icon, size);
      text.left += size + scaled(6);
    }
    int right = f.close.empty() ? f.caption.right : f.close.left;
    if (!f.minimize.empty()) right = f.minimize.left;
    else if (!f.maximize.empty()) right = f.maximize.left;
    text.right = right - scaled(4);
    DrawText(dc, f.title, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(font);
    if (!f.close.empty()) draw_glyph(dc, f.close, 'x', ink);
    if (!f.maximize.empty()) draw_glyph(dc, f.maximize, f.maximized || f.minimized ? 'R' : 'M', ink);
    if (!f.minimize.empty()) draw_glyph(dc, f.minimize, f.minimized ? 'R' : '_', ink);
  }
  if (!f.menu_bar.empty() && f.menu) draw_menu_bar(dc, f.menu, f.menu_bar, -1);
  if (!f.vscroll.empty()) draw_scroll_bar(dc, f.vscroll, true, f.v.min, f.v.max, f.v.page, f.v.pos, f.enabled);
  if (!f.hscroll.empty()) draw_scroll_bar(dc, f.hscroll, false, f.h.min, f.h.max, f.h.page, f.h.pos, f.enabled);
  if (!f.grip.empty()) {
    FillRect(dc, f.grip, GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH dots = GetSysColorBrush(COLOR_BTNSHADOW);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j <= i; ++j) {
        int x = f.grip.right - scaled(3) - (i - j) * scaled(4), y = f.grip.bottom - scaled(3) - j * scaled(4);
        FillRect(dc, {x - scaled(2), y - scaled(2), x, y}, dots);
      }
  }
  ReleaseDC(hwnd, dc);
}

LRESULT frame_hit_test(HWND hwnd, POINT screen) {
  FrameLayout f;
  RECT client;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return HTNOWHERE;
    f = layout(*w);
    client = client_area(*w);
  }
  RECT wr = GetWindowRect(hwnd);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  if (!f.window.contains(p)) return HTNOWHERE;
  // The corner grip overlaps the client area of a window without scroll
  // bars, and takes precedence over it.
  if (f.grip.contains(p) && (f.style & WS_THICKFRAME)) return HTBOTTOMRIGHT;
  if (client.contains(p)) return HTCLIENT;
  if (f.close.contains(p)) return HTCLOSE;
  if (f.maximize.contains(p)) return HTMAXBUTTON;
  if (f.minimize.contains(p)) return HTMINBUTTON;
  if (f.caption.contains(p)) return HTCAPTION;
  if (f.menu_bar.contains(p)) return HTMENU;
  if (f.vscroll.contains(p)) return HTVSCROLL;
  if (f.hscroll.contains(p)) return HTHSCROLL;
  return HTBORDER;
}

}  // namespace vrt::platform
