#include "runtime/window/controls/list_control.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

struct ListState {
  std::vector<std::string> rows;
  int selected = -1;
  int top = 0;  // the first row shown
  bool drop = false;
  bool focused = false;
};

constexpr const char* kListState = "ZorListState";

ListState* state(HWND h) { return reinterpret_cast<ListState*>(GetProp(h, kListState)); }

int row_height() { return scaled(16); }
int visible_rows(HWND h) { return std::max(1, GetClientRect(h).bottom / row_height()); }

void notify(HWND h, UINT code) {
  SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(GetDlgCtrlID(h)), code),
              reinterpret_cast<LPARAM>(h));
}

void choose(HWND h, ListState* s, int row) {
  if (s->rows.empty()) return;
  row = std::clamp(row, 0, static_cast<int>(s->rows.size()) - 1);
  if (row < s->top) s->top = row;
  if (row >= s->top + visible_rows(h)) s->top = row - visible_rows(h) + 1;
  InvalidateRect(h, nullptr, true);
  if (row == s->selected) return;
  s->selected = row;
  notify(h, LBN_SELCHANGE);
}

// The drop-down form: its rows as a popup below it.
void drop_down(HWND h, ListState* s) {
  if (s->rows.empty()) return;
  HMENU menu = CreatePopupMenu();
  for (size_t i = 0; i < s->rows.size(); ++i)
    AppendMenu(menu, MF_STRING | (static_cast<int>(i) == s->selected ? UINT{MF_CHECKED} : 0u), i + 1, s->rows[i]);
  RECT r = GetWindowRect(h);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD, r.left, r.bottom, h);
  DestroyMenu(menu);
  if (chosen) choose(h, s, static_cast<int>(chosen) - 1);
}

void paint(HWND h, ListState* s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT client = GetClientRect(h);
  FillRect(dc, client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, client, GetSysColorBrush(s->focused ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
  SetBkMode(dc, TRANSPARENT);
  auto row_at = [&](int row, int y, int right) {
    RECT r{scaled(1), y, right, y + row_height()};
    bool lit = row == s->selected;
    if (lit) FillRect(dc, r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text{r.left + scaled(4), r.top, r.right - scaled(2), r.bottom};
    DrawText(dc, s->rows[static_cast<size_t>(row)], &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  if (s->drop) {
    int arrow = client.bottom;
    if (s->selected >= 0) row_at(s->selected, (client.bottom - row_height()) / 2, client.right - arrow);
    int cx = client.right - arrow / 2, cy = client.bottom / 2;
    POINT tri[] = {{cx - scaled(4), cy - scaled(2)}, {cx + scaled(4), cy - scaled(2)}, {cx, cy + scaled(3)}};
    HBRUSH ink = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ ob = SelectObject(dc, ink);
    HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, tri, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(ink);
  } else {
    for (int row = s->top, y = scaled(1); row < static_cast<int>(s->rows.size()) && y < client.bottom;
         ++row, y += row_height())
      row_at(row, y, client.right - scaled(1));
  }
  EndPaint(h, &ps);
}

LRESULT list_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  ListState* s = state(h);
  switch (m) {
    case WM_NCCREATE:
      s = new ListState;
      s->drop = GetClassName(h) == kZorDrop;
      SetProp(h, kListState, reinterpret_cast<uintptr_t>(s));
      return 1;
    case WM_NCDESTROY:
      delete s;
      RemoveProp(h, kListState);
      return 0;
    case WM_PAINT: paint(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(h, nullptr, false);
      notify(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      InvalidateRect(h, nullptr, false);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(h);
      if (s->drop) drop_down(h, s);
      else if (int row = s->top + GET_Y_LPARAM(lp) / row_height(); row < static_cast<int>(s->rows.size())) choose(h, s, row);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (!s->drop) notify(h, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (s->drop && (wp == VK_F4 || (wp == VK_DOWN && m == WM_SYSKEYDOWN))) {
        drop_down(h, s);
        return 0;
      }
      switch (wp) {
        case VK_UP: choose(h, s, s->selected - 1); return 0;
        case VK_DOWN: choose(h, s, s->selected + 1); return 0;
        case VK_HOME: choose(h, s, 0); return 0;
        case VK_END: choose(h, s, static_cast<int>(s->rows.size()) - 1); return 0;
        case VK_PRIOR: choose(h, s, s->selected - visible_rows(h)); return 0;
        case VK_NEXT: choose(h, s, s->selected + visible_rows(h)); return 0;
        default: break;
      }
      return DefWindowProc(h, m, wp, lp);
    case LB_ADDSTRING:
      s->rows.emplace_back(lp ? reinterpret_cast<const char*>(lp) : "");
      InvalidateRect(h, nullptr, true);
      return static_cast<LRESULT>(s->rows.size()) - 1;
    case LB_RESETCONTENT:
      s->rows.clear();
      s->selected = -1;
      s->top = 0;
      InvalidateRect(h, nullptr, true);
      return 0;
    case LB_GETCOUNT: return static_cast<LRESULT>(s->rows.size());
    case LB_GETCURSEL: return s->selected;
    case LB_SETCURSEL:
      if (static_cast<size_t>(wp) >= s->rows.size()) return -1;
      s->selected = static_cast<int>(wp);
      InvalidateRect(h, nullptr, true);
      return s->selected;
    case LB_GETTEXTLEN:
      return wp < s->rows.size() ? static_cast<LRESULT>(s->rows[wp].size()) : -1;
    case LB_GETTEXT:
      if (wp >= s->rows.size() || !lp) return -1;
      std::memcpy(reinterpret_cast<char*>(lp), s->rows[wp].c_str(), s->rows[wp].size() + 1);
      return static_cast<LRESULT>(s->rows[wp].size());
    default: return DefWindowProc(h, m, wp, lp);
  }
}

class ListControl : public Control {
 public:
  ListControl(const ResourceBuffer& b, uint32_t record) : Control(b, record), drop_(b.field(record, "drop") != 0) {}
  void create(WindowObject& owner, HWND parent, const RECT& at) override {
    uint32_t style = WS_CHILD | WS_TABSTOP;
    if (!(flags() & kFlagHidden)) style |= WS_VISIBLE;
    if (flags() & kFlagDisabled) style |= WS_DISABLED;
    hwnd_ = CreateWindow(drop_ ? kZorDrop : kZorList, "", style, at.left, at.top, at.right - at.left,
                         at.bottom - at.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(field())));
    if (hwnd_ && owner.font) SendMessage(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), 0);
  }

 private:
  bool drop_;
};

}  // namespace

void register_list_classes() {
  for (const char* name : {kZorList, kZorDrop}) {
    WNDCLASS wc;
    wc.lpszClassName = name;
    wc.lpfnWndProc = list_proc;
    wc.style = CS_DBLCLKS;
    RegisterClass(wc);
  }
}

std::unique_ptr<Control> make_list(const ResourceBuffer& b, uint32_t r) { return std::make_unique<ListControl>(b, r); }

}  // namespace vrt::window
