// Popup menus and the menu bar at work: the popups of one run of a menu,
// the keys and mouse moves that walk them, and the command chosen.
#include <algorithm>
#include <mutex>
#include <vector>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/menu_items.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

struct Popup {
  HMENU menu;
  HWND hwnd = nullptr;
  int highlighted = -1;
  std::vector<MenuItem> items;
  std::vector<RECT> rects;  // client coordinates
};

// The state of one run of a menu: the open popups (outermost first) and the
// outcome.
struct MenuRun {
  HWND owner;
  std::string popup_class;
  std::vector<Popup> stack;
  bool done = false;
  UINT command = 0;
  int bar_item = -1;      // the menu bar item the outermost popup hangs from
  int switch_to_bar = 0;  // -1 / +1: the user moved left or right on the bar
};

thread_local MenuRun* t_run = nullptr;

int item_height(const MenuItem& it) { return it.flags & MF_SEPARATOR ? scaled(9) : menu_item_height(); }

// Items run down in columns of equal width; an item with a break flag
// starts the next column.
void layout_popup(Popup& p, int* width, int* height) {
  HDC dc = GetDC(p.hwnd);
  int w = scaled(140), h = scaled(4), tallest = 0, x = 0;
  for (const MenuItem& it : p.items) {
    std::string shortcut;
    std::string text = label(it.text, &shortcut);
    int tw = item_width(dc, text) + (shortcut.empty() ? 0 : item_width(dc, shortcut) + scaled(24));
    w = std::max(w, tw + scaled(60));
  }
  p.rects.clear();
  for (const MenuItem& it : p.items) {
    if ((it.flags & (MF_MENUBREAK | MF_MENUBARBREAK)) && !p.rects.empty()) {
      tallest = std::max(tallest, h);
      x += w;
      h = scaled(4);
    }
    p.rects.push_back({x + scaled(2), h, x + w - scaled(2), h + item_height(it)});
    h += item_height(it);
  }
  ReleaseDC(p.hwnd, dc);
  *width = x + w;
  *height = std::max(tallest, h) + scaled(4);
}

void paint_popup(HWND hwnd) {
  MenuRun* run = t_run;
  if (!run) return;
  Popup* p = nullptr;
  for (Popup& q : run->stack)
    if (q.hwnd == hwnd) p = &q;
  if (!p) return;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client = GetClientRect(hwnd);
  FillRect(dc, client, GetSysColorBrush(COLOR_MENU));
  FrameRect(dc, client, GetSysColorBrush(COLOR_WINDOWFRAME));
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < p->items.size() && i < p->rects.size(); ++i) {
    const MenuItem& it = p->items[i];
    RECT r = p->rects[i];
    if (it.flags & MF_SEPARATOR) {
      int y = (r.top + r.bottom) / 2;
      FillRect(dc, {r.left + scaled(8), y, r.right - scaled(8), y + 1}, GetSysColorBrush(COLOR_INACTIVEBORDER));
      continue;
    }
    bool lit = static_cast<int>(i) == p->highlighted;
    if (lit) FillRect(dc, r, GetSysColorBrush(COLOR_HIGHLIGHT));
    COLORREF color = it.flags & MF_GRAYED ? GetSysColor(COLOR_GRAYTEXT)
                     : lit                ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                          : GetSysColor(COLOR_MENUTEXT);
    SetTextColor(dc, color);
    if (it.flags & MF_CHECKED) {
      HPEN pen = CreatePen(PS_SOLID, std::max(2, scaled(2)), color);
      HGDIOBJ old = SelectObject(dc, pen);
      int cx = r.left + scaled(12), cy = (r.top + r.bottom) / 2;
      POINT tick[] = {{cx - scaled(4), cy}, {cx - scaled(1), cy + scaled(3)}, {cx + scaled(5), cy - scaled(4)}};
      Polyline(dc, tick, 3);
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    std::string shortcut;
    std::string text = label(it.text, &shortcut);
    RECT tr{r.left + scaled(26), r.top, r.right - scaled(18), r.bottom};
    DrawText(dc, text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (!shortcut.empty()) DrawText(dc, shortcut, &tr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (it.flags & MF_POPUP) {
      int x = r.right - scaled(10), y = (r.top + r.bottom) / 2;
      POINT arrow[] = {{x - scaled(3), y - scaled(4)}, {x + scaled(1), y}, {x - scaled(3), y + scaled(4)}};
      HBRUSH b = CreateSolidBrush(color);
      HGDIOBJ ob = SelectObject(dc, b);
      HGDIOBJ op = SelectObject(dc, GetStockObject(NULL_PEN));
      Polygon(dc, arrow, 3);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(b);
    }
  }
  EndPaint(hwnd, &ps);
}

void open_popup(MenuRun& run, HMENU menu, POINT screen);

void highlight(MenuRun& run, size_t level, int index) {
  Popup& p = run.stack[level];
  if (p.highlighted == index) return;
  p.highlighted = index;
  InvalidateRect(p.hwnd, nullptr, false);
  UINT id = 0, flags = 0;
  if (index >= 0) {
    const MenuItem& it = p.items[static_cast<size_t>(index)];
    id = it.flags & MF_POPUP ? static_cast<UINT>(index) : static_cast<UINT>(it.id);
    flags = it.flags;
  }
  SendMessage(run.owner, WM_MENUSELECT, MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(p.menu));
}

void close_above(MenuRun& run, size_t level) {
  while (run.stack.size() > level + 1) {
    DestroyWindow(run.stack.back().hwnd);
    run.stack.pop_back();
  }
}

// Carries out the item: a submenu opens, a command ends the run.
void activate(MenuRun& run, size_t level, int index) {
  Popup& p = run.stack[level];
  if (index < 0 || index >= static_cast<int>(p.items.size())) return;
  const MenuItem& it = p.items[static_cast<size_t>(index)];
  if (it.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) return;
  if (it.flags & MF_POPUP) {
    close_above(run, level);
    RECT r = p.rects[static_cast<size_t>(index)];
    POINT at = ClientToScreen(p.hwnd, POINT{r.right, r.top});
    open_popup(run, reinterpret_cast<HMENU>(it.id), at);
    return;
  }
  run.command = static_cast<UINT>(it.id);
  run.done = true;
}

int item_at(const Popup& p, POINT client) {
  for (size_t i = 0; i < p.rects.size(); ++i)
    if (p.rects[i].contains(client)) return static_cast<int>(i);
  return -1;
}

// Asked of the popup's own thread, which alone knows the run.
constexpr UINT kGetItemsMessage = WM_USER + 0x1E0;

LRESULT CALLBACK_popup(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MenuRun* run = t_run;
  if (!run) return DefWindowProc(hwnd, msg, wp, lp);
  switch (msg) {
    case kGetItemsMessage: {
      auto* out = reinterpret_cast<PopupItems*>(lp);
      for (const Popup& p : run->stack) {
        if (p.hwnd != hwnd) continue;
        for (size_t i = 0; i < p.items.size(); ++i) {
          if (p.items[i].flags & MF_SEPARATOR) continue;
          std::string shortcut;
          out->texts.push_back(label(p.items[i].text, &shortcut));
          out->rects.push_back(p.rects[i]);
          out->greyed.push_back((p.items[i].flags & (MF_GRAYED | MF_DISABLED)) != 0);
        }
      }
      return 1;
    }
    case WM_PAINT: paint_popup(hwnd); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONUP: {
      // Every popup of the run hears the mouse through the capture; find
      // the one under it.
      POINT screen = ClientToScreen(hwnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      for (size_t level = run->stack.size(); level-- > 0;) {
        Popup& p = run->stack[level];
        int index = item_at(p, ScreenToClient(p.hwnd, screen));
        if (index < 0) continue;
        highlight(*run, level, index);
        if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP ||
            (msg == WM_MOUSEMOVE && (p.items[static_cast<size_t>(index)].flags & MF_POPUP)))
          activate(*run, level, index);
        return 0;
      }
      if (msg == WM_LBUTTONDOWN) run->done = true;  // a click outside dismisses the menu
      return 0;
    }
    case WM_KEYDOWN: {
      size_t level = run->stack.size() - 1;
      Popup& p = run->stack[level];
      int n = static_cast<int>(p.items.size());
      auto step = [&](int dir) {
        for (int k = 1; k <= n; ++k) {
          int i = ((p.highlighted < 0 ? (dir > 0 ? -1 : 0) : p.highlighted) + dir * k + n * 2) % n;
          if (!(p.items[static_cast<size_t>(i)].flags & MF_SEPARATOR)) return highlight(*run, level, i);
        }
      };
      switch (wp) {
        case VK_DOWN: step(1); break;
        case VK_UP: step(-1); break;
        case VK_RETURN:
        case VK_SPACE: activate(*run, level, p.highlighted); break;
        case VK_RIGHT:
          if (p.highlighted >= 0 && (p.items[static_cast<size_t>(p.highlighted)].flags & MF_POPUP))
            activate(*run, level, p.highlighted);
          else if (run->bar_item >= 0) {
            run->switch_to_bar = 1;
            run->done = true;
          }
          break;
        case VK_LEFT:
        case VK_ESCAPE:
          if (level > 0) {
            close_above(*run, level - 1);
          } else {
            if (wp == VK_LEFT && run->bar_item >= 0) run->switch_to_bar = -1;
            run->done = true;
          }
          break;
        default: break;
      }
      return 0;
    }
    case WM_CHAR: {
      size_t level = run->stack.size() - 1;
      Popup& p = run->stack[level];
      char letter = static_cast<char>(std::toupper(static_cast<int>(wp)));
      for (size_t i = 0; i < p.items.size(); ++i)
        if (access_letter(p.items[i].text) == letter) {
          highlight(*run, level, static_cast<int>(i));
          activate(*run, level, static_cast<int>(i));
          break;
        }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (lp == 0) run->done = true;
      return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

void register_popup_class(const std::string& name) {
  static std::mutex m;
  std::lock_guard lock(m);
  WNDCLASS wc;
  if (GetClassInfo(name, &wc) && wc.lpfnWndProc == CALLBACK_popup) return;
  wc = WNDCLASS{};
  wc.lpszClassName = name;
  wc.lpfnWndProc = CALLBACK_popup;
  RegisterClass(wc);
}

void open_popup(MenuRun& run, HMENU menu, POINT screen) {
  register_popup_class(run.popup_class);
  SendMessage(run.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), static_cast<LPARAM>(run.stack.size()));
  Popup p;
  p.menu = menu;
  p.items = items_of(menu);
  p.hwnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, run.popup_class, "", WS_POPUP, screen.x, screen.y, 10, 10,
                          run.owner, nullptr);
  int w, h;
  layout_popup(p, &w, &h);
  int screen_h = GetSystemMetrics(SM_CYSCREEN);
  int y = screen.y + h > screen_h ? std::max(0, screen_h - h) : screen.y;
  SetWindowPos(p.hwnd, HWND_TOP, screen.x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  run.stack.push_back(std::move(p));
  SetCapture(run.stack.back().hwnd);
  RedrawWindow(run.stack.back().hwnd);
}

// Runs popups until the run is done; returns the chosen command or 0.
UINT run_menu(MenuRun& run, HMENU menu, POINT screen) {
  MenuRun* outer = t_run;
  t_run = &run;
  SendMessage(run.owner, WM_ENTERMENULOOP, 0, 0);
  open_popup(run, menu, screen);
  HWND keyboard_focus = GetFocus();
  SetFocus(run.stack.front().hwnd);
  MSG m;
  while (!run.done && !run.stack.empty()) {
    if (!GetMessage(&m)) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    // Keys go to the innermost popup.
    if (m.message == WM_KEYDOWN || m.message == WM_CHAR) m.hwnd = run.stack.back().hwnd;
    TranslateMessage(m);
    DispatchMessage(m);
  }
  ReleaseCapture();
  close_above(run, 0);
  if (!run.stack.empty()) DestroyWindow(run.stack.front().hwnd);
  run.stack.clear();
  if (keyboard_focus && IsWindow(keyboard_focus)) SetFocus(keyboard_focus);
  SendMessage(run.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  SendMessage(run.owner, WM_EXITMENULOOP, 0, 0);
  t_run = outer;
  return run.command;
}

}  // namespace

void register_popup_menu_class(const std::string& name) { register_popup_class(name); }

bool is_popup_menu(HWND hwnd) {
  WNDCLASS wc;
  return hwnd && GetClassInfo(GetClassName(hwnd), &wc) && wc.lpfnWndProc == CALLBACK_popup;
}

PopupItems popup_menu_items(HWND popup) {
  PopupItems items;
  if (is_popup_menu(popup)) SendMessage(popup, kGetItemsMessage, 0, reinterpret_cast<LPARAM>(&items));
  return items;
}

int menu_item_height() { return scaled(24); }

UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, const std::string& popup_class) {
  MenuRun run{owner, popup_class, {}};
  SendMessage(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  UINT command = run_menu(run, menu, POINT{x, y});
  if (flags & TPM_RETURNCMD) return command;
  if (command) PostMessage(owner, WM_COMMAND, command, 0);
  return command != 0;
}

void track_menu_bar(HWND hwnd, POINT screen) {
  HMENU bar = GetMenu(hwnd);
  if (!bar) return;
  std::vector<MenuItem> items = items_of(bar);
  if (items.empty()) return;
  RECT wr = GetWindowRect(hwnd);
  HDC dc = GetWindowDC(hwnd);
  auto spans = bar_layout(dc, items, 0);
  ReleaseDC(hwnd, dc);
  int index = -1;
  for (size_t i = 0; i < spans.size(); ++i)
    if (screen.x - wr.left >= spans[i].first && screen.x - wr.left < spans[i].second) index = static_cast<int>(i);
  if (index < 0) return;
  SendMessage(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  int bar_top;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    FrameMetrics fm = frame_metrics(*w);
    bar_top = fm.border + fm.caption;
  }
  for (;;) {
    const MenuItem& it = items[static_cast<size_t>(index)];
    if (it.flags & (MF_GRAYED | MF_DISABLED)) return;
    if (!(it.flags & MF_POPUP)) {
      PostMessage(hwnd, WM_COMMAND, it.id, 0);
      return;
    }
    MenuRun run{hwnd, kPopupMenuClass, {}};
    run.bar_item = index;
    POINT at{wr.left + spans[static_cast<size_t>(index)].first, wr.top + bar_top + GetSystemMetrics(SM_CYMENU)};
    UINT command = run_menu(run, reinterpret_cast<HMENU>(it.id), at);
    if (command) {
      PostMessage(hwnd, WM_COMMAND, command, 0);
      return;
    }
    if (!run.switch_to_bar) return;
    int n = static_cast<int>(items.size());
    index = (index + run.switch_to_bar + n) % n;
  }
}

bool menu_accelerator(HWND hwnd, char letter) {
  HWND top = GetTopLevel(hwnd);
  HMENU bar = GetMenu(top);
  if (!bar) return false;
  std::vector<MenuItem> items = items_of(bar);
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  HDC dc = GetWindowDC(top);
  auto spans = bar_layout(dc, items, 0);
  ReleaseDC(top, dc);
  RECT wr = GetWindowRect(top);
  for (size_t i = 0; i < items.size(); ++i)
    if (access_letter(items[i].text) == letter) {
      track_menu_bar(top, POINT{wr.left + spans[i].first + 1, wr.top});
      return true;
    }
  return false;
}

}  // namespace vrt::platform
