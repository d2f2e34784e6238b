// Lists as the browses use them: rows from the program's queue through the
// column pictures, scrolling reported to the procedure, columns resized
// with the mouse, the VCR buttons, and a drop list with columns.
#include <gtest/gtest.h>

#include <algorithm>

#include <cairo.h>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/controls/list_paint.h"
#include "runtime/window/controls/list_program.h"
#include "runtime/window/controls/list_rows_shown.h"
#include "tests/window/window_test_fixture.h"
#include "tests/window/window_test_support.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
namespace automation = vrt::platform::automation;

constexpr const char* kListModule = "vrttest$list01";
enum : int32_t { kCustomers = 1, kAmounts = 2, kPlain = 3, kDrop = 4, kWide = 5 };

class Lists : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Open(w);
    ASSERT_TRUE(w.is_open());
    events();  // what opening posted
  }
  HWND list(int32_t field) { return w.control(field)->hwnd(); }
  // The events posted so far, other than focus changes.
  std::vector<uint16_t> events() {
    PostEvent(w, event::Notify);
    std::vector<uint16_t> seen;
    pump(w, [&] {
      if (Event() != event::GainFocus && Event() != event::LoseFocus && Event() != event::Notify &&
          Event() != event::Selected)
        seen.push_back(Event());
      return Event() == event::Notify;
    });
    return seen;
  }
  void press(UINT vk, bool ctrl = false) {
    if (ctrl) inject_key(VK_CONTROL, true);
    inject_key(vk, true);
    inject_key(vk, false);
    if (ctrl) inject_key(VK_CONTROL, false);
    automation::settle();  // input comes after posted messages: let the list have it first
  }
  // Customers 1 to n: their number and name.
  void fill(ListQueue& q, int n) {
    for (int i = 1; i <= n; ++i) q.add({std::to_string(i * 1000), "Name " + std::to_string(i)});
  }
  POINT at(int32_t field, POINT client) { return automation::point_in_top(list(field), client); }
  HWND top() { return GetTopLevel(w.hwnd); }

  WindowObject w{kListModule, "P1$LISTS", WindowKind::Ordinary};
};

TEST_F(Lists, RowsComeFromTheQueueThroughTheColumnPictures) {
  ListQueue q;
  q.add({"1234567", "Smith", "ignored"});
  q.add({"5", "  Jones  "});
  ASSERT_TRUE(BindQueue(w, kCustomers, &q));
  std::vector<ListRowShown> rows = list_rows_shown(list(kCustomers));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"1,234,567", "Smith"}));
  EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"5", "Jones"}));
  EXPECT_FALSE(rows[0].selected);

  // A change shows when the window's variables are displayed.
  q.put(1, {"7", "Brown"});
  ASSERT_TRUE(SetListSelection(w, kCustomers, 2));
  Display(w);
  rows = list_rows_shown(list(kCustomers));
  EXPECT_EQ(rows[0].cells[1], "Brown");
  EXPECT_TRUE(rows[1].selected);
  EXPECT_EQ(ListSelection(w, kCustomers), 2);
  // The selection stays within a queue that shrank.
  q.remove(2);
  Display(w);
  EXPECT_EQ(ListSelection(w, kCustomers), 1);
}

// The top-level image's pixel at a point of a list's client area, as 0xRRGGBB.
class ListPixels {
 public:
  explicit ListPixels(HWND list) : list_(list), image_(top_level_image(GetTopLevel(list))) {
    cairo_surface_flush(image_);
  }
  ~ListPixels() { cairo_surface_destroy(image_); }
  uint32_t at(POINT client) const {
    POINT p = automation::point_in_top(list_, client);
    const uint8_t* data = cairo_image_surface_get_data(image_);
    return *reinterpret_cast<const uint32_t*>(data + p.y * cairo_image_surface_get_stride(image_) + p.x * 4) &
           0xFFFFFF;
  }
  static uint32_t rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

 private:
  HWND list_;
  cairo_surface_t* image_;
};

TEST_F(Lists, TheSelectedRowIsHighlightedAndLinesMarkColumnEdges) {
  ListQueue q;
  fill(q, 3);
  BindQueue(w, kCustomers, &q);
  SetListSelection(w, kCustomers, 2);
  ListQueue plain;
  plain.add({"x"});
  BindQueue(w, kPlain, &plain);
  UpdateWindow(w.hwnd);
  ListGeometry g = list_geometry(list(kCustomers), *list_state(list(kCustomers)));
  ListPixels pixels(list(kCustomers));
  int row2 = g.rows.top + g.row_height + g.row_height / 2;
  // The left end of each row is blank (the first column is right-justified).
  EXPECT_EQ(pixels.at({g.rows.left + 2, row2}), ListPixels::rgb(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(pixels.at({g.rows.left + 2, row2 - g.row_height}), ListPixels::rgb(GetSysColor(COLOR_WINDOW)));
  // "|": a line at the first column's right edge, below the rows too; none in a column without it.
  int edge = g.rows.left + w.units.x(64) - 1;
  int below = g.rows.top + 5 * g.row_height;
  EXPECT_EQ(pixels.at({edge, below}), ListPixels::rgb(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(pixels.at({edge - 2, below}), ListPixels::rgb(GetSysColor(COLOR_WINDOW)));
  ListGeometry plain_g = list_geometry(list(kPlain), *list_state(list(kPlain)));
  ListPixels plain_pixels(list(kPlain));
  EXPECT_EQ(plain_pixels.at({plain_g.rows.left + w.units.x(40) - 1, plain_g.rows.top + 3 * plain_g.row_height}),
            ListPixels::rgb(GetSysColor(COLOR_WINDOW)));
}

TEST_F(Lists, AColumnWithoutAPictureShowsThirtyCharactersOfText) {
  ListQueue q;
  q.add({"An address that runs well past thirty characters"});
  BindQueue(w, kPlain, &q);
  auto rows = list_rows_shown(list(kPlain));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].cells[0], "An address that runs well past");
}

TEST_F(Lists, AnEmptyQueueShowsNoRowsAndNoSelection) {
  ListQueue q;
  BindQueue(w, kCustomers, &q);
  EXPECT_TRUE(list_rows_shown(list(kCustomers)).empty());
  EXPECT_FALSE(SetListSelection(w, kCustomers, 1));
  EXPECT_EQ(ListSelection(w, kCustomers), 0);
  SetFocus(list(kCustomers));
  events();
  press(VK_DOWN);  // nothing to highlight: the procedure is asked for rows
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ScrollDown});
  EXPECT_EQ(ListSelection(w, kCustomers), 0);
  // A queue emptied after a selection leaves none.
  q.add({"1", "A"});
  Display(w);
  SetListSelection(w, kCustomers, 1);
  q.clear();
  Display(w);
  EXPECT_EQ(ListSelection(w, kCustomers), 0);
  EXPECT_TRUE(list_rows_shown(list(kCustomers)).empty());
}

TEST_F(Lists, AReportingListPostsScrollEventsForItsKeys) {
  ListQueue q;
  fill(q, 40);  // more than it shows
  BindQueue(w, kCustomers, &q);
  SetFocus(list(kCustomers));
  SetListSelection(w, kCustomers, 1);
  events();
  size_t visible = list_rows_shown(list(kCustomers)).size();
  ASSERT_GT(visible, 2u);
  ASSERT_LT(visible, 40u);

  // Within the rows shown the highlight moves; at their edge the procedure is asked.
  press(VK_UP);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ScrollUp});
  press(VK_DOWN);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::NewSelection});
  EXPECT_EQ(ListSelection(w, kCustomers), 2);
  SetListSelection(w, kCustomers, static_cast<int32_t>(visible));
  events();
  press(VK_DOWN);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ScrollDown});

  struct KeyEvent {
    UINT vk;
    bool ctrl;
    uint16_t event;
  } keys[] = {
      {VK_PRIOR, false, event::PageUp},     {VK_NEXT, false, event::PageDown},
      {VK_HOME, false, event::ScrollTop},   {VK_END, false, event::ScrollBottom},
      {VK_PRIOR, true, event::ScrollTop},   {VK_NEXT, true, event::ScrollBottom},
  };
  for (const KeyEvent& k : keys) {
    press(k.vk, k.ctrl);
    EXPECT_EQ(events(), std::vector<uint16_t>{k.event}) << k.vk << (k.ctrl ? " with Ctrl" : "");
  }
  // It never scrolled by itself: the procedure refills the queue.
  EXPECT_EQ(SendMessage(list(kCustomers), kListGetTop, 0, 0), 0);
  EXPECT_EQ(list_rows_shown(list(kCustomers))[0].cells[1], "Name 1");

  press(VK_RETURN);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::Accepted});
}

TEST_F(Lists, AListWithoutTheFlagScrollsItself) {
  ListQueue q;
  for (int i = 1; i <= 30; ++i) q.add({"Row " + std::to_string(i)});
  BindQueue(w, kPlain, &q);
  SetFocus(list(kPlain));
  SetListSelection(w, kPlain, 1);
  events();
  press(VK_END);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::NewSelection});
  EXPECT_EQ(ListSelection(w, kPlain), 30);
  auto rows = list_rows_shown(list(kPlain));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back().cells[0], "Row 30");
  EXPECT_TRUE(rows.back().selected);
}

TEST_F(Lists, ScrollBarClicksAndTheThumbReportToTheProcedure) {
  ListQueue q;
  fill(q, 5);
  BindQueue(w, kCustomers, &q);
  SetListThumb(w, kCustomers, 50);
  EXPECT_EQ(ListThumb(w, kCustomers), 50);
  ListGeometry g = list_geometry(list(kCustomers), *list_state(list(kCustomers)));
  ASSERT_GT(g.vbar.width(), 0) << "a reporting list always has its bar";
  int x = (g.vbar.left + g.vbar.right) / 2;
  automation::click_at(top(), at(kCustomers, {x, g.vbar.top + 2}));
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ScrollUp});
  automation::click_at(top(), at(kCustomers, {x, g.vbar.bottom - 2}));
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ScrollDown});
  EXPECT_EQ(ListThumb(w, kCustomers), 50) << "the bar moves only when the program moves it";
  // With Ctrl the arrows ask for the top and the bottom.
  inject_key(VK_CONTROL, true);
  automation::click_at(top(), at(kCustomers, {x, g.vbar.top + 2}));
  automation::click_at(top(), at(kCustomers, {x, g.vbar.bottom - 2}));
  inject_key(VK_CONTROL, false);
  EXPECT_EQ(events(), (std::vector<uint16_t>{event::ScrollTop, event::ScrollBottom}));

  // Dragging the thumb: tracked while it moves, released where the user leaves it.
  int middle = (g.vbar.top + g.vbar.bottom) / 2;
  automation::press_at(top(), at(kCustomers, {x, middle}));
  automation::move_to(top(), at(kCustomers, {x, middle + 20}));
  int dragged = ListThumb(w, kCustomers);
  EXPECT_GT(dragged, 50);
  automation::release_at(top(), at(kCustomers, {x, middle + 20}));
  std::vector<uint16_t> seen = events();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), event::ScrollTrack);
  EXPECT_EQ(seen.back(), event::ScrollDrag);
  EXPECT_EQ(ListThumb(w, kCustomers), dragged);

  // A range of the program's own.
  SetListThumbRange(w, kCustomers, 0, 10);
  EXPECT_EQ(ListThumb(w, kCustomers), 10);
  SetListThumb(w, kCustomers, -3);
  EXPECT_EQ(ListThumb(w, kCustomers), 0);
}

TEST_F(Lists, DraggingAResizableBorderResizesTheColumn) {
  ListQueue q;
  fill(q, 3);
  BindQueue(w, kCustomers, &q);
  int border = w.units.x(64);  // the first column's right edge, inside the list's border of 1
  int y = list_row_height() + 5;
  automation::move_to(top(), at(kCustomers, {border - 20, y}));
  EXPECT_EQ(current_cursor(), LoadCursor(IDC_ARROW));
  automation::move_to(top(), at(kCustomers, {border + 1, y}));
  EXPECT_EQ(current_cursor(), LoadCursor(IDC_SIZEWE)) << "the border shows it can be dragged";
  automation::press_at(top(), at(kCustomers, {border + 1, y}));
  automation::move_to(top(), at(kCustomers, {border + 31, y}));
  EXPECT_EQ(events(), std::vector<uint16_t>{}) << "nothing until the border is let go";
  automation::release_at(top(), at(kCustomers, {border + 31, y}));
  EXPECT_EQ(events(), std::vector<uint16_t>{event::ColumnResize});
  const ListState* s = list_state(list(kCustomers));
  EXPECT_NEAR(s->units.x(s->columns[0].width), w.units.x(64) + 30, w.units.base_x);

  // A column without "M" keeps its width.
  ListQueue plain;
  plain.add({"x"});
  BindQueue(w, kPlain, &plain);
  int plain_border = w.units.x(40) + 1, below_rows = list_row_height() * 3;
  automation::press_at(top(), at(kPlain, {plain_border, below_rows}));
  automation::release_at(top(), at(kPlain, {plain_border + 20, below_rows}));
  EXPECT_EQ(events(), std::vector<uint16_t>{});
  EXPECT_EQ(list_state(list(kPlain))->columns[0].width, 40);
}

TEST_F(Lists, TheVcrSwitchShowsButtonsThatScroll) {
  ListQueue q;
  fill(q, 3);
  BindQueue(w, kCustomers, &q);
  EXPECT_FALSE(ListVcr(w, kCustomers));
  EXPECT_FALSE(list_vcr(list(kCustomers)));
  size_t rows_before = list_rows_shown(list(kCustomers)).size();
  ASSERT_TRUE(SetListVcr(w, kCustomers, true));
  EXPECT_TRUE(ListVcr(w, kCustomers));
  EXPECT_TRUE(list_vcr(list(kCustomers)));
  const ListState* s = list_state(list(kCustomers));
  ListGeometry g = list_geometry(list(kCustomers), *s);
  ASSERT_GT(g.vcr.height(), 0);
  uint16_t expected[kVcrButtons] = {event::ScrollTop,  event::PageUp,   event::ScrollUp,
                                    event::ScrollDown, event::PageDown, event::ScrollBottom};
  for (int i = 0; i < kVcrButtons; ++i) {
    RECT b = vcr_button(g, i);
    automation::click_at(top(), at(kCustomers, {(b.left + b.right) / 2, (b.top + b.bottom) / 2}));
    EXPECT_EQ(events(), std::vector<uint16_t>{expected[i]}) << "button " << i;
  }
  SetListVcr(w, kCustomers, false);
  EXPECT_FALSE(ListVcr(w, kCustomers));
  EXPECT_EQ(list_geometry(list(kCustomers), *s).vcr.height(), 0);
  EXPECT_EQ(list_rows_shown(list(kCustomers)).size(), rows_before);
}

TEST_F(Lists, DecimalPointsAlignAtTheOffsetFromTheRightEdge) {
  HDC dc = GetDC(list(kAmounts));
  if (auto font = reinterpret_cast<HGDIOBJ>(SendMessage(list(kAmounts), WM_GETFONT, 0, 0))) SelectObject(dc, font);
  RECT cell{100, 0, 100 + w.units.x(52), 16};
  int point_at = cell.right - w.units.x(20);
  for (std::string_view amount : {"1.50", "1,234.05", "-987,654.32", "0.00"}) {
    int left = cell_text_left(dc, Justify::Decimal, 20, w.units, cell, amount);
    EXPECT_EQ(left + GetTextExtentPoint32(dc, amount.substr(0, amount.find('.'))).cx, point_at) << amount;
  }
  // Without a point the text ends where the point would be.
  int left = cell_text_left(dc, Justify::Decimal, 20, w.units, cell, "42");
  EXPECT_EQ(left + GetTextExtentPoint32(dc, "42").cx, point_at);
  // The other justifications, for comparison.
  EXPECT_EQ(cell_text_left(dc, Justify::Left, 2, w.units, cell, "ab"), cell.left + w.units.x(2));
  EXPECT_EQ(cell_text_left(dc, Justify::Right, 2, w.units, cell, "ab"),
            cell.right - w.units.x(2) - GetTextExtentPoint32(dc, "ab").cx);
  ReleaseDC(list(kAmounts), dc);

  // And the list shows the amounts through their picture.
  ListQueue q;
  q.add({"80000", "1234.5"});
  BindQueue(w, kAmounts, &q);
  EXPECT_EQ(list_rows_shown(list(kAmounts))[0].cells[1], "1,234.50");
}

// Widths are remembered between repaints; a new font measures afresh, or
// the right-justified and decimal columns would stand where the old font put them.
TEST_F(Lists, WidthsKeptBetweenRepaintsAreForgottenWithTheFont) {
  HWND h = list(kAmounts);
  ListState* s = list_state(h);
  HDC dc = GetDC(h);
  HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(h, WM_GETFONT, 0, 0)));
  EXPECT_EQ(s->widths.of(dc, "1,234"), GetTextExtentPoint32(dc, "1,234").cx);
  LOGFONT big;
  big.lfHeight = -30;
  HFONT font = CreateFontIndirect(big);
  SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SelectObject(dc, font);
  int wide = GetTextExtentPoint32(dc, "1,234").cx;
  EXPECT_EQ(s->widths.of(dc, "1,234"), wide);
  SelectObject(dc, before);
  ReleaseDC(h, dc);
  SendMessage(h, WM_SETFONT, 0, 0);
  DeleteObject(font);
}

TEST_F(Lists, ADropListShowsItsChosenRowInColumns) {
  ListQueue q;
  q.add({"Adams", "12"});
  q.add({"Baker", "7"});
  BindQueue(w, kDrop, &q);
  EXPECT_TRUE(list_rows_shown(list(kDrop)).empty());
  ASSERT_TRUE(SetListSelection(w, kDrop, 2));
  auto rows = list_rows_shown(list(kDrop));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].selected);
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"Baker", "7"}));

  // Its flag 0x800 asks for no scroll events: the keys choose.
  SetFocus(list(kDrop));
  events();
  press(VK_UP);
  EXPECT_EQ(events(), std::vector<uint16_t>{event::NewSelection});
  EXPECT_EQ(list_rows_shown(list(kDrop))[0].cells[0], "Adams");
  press(VK_UP);
  EXPECT_EQ(events(), std::vector<uint16_t>{});
}

TEST_F(Lists, ColumnsWiderThanTheListScrollSideways) {
  ListQueue q;
  q.add({"a", "b", "c"});
  BindQueue(w, kWide, &q);
  ListState* s = list_state(list(kWide));
  ListGeometry g = list_geometry(list(kWide), *s);
  ASSERT_GT(g.hbar.height(), 0);
  EXPECT_EQ(list_geometry(list(kCustomers), *list_state(list(kCustomers))).hbar.height(), 0) << "its columns fit";
  int most = g.columns_width - g.rows.width();
  ASSERT_GT(most, 0);
  int y = (g.hbar.top + g.hbar.bottom) / 2;
  // The thumb, at the start, dragged to the far end shows the last column's right edge.
  int arrow = std::min(g.hbar.height(), g.hbar.width() / 2);
  automation::press_at(top(), at(kWide, {g.hbar.left + arrow + 2, y}));
  automation::move_to(top(), at(kWide, {g.hbar.right, y}));
  automation::release_at(top(), at(kWide, {g.hbar.right, y}));
  EXPECT_EQ(s->left, most);
  EXPECT_EQ(column_left(*s, g, 2) + column_width(*s, 2), g.rows.right);
  // An arrow moves them back a step.
  automation::click_at(top(), at(kWide, {g.hbar.left + 2, y}));
  EXPECT_GT(s->left, 0);
  EXPECT_LT(s->left, most);
  EXPECT_EQ(events(), std::vector<uint16_t>{}) << "sideways is the list's own business";
}

TEST_F(Lists, ADoubleClickOnARowAcceptsIt) {
  ListQueue q;
  fill(q, 40);
  BindQueue(w, kCustomers, &q);
  automation::double_click(list(kCustomers));
  std::vector<uint16_t> seen = events();
  EXPECT_EQ(seen, (std::vector<uint16_t>{event::NewSelection, event::Accepted}));
  EXPECT_GT(ListSelection(w, kCustomers), 1);
  // On the bar's arrow it is two clicks, not a choice.
  ListGeometry g = list_geometry(list(kCustomers), *list_state(list(kCustomers)));
  POINT arrow = at(kCustomers, {(g.vbar.left + g.vbar.right) / 2, g.vbar.bottom - 2});
  automation::click_at(top(), arrow);
  inject_mouse_button(top(), arrow, 0, true);
  inject_mouse_button(top(), arrow, 0, false);
  automation::settle();
  EXPECT_EQ(events(), (std::vector<uint16_t>{event::ScrollDown, event::ScrollDown}));
}

// A resource is untrusted: widths past any screen and thousands of columns
// paint without overflowing a pixel sum (the sanitizer build watches) and
// without walking every column for every cell.
TEST_F(Lists, AHostileFormatPaintsWithinBounds) {
  std::string format;
  for (int i = 0; i < 3000; ++i) format += "99999999999999999999R(99999999999)|M~h~D(-99999999999)@n-14@";
  test::register_compiled("list_hostile", "module \"vrttest$hostile\"\nwindow \"P1$HOSTILE\" at=0,0,200,100\n"
                                          "  list format=\"" + format + "\" at=2,2,190,90 flags=0x803\nend\n");
  WindowObject hostile("vrttest$hostile", "P1$HOSTILE", WindowKind::Ordinary);
  Open(hostile);
  ASSERT_TRUE(hostile.is_open());
  HWND h = hostile.control(1)->hwnd();
  const ListState* s = list_state(h);
  ASSERT_EQ(s->columns.size(), 3000u);
  EXPECT_EQ(s->columns[0].width, kMaxListUnits);
  EXPECT_EQ(s->columns[0].offset, kMaxListUnits);
  ListQueue q;
  q.add({"12345.5", "1"});
  BindQueue(hostile, 1, &q);
  UpdateWindow(h);
  EXPECT_GT(list_geometry(h, *s).columns_width, 0);
  auto rows = list_rows_shown(h);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].cells[0], "12,346");
  Close(hostile);
}

}  // namespace
}  // namespace vrt::window
