// Push buttons, check boxes, radio buttons and group boxes.
#include <algorithm>
#include <vector>

#include "runtime/platform/gfx/icons.h"
#include "runtime/platform/gui/controls/control_support.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::platform {

namespace {

struct ButtonState {
  WPARAM check = BST_UNCHECKED;
  bool pressed = false;  // the mouse or space bar holds it down
  bool focused = false;
  HICON icon = nullptr;
};

uint32_t kind_of(HWND hwnd) { return static_cast<uint32_t>(GetWindowLongPtr(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool is_radio(uint32_t k) { return k == BS_RADIOBUTTON || k == BS_AUTORADIOBUTTON; }
bool is_check(uint32_t k) { return k == BS_CHECKBOX || k == BS_AUTOCHECKBOX || k == BS_3STATE || k == BS_AUTO3STATE; }

void paint(HWND hwnd) {
  auto* s = state_of<ButtonState>(hwnd);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r = GetClientRect(hwnd);
  uint32_t kind = kind_of(hwnd);
  bool enabled = IsWindowEnabled(hwnd);
  std::string text = GetWindowText(hwnd);
  SetBkMode(dc, TRANSPARENT);
  HBRUSH back = control_colors(hwnd, dc, WM_CTLCOLORBTN, enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT, COLOR_BTNFACE);
  COLORREF ink = dc->state().text_color;
  FillRect(dc, r, back);
  if (kind == BS_GROUPBOX) {
    TEXTMETRIC tm = GetTextMetrics(dc);
    int top = tm.tmHeight / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_INACTIVEBORDER));
    HGDIOBJ op = SelectObject(dc, pen);
    HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top + top, r.right, r.bottom, scaled(6), scaled(6));
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(pen);
    if (!text.empty()) {
      RECT tr{r.left + scaled(8), r.top, r.right - scaled(8), r.top + tm.tmHeight};
      RECT calc = tr;
      DrawText(dc, text, &calc, DT_CALCRECT | DT_SINGLELINE);
      FillRect(dc, {tr.left - scaled(3), tr.top, calc.right + scaled(3), tr.bottom}, back);
      SetTextColor(dc, ink);
      DrawText(dc, text, &tr, DT_LEFT | DT_SINGLELINE);
    }
    EndPaint(hwnd, &ps);
    return;
  }
  if (is_check(kind) || is_radio(kind)) {
    int box = std::min(scaled(14), r.height());
    int y = (r.height() - box) / 2;
    RECT b{r.left + scaled(1), y, r.left + scaled(1) + box, y + box};
    bool on = s->check == BST_CHECKED;
    HBRUSH fill = CreateSolidBrush(on && enabled ? kAccent : GetSysColor(COLOR_WINDOW));
    HPEN pen = CreatePen(PS_SOLID, 1, on && enabled ? kAccent : GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ ob = SelectObject(dc, fill);
    HGDIOBJ op = SelectObject(dc, pen);
    if (is_radio(kind))
      Ellipse(dc, b.left, b.top, b.right, b.bottom);
    else
      RoundRect(dc, b.left, b.top, b.right, b.bottom, scaled(4), scaled(4));
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(fill);
    DeleteObject(pen);
    if (on && is_radio(kind)) {
      int m = box / 3;
      HGDIOBJ o2 = SelectObject(dc, GetStockObject(WHITE_BRUSH));
      HGDIOBJ o3 = SelectObject(dc, GetStockObject(NULL_PEN));
      Ellipse(dc, b.left + m, b.top + m, b.right - m, b.bottom - m);
      SelectObject(dc, o2);
      SelectObject(dc, o3);
    } else if (on || s->check == BST_INDETERMINATE) {
      HPEN tick = CreatePen(PS_SOLID, std::max(2, scaled(2)), on ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNSHADOW));
      HGDIOBJ o = SelectObject(dc, tick);
      if (on) {
        POINT t[] = {{b.left + box / 5, b.top + box / 2}, {b.left + box * 2 / 5, b.top + box * 7 / 10},
                     {b.left + box * 4 / 5, b.top + box / 4}};
        Polyline(dc, t, 3);
      } else {
        MoveToEx(dc, b.left + box / 4, b.top + box / 2);
        LineTo(dc, b.right - box / 4, b.top + box / 2);
      }
      SelectObject(dc, o);
      DeleteObject(tick);
    }
    RECT tr{b.right + scaled(6), r.top, r.right, r.bottom};
    SetTextColor(dc, ink);
    DrawText(dc, text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (s->focused) {
      RECT calc = tr;
      DrawText(dc, text, &calc, DT_CALCRECT | DT_SINGLELINE);
      int h = calc.bottom - calc.top;
      int top = (r.height() - h) / 2;
      draw_focus_ring(dc, {tr.left - scaled(3), top - scaled(1), calc.right + scaled(3), top + h + scaled(1)});
    }
    EndPaint(hwnd, &ps);
    return;
  }
  bool def = kind == BS_DEFPUSHBUTTON;
  RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  draw_surface(dc, face, s->pressed, def, enabled);
  if (s->icon) {
    int size = std::min(face.width(), face.height()) - scaled(6);
    draw_icon(dc, face.left + (face.width() - size) / 2, face.top + (face.height() - size) / 2, size,
              icon_name(s->icon));
  }
  SetTextColor(dc, def && enabled ? RGB(255, 255, 255) : GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  if (!text.empty()) DrawText(dc, text, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (s->focused) draw_focus_ring(dc, r);
  EndPaint(hwnd, &ps);
}

void set_check(HWND hwnd, WPARAM check) {
  auto* s = state_of<ButtonState>(hwnd);
  if (s->check == check) return;
  s->check = check;
  InvalidateRect(hwnd, nullptr, true);
}

LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// A button of this procedure, under whatever class name (the runtime's
// radios have classes of their own).
bool is_button(HWND hwnd) {
  WNDCLASS cls;
  return GetClassInfo(GetClassName(hwnd), &cls) && cls.lpfnWndProc == button_proc;
}

// The automatic radio buttons of hwnd's group: its siblings between the
// radios that start a group (WS_GROUP), in creation order, which is the
// order of their handles.
std::vector<HWND> radio_group(HWND hwnd) {
  std::vector<HWND> radios;
  for (HWND sibling : GetChildren(GetParent(hwnd)))
    if (is_button(sibling) && kind_of(sibling) == BS_AUTORADIOBUTTON) radios.push_back(sibling);
  std::ranges::sort(radios, {}, [](HWND h) { return reinterpret_cast<uintptr_t>(h); });
  auto starts = [](HWND h) { return (GetWindowLongPtr(h, GWL_STYLE) & WS_GROUP) != 0; };
  auto at = std::ranges::find(radios, hwnd);
  if (at == radios.end()) return {};
  auto first = at;
  while (first != radios.begin() && !starts(*first)) --first;
  auto last = at + 1;
  while (last != radios.end() && !starts(*last)) ++last;
  return {first, last};
}

// A click: automatic boxes toggle, automatic radio buttons check themselves
// and clear the others of their group.
void click(HWND hwnd) {
  uint32_t kind = kind_of(hwnd);
  auto* s = state_of<ButtonState>(hwnd);
  if (kind == BS_AUTOCHECKBOX) set_check(hwnd, s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  if (kind == BS_AUTO3STATE) set_check(hwnd, (s->check + 1) % 3);
  if (kind == BS_AUTORADIOBUTTON) {
    for (HWND other : radio_group(hwnd))
      if (other != hwnd) SendMessage(other, BM_SETCHECK, BST_UNCHECKED, 0);
    set_check(hwnd, BST_CHECKED);
  }
  notify_parent(hwnd, BN_CLICKED);
}

LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<ButtonState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<ButtonState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<ButtonState>(hwnd); return 0;
    case WM_PAINT: paint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return 0;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      // Pressed and then left (an entry took the focus back): the mouse is
      // let go, else the next click anywhere would come here.
      if (s->pressed && GetCapture() == hwnd) ReleaseCapture();
      s->pressed = false;
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (kind_of(hwnd) == BS_GROUPBOX) return 0;
      s->pressed = true;
      SetCapture(hwnd);
      SetFocus(hwnd);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_LBUTTONUP: {
      if (!s->pressed) return 0;
      s->pressed = false;
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, false);
      RECT r = GetClientRect(hwnd);
      if (r.contains(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) click(hwnd);
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        s->pressed = true;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    case WM_KEYUP:
      if (wp == VK_SPACE && s->pressed) {
        s->pressed = false;
        InvalidateRect(hwnd, nullptr, false);
        click(hwnd);
      }
      return 0;
    case BM_CLICK: click(hwnd); return 0;
    case BM_GETCHECK: return static_cast<LRESULT>(s->check);
    case BM_SETCHECK: set_check(hwnd, wp); return 0;
    case BM_GETSTATE: return static_cast<LRESULT>(s->check | (s->pressed ? WPARAM{BST_PUSHED} : 0) | (s->focused ? WPARAM{BST_FOCUS} : 0));
    case BM_SETSTATE:
      s->pressed = wp != 0;
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case BM_SETSTYLE:
      SetWindowLongPtr(hwnd, GWL_STYLE, (GetWindowLongPtr(hwnd, GWL_STYLE) & ~intptr_t{0xFFFF}) | (wp & 0xFFFF));
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case BM_SETIMAGE:
      s->icon = reinterpret_cast<HICON>(lp);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, false); return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, true);
      return r;
    }
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC button_window_proc() { return button_proc; }

}  // namespace vrt::platform
