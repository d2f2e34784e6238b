// The single-line edit: a caret, a selection made with the mouse or with
// Shift and the arrows, the text clipboard, a length limit, and the styles
// for upper case, lower case, digits only, password and read-only.
#include <algorithm>

#include "runtime/platform/gui/controls/control_support.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::platform {

namespace {

constexpr uintptr_t kCaretTimer = 0xCA7;

struct EditState {
  size_t caret = 0, anchor = 0;  // the selection runs from anchor to caret
  size_t limit = 30000;
  size_t scroll = 0;  // the first character shown
  bool focused = false, caret_on = true, modified = false, dragging = false;
  char password = 0;
  std::string undo;
};

uint32_t style_of(HWND hwnd) { return static_cast<uint32_t>(GetWindowLongPtr(hwnd, GWL_STYLE)); }

std::string shown_text(HWND hwnd, const EditState* s) {
  std::string t = GetWindowText(hwnd);
  if (s->password || (style_of(hwnd) & ES_PASSWORD)) t.assign(t.size(), s->password ? s->password : '*');
  return t;
}

int text_x(HDC dc, const std::string& t, size_t from, size_t to) {
  if (to <= from) return 0;
  return GetTextExtentPoint32(dc, std::string_view(t).substr(from, to - from)).cx;
}

RECT text_area(HWND hwnd) {
  RECT r = GetClientRect(hwnd);
  return {r.left + scaled(4), r.top + scaled(2), r.right - scaled(4), r.bottom - scaled(2)};
}

// Keeps the caret in view by moving the first shown character.
void scroll_to_caret(HWND hwnd, EditState* s) {
  std::string t = shown_text(hwnd, s);
  HDC dc = GetDC(hwnd);
  int width = text_area(hwnd).width();
  if (s->caret < s->scroll) s->scroll = s->caret;
  while (s->scroll < s->caret && text_x(dc, t, s->scroll, s->caret) > width) ++s->scroll;
  ReleaseDC(hwnd, dc);
}

// The edge around the client area (a client-edge style) shows what the
// edit stands on: the edit draws its own border inside.
void paint_edge(HWND hwnd) {
  RECT outer = GetWindowRect(hwnd);
  POINT inner = ClientToScreen(hwnd, POINT{0, 0});
  RECT c = GetClientRect(hwnd);
  int left = inner.x - outer.left, top = inner.y - outer.top;
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  if (left <= 0 && top <= 0 && c.right >= width && c.bottom >= height) return;
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  HBRUSH back = control_colors(hwnd, dc, WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE);
  FillRect(dc, {0, 0, width, top}, back);
  FillRect(dc, {0, top + c.bottom, width, height}, back);
  FillRect(dc, {0, top, left, top + c.bottom}, back);
  FillRect(dc, {left + c.right, top, width, top + c.bottom}, back);
  ReleaseDC(hwnd, dc);
}

void paint(HWND hwnd) {
  auto* s = state_of<EditState>(hwnd);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r = GetClientRect(hwnd);
  bool enabled = IsWindowEnabled(hwnd);
  bool readonly = style_of(hwnd) & ES_READONLY;
  HBRUSH back = control_colors(hwnd, dc, WM_CTLCOLOREDIT, enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT,
                               enabled && !readonly ? COLOR_WINDOW : COLOR_BTNFACE);
  COLORREF ink = dc->state().text_color;
  FillRect(dc, r, back);
  HPEN border = CreatePen(PS_SOLID, s->focused ? std::max(1, scaled(2)) : 1,
                          s->focused ? kAccent : GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ op = SelectObject(dc, border);
  HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, scaled(4), scaled(4));
  SelectObject(dc, op);
  SelectObject(dc, ob);
  DeleteObject(border);

  std::string t = shown_text(hwnd, s);
  RECT area = text_area(hwnd);
  TEXTMETRIC tm = GetTextMetrics(dc);
  int y = area.top + (area.height() - tm.tmHeight) / 2;
  int x = area.left;
  uint32_t align = style_of(hwnd) & 3;
  int full = text_x(dc, t, s->scroll, t.size());
  if (align == ES_RIGHT && full < area.width()) x = area.right - full;
  if (align == ES_CENTER && full < area.width()) x = area.left + (area.width() - full) / 2;
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  size_t lo = std::min(s->anchor, s->caret), hi = std::max(s->anchor, s->caret);
  SetBkMode(dc, TRANSPARENT);
  if (s->focused && lo < hi) {
    int a = x + text_x(dc, t, s->scroll, std::max(lo, s->scroll)), b = x + text_x(dc, t, s->scroll, std::max(hi, s->scroll));
    FillRect(dc, {a, y, b, y + tm.tmHeight}, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  for (size_t i = s->scroll; i < t.size();) {
    // Runs inside and outside the selection, in their colours.
    bool selected = s->focused && i >= lo && i < hi;
    size_t end = selected ? hi : (i < lo ? lo : t.size());
    if (end <= i) end = t.size();
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink);
    TextOut(dc, x + text_x(dc, t, s->scroll, i), y, std::string_view(t).substr(i, end - i));
    i = end;
  }
  if (s->focused && s->caret_on) {
    int cx = x + text_x(dc, t, s->scroll, std::max(s->caret, s->scroll));
    FillRect(dc, {cx, y, cx + std::max(1, scaled(1)), y + tm.tmHeight}, GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  EndPaint(hwnd, &ps);
}

size_t char_at(HWND hwnd, EditState* s, int x) {
  std::string t = shown_text(hwnd, s);
  HDC dc = GetDC(hwnd);
  RECT area = text_area(hwnd);
  size_t best = s->scroll;
  for (size_t i = s->scroll; i <= t.size(); ++i) {
    int cx = area.left + text_x(dc, t, s->scroll, i);
    int next = i < t.size() ? area.left + text_x(dc, t, s->scroll, i + 1) : cx;
    best = i;
    if (x < (cx + next) / 2) break;
  }
  ReleaseDC(hwnd, dc);
  return best;
}

void changed(HWND hwnd, EditState* s) {
  s->modified = true;
  scroll_to_caret(hwnd, s);
  InvalidateRect(hwnd, nullptr, false);
  notify_parent(hwnd, EN_CHANGE);
}

void set_text_quietly(HWND hwnd, const std::string& text) {
  DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Replaces the selection with text, shaped by the styles and the limit.
void replace_selection(HWND hwnd, EditState* s, std::string insert) {
  uint32_t style = style_of(hwnd);
  for (char& c : insert) {
    if (style & ES_UPPERCASE) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (style & ES_LOWERCASE) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (style & ES_NUMBER)
    insert.erase(std::remove_if(insert.begin(), insert.end(), [](char c) { return c < '0' || c > '9'; }), insert.end());
  std::string t = GetWindowText(hwnd);
  size_t lo = std::min({s->anchor, s->caret, t.size()}), hi = std::min(std::max(s->anchor, s->caret), t.size());
  size_t room = s->limit > t.size() - (hi - lo) ? s->limit - (t.size() - (hi - lo)) : 0;
  if (insert.size() > room) {
    insert.resize(room);
    notify_parent(hwnd, EN_MAXTEXT);
  }
  if (insert.empty() && lo == hi) return;
  s->undo = t;
  t.replace(lo, hi - lo, insert);
  set_text_quietly(hwnd, t);
  s->caret = s->anchor = lo + insert.size();
  changed(hwnd, s);
}

void copy_selection(HWND hwnd, EditState* s) {
  if (style_of(hwnd) & ES_PASSWORD) return;
  std::string t = GetWindowText(hwnd);
  size_t lo = std::min(s->anchor, s->caret), hi = std::max(s->anchor, s->caret);
  if (lo < hi && hi <= t.size()) set_clipboard_text(t.substr(lo, hi - lo));
}

void move_caret(HWND hwnd, EditState* s, size_t to, bool extend) {
  s->caret = to;
  if (!extend) s->anchor = to;
  s->caret_on = true;
  scroll_to_caret(hwnd, s);
  InvalidateRect(hwnd, nullptr, false);
}

bool key_down(HWND hwnd, EditState* s, WPARAM vk) {
  size_t size = GetWindowText(hwnd).size();
  bool shift = GetKeyState(VK_SHIFT), control = GetKeyState(VK_CONTROL);
  bool readonly = style_of(hwnd) & ES_READONLY;
  switch (vk) {
    case VK_LEFT: move_caret(hwnd, s, s->caret > 0 && (shift || s->anchor == s->caret) ? s->caret - 1 : std::min(s->caret, s->anchor), shift); return true;
    case VK_RIGHT: move_caret(hwnd, s, s->caret < size && (shift || s->anchor == s->caret) ? s->caret + 1 : std::max(s->caret, s->anchor), shift); return true;
    case VK_HOME: move_caret(hwnd, s, 0, shift); return true;
    case VK_END: move_caret(hwnd, s, size, shift); return true;
    case VK_DELETE:
      if (readonly) return true;
      if (shift) {
        copy_selection(hwnd, s);
      } else if (s->anchor == s->caret && s->caret < size) {
        s->anchor = s->caret + 1;
      }
      replace_selection(hwnd, s, "");
      return true;
    case VK_INSERT:
      if (control) copy_selection(hwnd, s);
      if (shift && !readonly) replace_selection(hwnd, s, get_clipboard_text());
      return true;
    default: return false;
  }
}

void character(HWND hwnd, EditState* s, char c) {
  bool readonly = style_of(hwnd) & ES_READONLY;
  switch (c) {
    case 1:  // Ctrl+A
      s->anchor = 0;
      move_caret(hwnd, s, GetWindowText(hwnd).size(), true);
      return;
    case 3: copy_selection(hwnd, s); return;  // Ctrl+C
    case 22: if (!readonly) replace_selection(hwnd, s, get_clipboard_text()); return;  // Ctrl+V
    case 24:  // Ctrl+X
      if (readonly) return;
      copy_selection(hwnd, s);
      replace_selection(hwnd, s, "");
      return;
    case 26:  // Ctrl+Z
      if (!readonly) SendMessage(hwnd, EM_UNDO, 0, 0);
      return;
    case '\b':
      if (readonly) return;
      if (s->anchor == s->caret && s->caret > 0) s->anchor = s->caret - 1;
      replace_selection(hwnd, s, "");
      return;
    default:
      if (static_cast<unsigned char>(c) < 32 || readonly) return;
      replace_selection(hwnd, s, std::string(1, c));
  }
}

LRESULT edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = state_of<EditState>(hwnd);
  switch (msg) {
    case WM_NCCREATE: attach_state<EditState>(hwnd); return 1;
    case WM_NCDESTROY: detach_state<EditState>(hwnd); return 0;
    case WM_CREATE: {
      std::string t = GetWindowText(hwnd);
      s->caret = s->anchor = 0;
      return 0;
    }
    case WM_PAINT: paint(hwnd); return 0;
    case WM_NCPAINT: paint_edge(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
      s->focused = true;
      s->caret_on = true;
      SetTimer(hwnd, kCaretTimer, 530);
      InvalidateRect(hwnd, nullptr, false);
      notify_parent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      KillTimer(hwnd, kCaretTimer);
      InvalidateRect(hwnd, nullptr, false);
      notify_parent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_TIMER:
      if (wp == kCaretTimer) {
        s->caret_on = !s->caret_on;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    case WM_SETCURSOR: SetCursor(LoadCursor(IDC_IBEAM)); return 1;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      SetCapture(hwnd);
      s->dragging = true;
      move_caret(hwnd, s, char_at(hwnd, s, GET_X_LPARAM(lp)), GetKeyState(VK_SHIFT));
      return 0;
    case WM_LBUTTONDBLCLK:
      s->anchor = 0;
      move_caret(hwnd, s, GetWindowText(hwnd).size(), true);
      return 0;
    case WM_MOUSEMOVE:
      if (s->dragging) move_caret(hwnd, s, char_at(hwnd, s, GET_X_LPARAM(lp)), true);
      return 0;
    case WM_LBUTTONUP:
      if (s->dragging) ReleaseCapture();
      s->dragging = false;
      return 0;
    case WM_KEYDOWN: return key_down(hwnd, s, wp) ? 0 : DefWindowProc(hwnd, msg, wp, lp);
    case WM_CHAR: character(hwnd, s, static_cast<char>(wp)); return 0;
    case WM_SETTEXT: {
      std::string t = lp ? reinterpret_cast<const char*>(lp) : "";
      if (t.size() > s->limit) t.resize(s->limit);
      set_text_quietly(hwnd, t);
      s->caret = s->anchor = 0;
      s->scroll = 0;
      s->modified = false;
      InvalidateRect(hwnd, nullptr, false);
      notify_parent(hwnd, EN_CHANGE);
      return 1;
    }
    case EM_GETSEL: {
      auto lo = static_cast<uint32_t>(std::min(s->anchor, s->caret));
      auto hi = static_cast<uint32_t>(std::max(s->anchor, s->caret));
      if (wp) *reinterpret_cast<uint32_t*>(wp) = lo;
      if (lp) *reinterpret_cast<uint32_t*>(lp) = hi;
      return static_cast<LRESULT>(MAKELPARAM(static_cast<int32_t>(lo), static_cast<int32_t>(hi)));
    }
    case EM_SETSEL: {
      size_t size = GetWindowText(hwnd).size();
      intptr_t a = static_cast<intptr_t>(wp), b = lp;
      if (a < 0) {  // -1 removes the selection
        s->anchor = s->caret;
      } else {
        s->anchor = std::min<size_t>(static_cast<size_t>(a), size);
        s->caret = b < 0 ? size : std::min<size_t>(static_cast<size_t>(b), size);
      }
      scroll_to_caret(hwnd, s);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case EM_REPLACESEL: replace_selection(hwnd, s, lp ? reinterpret_cast<const char*>(lp) : ""); return 0;
    case EM_LIMITTEXT: s->limit = wp ? static_cast<size_t>(wp) : 0x7FFFFFFE; return 0;
    case EM_GETMODIFY: return s->modified;
    case EM_SETMODIFY: s->modified = wp != 0; return 0;
    case EM_SETPASSWORDCHAR:
      s->password = static_cast<char>(wp);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case EM_SETREADONLY:
      SetWindowLongPtr(hwnd, GWL_STYLE, wp ? style_of(hwnd) | ES_READONLY : style_of(hwnd) & ~ES_READONLY);
      InvalidateRect(hwnd, nullptr, false);
      return 1;
    case EM_UNDO: {
      std::string previous = s->undo;
      s->undo = GetWindowText(hwnd);
      set_text_quietly(hwnd, previous);
      s->caret = s->anchor = previous.size();
      changed(hwnd, s);
      return 1;
    }
    case WM_CUT:
      copy_selection(hwnd, s);
      replace_selection(hwnd, s, "");
      return 0;
    case WM_COPY: copy_selection(hwnd, s); return 0;
    case WM_PASTE: replace_selection(hwnd, s, get_clipboard_text()); return 0;
    case WM_CLEAR: replace_selection(hwnd, s, ""); return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

WNDPROC edit_window_proc() { return edit_proc; }

}  // namespace vrt::platform
