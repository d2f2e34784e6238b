#include "runtime/window/controls/sheet_control.h"

#include <algorithm>
#include <string>

#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kSelectedProp = "ZorSelectedTab";
constexpr int kHeaderPadding = 12;

std::vector<HWND> tabs_of(HWND sheet) {
  std::vector<HWND> tabs = GetChildren(sheet);
  std::erase_if(tabs, [](HWND h) { return GetClassName(h) != kZorTab; });
  // Children come front to back; tabs are shown in creation order.
  std::sort(tabs.begin(), tabs.end(), [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
  return tabs;
}

// The header rectangles, left to right, from the titles' widths.
std::vector<RECT> headers(HWND sheet, HDC dc) {
  std::vector<RECT> out;
  int x = 0;
  for (HWND tab : tabs_of(sheet)) {
    SIZE s = dc->GetTextExtentPoint(GetWindowText(tab));
    out.push_back({x, 0, x + s.cx + kHeaderPadding, kTabHeaderHeight});
    x = out.back().right;
  }
  return out;
}

void paint_sheet(HWND sheet) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(sheet, &ps);
  SelectObject(dc, GetWindowFont(sheet));
  RECT client = GetClientRect(sheet);
  std::vector<HWND> tabs = tabs_of(sheet);
  std::vector<RECT> rects = headers(sheet, dc);
  int selected = selected_tab(sheet);
  HBRUSH edge = GetSysColorBrush(COLOR_BTNSHADOW);
  // The page's border, open under the chosen tab, which stands on it.
  RECT page{0, kTabHeaderHeight - 1, client.right, client.bottom};
  FrameRect(dc, page, edge);
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < tabs.size(); ++i) {
    bool chosen = static_cast<int>(i) == selected;
    RECT r = rects[i];
    if (!chosen) r = {r.left + 1, r.top + 3, r.right - 1, r.bottom - 1};  // lower and narrower, behind the page
    FillRect(dc, {r.left, r.top, r.right, r.bottom}, GetSysColorBrush(chosen ? COLOR_BTNFACE : COLOR_3DLIGHT));
    FillRect(dc, {r.left + 2, r.top, r.right - 2, r.top + 1}, edge);  // top, with cut corners
    FillRect(dc, {r.left + 1, r.top + 1, r.left + 2, r.top + 2}, edge);
    FillRect(dc, {r.right - 2, r.top + 1, r.right - 1, r.top + 2}, edge);
    FillRect(dc, {r.left, r.top + 2, r.left + 1, r.bottom}, edge);
    FillRect(dc, {r.right - 1, r.top + 2, r.right, r.bottom}, edge);
    if (chosen) FillRect(dc, {r.left + 1, page.top, r.right - 1, page.top + 1}, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawText(dc, GetWindowText(tabs[i]), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  EndPaint(sheet, &ps);
}

// The user's choice of a tab: the sheet's window hears of it before and after.
void choose_tab(HWND sheet, int index) {
  auto tell = [&](UINT code) {
    SendMessage(GetParent(sheet), WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(GetDlgCtrlID(sheet)), code),
                reinterpret_cast<LPARAM>(sheet));
  };
  tell(kTabChanging);
  select_tab(sheet, index);
  tell(kTabChanged);
}

LRESULT sheet_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT:
      paint_sheet(h);
      return 0;
    case WM_LBUTTONDOWN: {
      HDC dc = GetDC(h);
      SelectObject(dc, GetWindowFont(h));
      std::vector<RECT> rects = headers(h, dc);
      ReleaseDC(h, dc);
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      for (size_t i = 0; i < rects.size(); ++i)
        if (rects[i].contains(p) && static_cast<int>(i) != selected_tab(h)) choose_tab(h, static_cast<int>(i));
      return 0;
    }
    case WM_NCDESTROY:
      RemoveProp(h, kSelectedProp);
      break;
  }
  return DefWindowProc(h, m, w, l);
}

// A page, and the sheet around it, take the colour the program gave the window.
bool colored(HWND h, UINT m, WPARAM w, LRESULT* result) {
  HBRUSH brush = (m == WM_ERASEBKGND || m == WM_CTLCOLORSTATIC || m == WM_CTLCOLORBTN) ? color_brush_for(h) : nullptr;
  if (!brush) return false;
  if (m == WM_ERASEBKGND) {
    FillRect(reinterpret_cast<HDC>(w), GetClientRect(h), brush);
    *result = 1;
  } else {
    *result = reinterpret_cast<LRESULT>(brush);
  }
  return true;
}

LRESULT tab_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (LRESULT r; colored(h, m, w, &r)) return r;
  // A page passes its controls' notifications to the window that owns the sheet.
  if (m == WM_COMMAND || m == WM_NOTIFY) return SendMessage(GetParent(GetParent(h)), m, w, l);
  if (m == WM_PAINT) {
    // Strings, lines and boxes on the page are drawn by the page.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    if (WindowObject* owner = window_holding(h)) paint_drawn_controls(*owner, h, dc);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

}  // namespace

void register_sheet_classes() {
  WNDCLASS sheet;
  sheet.lpszClassName = kZorSheet;
  sheet.lpfnWndProc = sheet_proc;
  sheet.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClass(sheet);
  WNDCLASS tab;
  tab.lpszClassName = kZorTab;
  tab.lpfnWndProc = tab_proc;
  tab.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClass(tab);
}

void select_tab(HWND sheet, int index) {
  std::vector<HWND> tabs = tabs_of(sheet);
  if (index < 0 || index >= static_cast<int>(tabs.size())) return;
  SetProp(sheet, kSelectedProp, static_cast<uintptr_t>(index));
  for (size_t i = 0; i < tabs.size(); ++i) ShowWindow(tabs[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
  InvalidateRect(sheet, nullptr, true);
}

int selected_tab(HWND sheet) { return static_cast<int>(GetProp(sheet, kSelectedProp)); }

RECT tab_header(HWND tab) {
  HWND sheet = GetParent(tab);
  std::vector<HWND> tabs = tabs_of(sheet);
  auto at = std::find(tabs.begin(), tabs.end(), tab);
  if (!sheet || at == tabs.end()) return {};
  HDC dc = GetDC(sheet);
  SelectObject(dc, GetWindowFont(sheet));
  std::vector<RECT> rects = headers(sheet, dc);
  ReleaseDC(sheet, dc);
  return rects[static_cast<size_t>(at - tabs.begin())];
}

}  // namespace vrt::window
