#include "runtime/platform/gui/controls/control_support.h"

namespace vrt::platform {

void draw_focus_ring(HDC dc, const RECT& r) {
  HPEN pen = CreatePen(PS_SOLID, std::max(1, scaled(2)), kAccent);
  HGDIOBJ op = SelectObject(dc, pen);
  HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, scaled(6), scaled(6));
  SelectObject(dc, op);
  SelectObject(dc, ob);
  DeleteObject(pen);
}

void draw_surface(HDC dc, const RECT& r, bool pressed, bool accent, bool enabled) {
  COLORREF face = pressed ? RGB(0xD9, 0xDD, 0xE3) : GetSysColor(COLOR_BTNFACE);
  if (accent && enabled) face = pressed ? RGB(0x25, 0x5A, 0xB0) : kAccent;
  HBRUSH b = CreateSolidBrush(face);
  HPEN p = CreatePen(PS_SOLID, 1, accent && enabled ? face : GetSysColor(enabled ? COLOR_BTNSHADOW : COLOR_INACTIVEBORDER));
  HGDIOBJ ob = SelectObject(dc, b);
  HGDIOBJ op = SelectObject(dc, p);
  RoundRect(dc, r.left, r.top, r.right, r.bottom, scaled(6), scaled(6));
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(p);
}

HBRUSH control_colors(HWND hwnd, HDC dc, UINT ctlcolor, int text_fallback, int back_fallback) {
  SetTextColor(dc, GetSysColor(text_fallback));
  HWND parent = GetParent(hwnd);
  LRESULT brush = parent ? SendMessage(parent, ctlcolor, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)) : 0;
  return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(back_fallback);
}

}  // namespace vrt::platform
