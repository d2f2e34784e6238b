#include "runtime/window/controls/list_control.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/list_paint.h"
#include "runtime/window/controls/list_rows_shown.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kListState = "ZorListState";

int entries(const ListState* s) { return static_cast<int>(s->queue->size()); }

void notify(HWND h, UINT code) {
  SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(GetDlgCtrlID(h)), code),
              reinterpret_cast<LPARAM>(h));
}

void redraw(HWND h) { InvalidateRect(h, nullptr, false); }

// Highlights an entry (kept in view when the list scrolls itself).
void choose(HWND h, ListState* s, int row) {
  s->right_clicked = false;
  if (entries(s) == 0) return;
  row = std::clamp(row, 0, entries(s) - 1);
  int visible = list_geometry(h, *s).visible_rows;
  if (row < s->top) s->top = row;
  if (row >= s->top + visible) s->top = row - visible + 1;
  redraw(h);
  if (row == s->selected) return;
  s->selected = row;
  notify(h, LBN_SELCHANGE);
}

// What the user asked for: a list that reports its scrolling tells the
// procedure; another scrolls itself.
enum class Move { LineUp, LineDown, PageUp, PageDown, Top, Bottom };
struct MoveNote {
  Move move;
  UINT note;
};
constexpr MoveNote kMoveNotes[] = {
    {Move::LineUp, kListScrollUp},   {Move::LineDown, kListScrollDown}, {Move::PageUp, kListPageUp},
    {Move::PageDown, kListPageDown}, {Move::Top, kListScrollTop},       {Move::Bottom, kListScrollBottom},
};

void scroll_itself(HWND h, ListState* s, Move m) {
  int visible = list_geometry(h, *s).visible_rows;
  int last_top = std::max(0, entries(s) - visible);
  switch (m) {
    case Move::LineUp: s->top -= 1; break;
    case Move::LineDown: s->top += 1; break;
    case Move::PageUp: s->top -= visible; break;
    case Move::PageDown: s->top += visible; break;
    case Move::Top: s->top = 0; break;
    case Move::Bottom: s->top = last_top; break;
  }
  s->top = std::clamp(s->top, 0, last_top);
  redraw(h);
}

void move(HWND h, ListState* s, Move m) {
  if (!s->reports_scrolling) return scroll_itself(h, s, m);
  for (const MoveNote& n : kMoveNotes)
    if (n.move == m) notify(h, n.note);
}

// Keys: the highlight moves within the rows shown; at their edge (or for
// the page and end keys) the list moves, or asks the procedure to.
// Keys a procedure that pages its own rows acts on (a browse's Insert,
// Delete and Ctrl+Enter, and typed characters for its locator).
void alert(HWND h, ListState* s, int32_t key) {
  s->alert_key = key;
  notify(h, kListAlertKey);
}

void key(HWND h, ListState* s, WPARAM vk) {
  int visible = list_geometry(h, *s).visible_rows;
  bool ctrl = GetKeyState(VK_CONTROL);
  int last_shown = std::min(entries(s), s->top + visible) - 1;
  switch (vk) {
    case VK_UP:
      if (s->selected > s->top) return choose(h, s, s->selected - 1);
      if (s->selected < 0 && entries(s) > 0) return choose(h, s, s->top);
      if (s->reports_scrolling) return move(h, s, Move::LineUp);
      return choose(h, s, s->selected - 1);
    case VK_DOWN:
      if (s->selected >= s->top && s->selected < last_shown) return choose(h, s, s->selected + 1);
      if (s->selected < 0 && entries(s) > 0) return choose(h, s, s->top);
      if (s->reports_scrolling) return move(h, s, Move::LineDown);
      return choose(h, s, s->selected + 1);
    case VK_PRIOR:
      if (s->reports_scrolling) return move(h, s, ctrl ? Move::Top : Move::PageUp);
      return choose(h, s, ctrl ? 0 : s->selected - visible);
    case VK_NEXT:
      if (s->reports_scrolling) return move(h, s, ctrl ? Move::Bottom : Move::PageDown);
      return choose(h, s, ctrl ? entries(s) - 1 : s->selected + visible);
    case VK_HOME:
      if (s->reports_scrolling) return move(h, s, Move::Top);
      return choose(h, s, 0);
    case VK_END:
      if (s->reports_scrolling) return move(h, s, Move::Bottom);
      return choose(h, s, entries(s) - 1);
    case VK_RETURN:
      if (ctrl && s->reports_scrolling) return alert(h, s, kListCtrl | VK_RETURN);
      if (s->selected >= 0) notify(h, LBN_DBLCLK);
      return;
    case VK_INSERT:
    case VK_DELETE:
      if (s->reports_scrolling) alert(h, s, static_cast<int32_t>(vk));
      return;
    default: return;
  }
}

// The drop-down form: its rows as a popup below it.
void drop_down(HWND h, ListState* s) {
  if (entries(s) == 0) return;
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < entries(s); ++i) {
    std::string text;
    for (size_t k = 0; k < s->columns.size(); ++k) {
      std::string cell = cell_text(*s, static_cast<size_t>(i), k);
      if (!cell.empty()) text += (text.empty() ? "" : "  ") + cell;
    }
    AppendMenu(menu, MF_STRING | (i == s->selected ? UINT{MF_CHECKED} : 0u), static_cast<UINT>(i) + 1, text);
  }
  RECT r = GetWindowRect(h);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD, r.left, r.bottom, h);
  DestroyMenu(menu);
  if (chosen) choose(h, s, static_cast<int>(chosen) - 1);
}

void set_thumb(HWND h, ListState* s, int position) {
  s->thumb = std::clamp(position, s->thumb_min, std::max(s->thumb_min, s->thumb_max));
  redraw(h);
}

void bar_click(HWND h, ListState* s, const ListGeometry& g, POINT p) {
  ListBar b = vertical_bar(*s, g);
  bool ctrl = GetKeyState(VK_CONTROL);  // with Ctrl the arrows go to the top and the bottom
  switch (scroll_bar_part(g.vbar, true, b.min, b.max, b.page, b.pos, p)) {
    case SB_LINEUP: return move(h, s, ctrl ? Move::Top : Move::LineUp);
    case SB_LINEDOWN: return move(h, s, ctrl ? Move::Bottom : Move::LineDown);
    case SB_PAGEUP: return move(h, s, Move::PageUp);
    case SB_PAGEDOWN: return move(h, s, Move::PageDown);
    default: {
      int top, length;
      thumb_extent(*s, g, &top, &length);
      s->drag = ListDrag::Thumb;
      s->drag_grab = std::clamp(p.y - top, 0, length);
      SetCapture(h);
      return;
    }
  }
}

// The horizontal bar scrolls the columns by itself, whatever the flags.
void hbar_click(HWND h, ListState* s, const ListGeometry& g, POINT p) {
  int most = std::max(0, g.columns_width - g.rows.width());
  switch (scroll_bar_part(g.hbar, false, 0, std::max(0, g.columns_width - 1), g.rows.width(), s->left, p)) {
    case SB_LINEUP: s->left -= scaled(16); break;
    case SB_LINEDOWN: s->left += scaled(16); break;
    case SB_PAGEUP: s->left -= g.rows.width(); break;
    case SB_PAGEDOWN: s->left += g.rows.width(); break;
    default: {
      int arrow = bar_arrow(g.hbar, false), start, length;
      scroll_thumb(g.hbar.width() - 2 * arrow, 0, std::max(0, g.columns_width - 1), g.rows.width(), s->left, &start,
                   &length);
      s->drag = ListDrag::HorizontalThumb;
      s->drag_grab = p.x - (g.hbar.left + arrow + start);
      SetCapture(h);
    }
  }
  s->left = std::clamp(s->left, 0, most);
  redraw(h);
}

// The columns scrolled so that the horizontal thumb's left edge is at x.
void drag_horizontal(HWND h, ListState* s, const ListGeometry& g, int x) {
  int arrow = bar_arrow(g.hbar, false), start, length;
  scroll_thumb(g.hbar.width() - 2 * arrow, 0, std::max(0, g.columns_width - 1), g.rows.width(), s->left, &start,
               &length);
  int free = std::max(1, g.hbar.width() - 2 * arrow - length);
  int most = std::max(0, g.columns_width - g.rows.width());
  int along = std::clamp(x - g.hbar.left - arrow, 0, free);
  s->left = static_cast<int>(int64_t{most} * along / free);
  redraw(h);
}

constexpr Move kVcrMoves[kVcrButtons] = {Move::Top, Move::PageUp, Move::LineUp, Move::LineDown, Move::PageDown,
                                         Move::Bottom};

void button_down(HWND h, ListState* s, POINT p) {
  SetFocus(h);
  if (s->drop) return drop_down(h, s);
  ListGeometry g = list_geometry(h, *s);
  if (g.vbar.contains(p)) return bar_click(h, s, g, p);
  if (g.hbar.contains(p)) return hbar_click(h, s, g, p);
  if (g.vcr.contains(p)) {
    for (int i = 0; i < kVcrButtons; ++i)
      if (vcr_button(g, i).contains(p)) return move(h, s, kVcrMoves[i]);
    return;
  }
  if (int k = resizable_border_at(*s, g, p.x); k >= 0 && p.y < g.rows.bottom) {
    s->drag = ListDrag::Border;
    s->drag_column = k;
    s->drag_x = p.x;
    SetCapture(h);
    return redraw(h);
  }
  if (g.rows.contains(p)) {
    int row = s->top + (p.y - g.rows.top) / g.row_height;
    if (row < entries(s)) choose(h, s, row);
  }
}

// The right button chooses the row under it and always tells the window,
// even on the row already chosen or on an empty list: the procedure shows
// its popup menu for the row.
void right_button_down(HWND h, ListState* s, POINT p) {
  SetFocus(h);
  if (s->drop) return;
  ListGeometry g = list_geometry(h, *s);
  if (!g.rows.contains(p)) return;
  int row = s->top + (p.y - g.rows.top) / g.row_height;
  if (row < entries(s)) s->selected = row;
  s->right_clicked = true;
  redraw(h);
  notify(h, LBN_SELCHANGE);
}

void mouse_move(HWND h, ListState* s, POINT p) {
  ListGeometry g = list_geometry(h, *s);
  if (s->drag == ListDrag::Thumb) {
    int32_t at = bar_position_at(*s, g, p.y - s->drag_grab);
    if (s->reports_scrolling) {
      if (at == s->thumb) return;
      set_thumb(h, s, at);
      notify(h, kListScrollTrack);
    } else {
      s->top = std::clamp(at, 0, std::max(0, entries(s) - g.visible_rows));
      redraw(h);
    }
  } else if (s->drag == ListDrag::HorizontalThumb) {
    drag_horizontal(h, s, g, p.x - s->drag_grab);
  } else if (s->drag == ListDrag::Border) {
    s->drag_x = std::max(column_left(*s, g, static_cast<size_t>(s->drag_column)) + 1, p.x);
    redraw(h);
  }
}

void button_up(HWND h, ListState* s) {
  ListDrag was = std::exchange(s->drag, ListDrag::None);
  if (was == ListDrag::None) return;
  ReleaseCapture();
  if (was == ListDrag::Thumb) {
    if (s->reports_scrolling) notify(h, kListScrollDrag);
    return;
  }
  if (was == ListDrag::HorizontalThumb) return;
  ListGeometry g = list_geometry(h, *s);
  auto k = static_cast<size_t>(s->drag_column);
  int pixels = s->drag_x - column_left(*s, g, k);
  s->columns[k].width = std::clamp(pixels * 4 / std::max(1, s->units.base_x), 1, kMaxListUnits);
  g = list_geometry(h, *s);
  s->left = std::clamp(s->left, 0, std::max(0, g.columns_width - g.rows.width()));
  redraw(h);
  notify(h, kListColumnResized);
}

void set_format(HWND h, ListState* s, std::string_view format) {
  s->columns = parse_list_format(format).columns;
  if (s->columns.empty()) {  // no columns: one as wide as the list
    s->columns.emplace_back();
    s->columns.back().width = GetClientRect(h).width() * 4 / std::max(1, s->units.base_x);
  }
  s->pictures.clear();
  for (const ListColumn& c : s->columns) s->pictures.push_back(core::compile_picture(c.picture));
  redraw(h);
}

// A changed queue: the selection stays within it.
void refresh(HWND h, ListState* s) {
  if (s->queue->changes() == s->shown_changes) return;
  s->shown_changes = s->queue->changes();
  if (s->selected >= entries(s)) s->selected = entries(s) - 1;
  s->top = std::clamp(s->top, 0, std::max(0, entries(s) - 1));
  redraw(h);
}

void rows_shown(HWND h, ListState* s, std::vector<ListRowShown>* out) {
  ListGeometry g = list_geometry(h, *s);
  int first = s->drop ? std::max(s->selected, 0) : s->top;
  int count = s->drop ? (s->selected >= 0 ? 1 : 0) : std::min(entries(s) - s->top, g.visible_rows);
  for (int i = 0; i < count; ++i) {
    ListRowShown row{first + i == s->selected, {}};
    for (size_t k = 0; k < s->columns.size(); ++k) row.cells.push_back(cell_text(*s, static_cast<size_t>(first + i), k));
    out->push_back(std::move(row));
  }
}

// Where a user grabs the thumb (its middle) and where he lets it go to
// leave it at `percent` of its track.
bool thumb_drag(HWND h, ListState* s, int percent, POINT* grab_drop) {
  ListGeometry g = list_geometry(h, *s);
  if (g.vbar.empty()) return false;
  int top, length;
  thumb_extent(*s, g, &top, &length);
  int arrow = bar_arrow(g.vbar, true);
  int free = g.vbar.height() - 2 * arrow - length;
  int x = (g.vbar.left + g.vbar.right) / 2;
  grab_drop[0] = {x, top + length / 2};
  grab_drop[1] = {x, g.vbar.top + arrow + (free * std::clamp(percent, 0, 100) + 50) / 100 + length / 2};
  return true;
}

LRESULT list_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  ListState* s = list_state(h);
  switch (m) {
    case WM_NCCREATE:
      s = new ListState;
      s->drop = GetClassName(h) == kZorDrop;
      SetProp(h, kListState, reinterpret_cast<uintptr_t>(s));
      set_format(h, s, "");
      return 1;
    case WM_NCDESTROY:
      delete s;
      RemoveProp(h, kListState);
      return 0;
    case WM_PAINT: paint_list(h, *s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
      s->focused = true;
      redraw(h);
      notify(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      redraw(h);
      return 0;
    case WM_LBUTTONDOWN: button_down(h, s, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_RBUTTONDOWN: right_button_down(h, s, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_MOUSEMOVE: mouse_move(h, s, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_LBUTTONUP: button_up(h, s); return 0;
    case WM_LBUTTONDBLCLK: {
      // On a row it chooses; on the bars and buttons it is one more click.
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (s->drop) return 0;
      ListGeometry g = list_geometry(h, *s);
      if (!g.rows.contains(p)) button_down(h, s, p);
      else if (s->selected >= 0) notify(h, LBN_DBLCLK);
      return 0;
    }
    case WM_SETCURSOR: {
      // Over a border that can be dragged the cursor says so.
      POINT p = ScreenToClient(h, GetCursorPos());
      ListGeometry g = list_geometry(h, *s);
      bool border = !s->drop && (g.rows.contains(p) || g.header.contains(p)) && resizable_border_at(*s, g, p.x) >= 0;
      if (!border && s->drag != ListDrag::Border) return DefWindowProc(h, m, wp, lp);
      SetCursor(LoadCursor(IDC_SIZEWE));
      return 1;
    }
    case WM_MOUSEWHEEL:
      if (!s->drop) move(h, s, static_cast<int16_t>(HIWORD(wp)) > 0 ? Move::LineUp : Move::LineDown);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (s->drop && (wp == VK_F4 || (wp == VK_DOWN && m == WM_SYSKEYDOWN))) {
        drop_down(h, s);
        return 0;
      }
      if (m == WM_KEYDOWN) key(h, s, wp);
      return DefWindowProc(h, m, wp, lp);
    case WM_CHAR:
      if (s->reports_scrolling && wp >= 0x20 && wp != 0x7F && wp < 0x100)
        alert(h, s, kListCharacterKey | static_cast<int32_t>(wp));
      return 0;
    case kListGetAlertKey: return s->alert_key;
    case WM_SETFONT:
      s->widths.clear();  // measured in the old font
      return DefWindowProc(h, m, wp, lp);
    case kListSetFormat:
      s->reports_scrolling = (wp & kFlagReport) && !s->drop;  // a drop list just chooses
      set_format(h, s, lp ? reinterpret_cast<const char*>(lp) : "");
      return 0;
    case kListBindQueue:
      s->queue = lp ? reinterpret_cast<const ListQueue*>(lp) : &s->own;
      s->shown_changes = s->queue->changes() - 1;
      s->selected = -1;
      s->top = 0;
      refresh(h, s);
      return 1;
    case kListRefresh: refresh(h, s); return 0;
    case kListSetThumb: set_thumb(h, s, static_cast<int>(wp)); return 1;
    case kListGetThumb: return s->thumb;
    case kListSetThumbRange:
      s->thumb_min = static_cast<int>(wp);
      s->thumb_max = std::max(s->thumb_min, static_cast<int>(lp));
      set_thumb(h, s, s->thumb);
      return 1;
    case kListSetVcr:
      s->vcr = wp != 0;
      redraw(h);
      return 1;
    case kListGetVcr: return s->vcr;
    case kListGetTop: return s->top;
    case kListGetVisibleRows: return list_geometry(h, *s).visible_rows;
    case kListGetRightClicked: return s->right_clicked;
    case kListRowsShown: rows_shown(h, s, reinterpret_cast<std::vector<ListRowShown>*>(lp)); return 1;
    case kListThumbDrag: return thumb_drag(h, s, static_cast<int>(wp), reinterpret_cast<POINT*>(lp));
    case LB_ADDSTRING:
      s->own.add({lp ? reinterpret_cast<const char*>(lp) : ""});
      refresh(h, s);
      return entries(s) - 1;
    case LB_RESETCONTENT:
      s->own.clear();
      s->selected = -1;
      s->top = 0;
      refresh(h, s);
      return 0;
    case LB_GETCOUNT: return entries(s);
    case LB_GETCURSEL: return s->selected;
    case LB_SETCURSEL:
      if (static_cast<int64_t>(wp) >= entries(s) || static_cast<int64_t>(wp) < -1) return -1;
      s->selected = static_cast<int>(wp);
      if (s->selected >= 0) choose(h, s, s->selected);
      redraw(h);
      return s->selected;
    case LB_GETTEXTLEN:
      if (wp >= s->queue->size()) return -1;
      return s->queue->get(wp + 1).empty() ? 0 : static_cast<LRESULT>(s->queue->get(wp + 1)[0].size());
    case LB_GETTEXT: {
      if (wp >= s->queue->size() || !lp) return -1;
      const ListQueue::Entry& e = s->queue->get(wp + 1);
      std::string first = e.empty() ? "" : e[0];
      std::memcpy(reinterpret_cast<char*>(lp), first.c_str(), first.size() + 1);
      return static_cast<LRESULT>(first.size());
    }
    default: return DefWindowProc(h, m, wp, lp);
  }
}

class ListControl : public Control {
 public:
  ListControl(const ResourceBuffer& b, uint32_t record)
      : Control(b, record), drop_(b.field(record, "drop") != 0), format_(b.text(b.field(record, "format"))) {}
  void create(WindowObject& owner, HWND parent, const RECT& at) override {
    uint32_t style = WS_CHILD | WS_TABSTOP;
    if (!(flags() & kFlagHidden)) style |= WS_VISIBLE;
    if (flags() & kFlagDisabled) style |= WS_DISABLED;
    hwnd_ = CreateWindow(drop_ ? kZorDrop : kZorList, "", style, at.left, at.top, at.right - at.left,
                         at.bottom - at.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(field())));
    if (!hwnd_) return;
    if (owner.font) SendMessage(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), 0);
    list_state(hwnd_)->units = owner.units;
    SendMessage(hwnd_, kListSetFormat, flags(), reinterpret_cast<LPARAM>(format_.c_str()));
  }
  bool shows_binding() const override { return true; }
  void show_variable() override {
    if (hwnd_) SendMessage(hwnd_, kListRefresh, 0, 0);
  }

 private:
  bool drop_;
  std::string format_;
};

}  // namespace

ListState* list_state(HWND h) { return reinterpret_cast<ListState*>(GetProp(h, kListState)); }

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
