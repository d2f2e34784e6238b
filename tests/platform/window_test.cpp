#include <cairo.h>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/theme.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

class Windows : public GuiTest {};

TEST_F(Windows, CreationAndDestructionSequences) {
  HWND parent = CreateWindow("Logged", "parent", WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr);
  HWND child = CreateWindow("Logged", "child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, parent, reinterpret_cast<HMENU>(9));
  const std::vector<UINT> creation{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
  EXPECT_EQ(log().of(parent, creation), creation);
  EXPECT_EQ(log().of(child, creation), creation);
  EXPECT_EQ(log().of(parent, {WM_PARENTNOTIFY}).size(), 1u);
  log().clear();
  DestroyWindow(parent);
  // WM_DESTROY goes parent first, WM_NCDESTROY child first.
  auto heard = log().take();
  std::vector<std::pair<HWND, UINT>> order;
  for (const Heard& h : heard)
    if (h.msg == WM_DESTROY || h.msg == WM_NCDESTROY) order.emplace_back(h.hwnd, h.msg);
  std::vector<std::pair<HWND, UINT>> expected{
      {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(Windows, CreateRefusedByTheProcedureLeavesNothing) {
  WNDCLASS wc;
  wc.lpszClassName = "Refuses";
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l);
  };
  RegisterClass(wc);
  EXPECT_EQ(CreateWindow("Refuses", "x", 0, 0, 0, 10, 10, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindow("NoSuchClass", "x", 0, 0, 0, 10, 10, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindow("Logged", "x", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr), nullptr);
}

TEST_F(Windows, TreeZOrderTextAndProperties) {
  HWND p = CreateWindow("Logged", "p", 0, 0, 0, 100, 100, nullptr, nullptr);
  HWND a = CreateWindow("Logged", "a", WS_CHILD, 0, 0, 10, 10, p, reinterpret_cast<HMENU>(1));
  HWND b = CreateWindow("Logged", "b", WS_CHILD, 0, 0, 10, 10, p, reinterpret_cast<HMENU>(2));
  EXPECT_EQ(GetWindow(p, GW_CHILD), b);  // the newest is on top
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  BringWindowToTop(a);
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetDlgItem(p, 2), b);
  EXPECT_EQ(GetDlgCtrlID(a), 1);
  EXPECT_TRUE(IsChild(p, a));
  EXPECT_EQ(GetParent(a), p);
  SetWindowText(a, "hello");
  EXPECT_EQ(GetWindowText(a), "hello");
  EXPECT_TRUE(SetProp(a, "Tag", 42));
  EXPECT_EQ(GetProp(a, "TAG"), 42u);
  EXPECT_EQ(RemoveProp(a, "tag"), 42u);
  EXPECT_EQ(GetProp(a, "tag"), 0u);
}

WNDPROC g_old = nullptr;
int g_seen_by_subclass = 0;
LRESULT subclass(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 5) ++g_seen_by_subclass;
  return CallWindowProc(g_old, h, m, w, l);
}

TEST_F(Windows, SubclassingSeesMessagesFirst) {
  HWND w = CreateWindow("Logged", "w", 0, 0, 0, 10, 10, nullptr, nullptr);
  g_old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<intptr_t>(subclass)));
  log().clear();
  SendMessage(w, WM_USER + 5, 0, 0);
  EXPECT_EQ(g_seen_by_subclass, 1);
  EXPECT_EQ(log().count(w, WM_USER + 5), 1);  // and the old procedure still hears it
}

TEST_F(Windows, OwnedWindowsGoWithTheirOwner) {
  HWND owner = CreateWindow("Logged", "owner", 0, 0, 0, 10, 10, nullptr, nullptr);
  HWND owned = CreateWindow("Logged", "owned", WS_POPUP, 0, 0, 10, 10, owner, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(Windows, DisabledWindowsIgnoreClicks) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr);
  HWND c = CreateWindow("Logged", "c", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, nullptr);
  EnableWindow(c, false);
  EXPECT_FALSE(IsWindowEnabled(c));
  log().clear();
  automation::click(c);
  EXPECT_EQ(log().count(c, WM_LBUTTONDOWN), 0);
  EnableWindow(c, true);
  automation::click(c);
  EXPECT_EQ(log().count(c, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(log().count(c, WM_LBUTTONUP), 1);
}

TEST_F(Windows, ClickOnADisabledOwnerBringsItsModalWindowForward) {
  HWND owner = CreateWindow("Logged", "owner", WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr);
  HWND modal = CreateWindow("Logged", "modal", WS_VISIBLE | WS_POPUP, 400, 0, 100, 100, owner, nullptr);
  EnableWindow(owner, false);
  SetActiveWindow(nullptr);
  log().clear();
  automation::click(owner);
  EXPECT_EQ(GetActiveWindow(), modal);
  EXPECT_EQ(log().count(owner, WM_LBUTTONDOWN), 0);
}

TEST_F(Windows, DoubleClicksNeedTheClassStyle) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr);
  log().clear();
  automation::double_click(top);
  EXPECT_EQ(log().count(top, WM_LBUTTONDBLCLK), 1);
}

TEST_F(Windows, FocusMovesWithKillThenSet) {
  HWND top = CreateWindow("Logged", "t", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr);
  HWND a = CreateWindow("Logged", "a", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr);
  HWND b = CreateWindow("Logged", "b", WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top, nullptr);
  SetFocus(a);
  log().clear();
  SetFocus(b);
  auto heard = log().take();
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(heard[0].hwnd, a);
  EXPECT_EQ(heard[0].msg, WM_KILLFOCUS);
  EXPECT_EQ(heard[1].hwnd, b);
  EXPECT_EQ(heard[1].msg, WM_SETFOCUS);
  EXPECT_EQ(GetFocus(), b);
  DestroyWindow(b);
  EXPECT_NE(GetFocus(), b);
}

TEST_F(Windows, ActivationDeactivatesTheOldWindowFirst) {
  HWND one = CreateWindow("Logged", "one", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr);
  HWND two = CreateWindow("Logged", "two", WS_VISIBLE, 100, 0, 50, 50, nullptr, nullptr);
  EXPECT_EQ(GetActiveWindow(), two);
  log().clear();
  automation::click(one);
  EXPECT_EQ(GetActiveWindow(), one);
  auto heard = log().take();
  std::vector<std::pair<HWND, UINT>> order;
  for (const Heard& h : heard)
    if (h.msg == WM_ACTIVATE || h.msg == WM_NCACTIVATE) order.emplace_back(h.hwnd, h.msg);
  std::vector<std::pair<HWND, UINT>> expected{
      {two, WM_NCACTIVATE}, {two, WM_ACTIVATE}, {one, WM_NCACTIVATE}, {one, WM_ACTIVATE}};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(GetTopLevelWindows().front(), one);
}

// A window class that paints its background in one colour.
WNDCLASS solid_class(const char* name, COLORREF colour) {
  WNDCLASS c;
  c.lpszClassName = name;
  c.lpfnWndProc = DefWindowProc;
  c.hbrBackground = CreateSolidBrush(colour);
  RegisterClass(c);
  return c;
}

// A pixel of a top-level window's image.
COLORREF pixel_of(cairo_surface_t* img, int x, int y) {
  cairo_surface_flush(img);
  const uint8_t* d = cairo_image_surface_get_data(img) + y * cairo_image_surface_get_stride(img) + x * 4;
  return RGB(d[2], d[1], d[0]);
}

TEST_F(Windows, ChildrenPaintOverTheirParentAndNeverOverTheirSiblings) {
  WNDCLASS red = solid_class("Red", RGB(255, 0, 0)), blue = solid_class("Blue", RGB(0, 0, 255));
  HWND top = CreateWindow("Red", "t", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr);
  HWND low = CreateWindow("Blue", "low", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, top, nullptr);
  HWND high = CreateWindow("Red", "high", WS_CHILD | WS_VISIBLE, 30, 30, 40, 40, top, nullptr);
  (void)high;
  InvalidateRect(low, nullptr, true);  // the lower sibling paints last
  automation::settle();
  cairo_surface_t* img = top_level_image(top);
  ASSERT_NE(img, nullptr);
  auto pixel = [&](int x, int y) { return pixel_of(img, x, y); };
  EXPECT_EQ(pixel(5, 5), RGB(255, 0, 0));    // the parent
  EXPECT_EQ(pixel(15, 15), RGB(0, 0, 255));  // the lower child
  EXPECT_EQ(pixel(45, 45), RGB(255, 0, 0));  // the upper child covers the lower
  cairo_surface_destroy(img);
  DestroyWindow(top);
  DeleteObject(red.hbrBackground);
  DeleteObject(blue.hbrBackground);
}

// A control on a tab page that is not shown draws nothing, though it is
// visible itself; and an edit's client edge shows its parent's background
// instead of whatever the screen held there before.
TEST_F(Windows, HiddenAncestorsHideAndEditEdgesArePainted) {
  WNDCLASS red = solid_class("Red2", RGB(255, 0, 0)), blue = solid_class("Blue2", RGB(0, 0, 255));
  register_system_classes();
  HWND top = CreateWindow("Red2", "t", WS_VISIBLE, 0, 0, 120, 120, nullptr, nullptr);
  HWND page = CreateWindow("Red2", "page", WS_CHILD, 0, 0, 100, 100, top, nullptr);
  HWND inside = CreateWindow("Blue2", "inside", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, page, nullptr);
  HWND edit = CreateWindowEx(WS_EX_CLIENTEDGE, kEditClass, "", WS_CHILD | WS_VISIBLE, 60, 60, 50, 20, top, nullptr);
  InvalidateRect(inside, nullptr, true);
  InvalidateRect(edit, nullptr, true);
  automation::settle();
  cairo_surface_t* img = top_level_image(top);
  ASSERT_NE(img, nullptr);
  auto pixel = [&](int x, int y) { return pixel_of(img, x, y); };
  EXPECT_EQ(pixel(20, 20), RGB(255, 0, 0));               // not the hidden page's blue child
  EXPECT_EQ(pixel(60, 60), GetSysColor(COLOR_BTNFACE));  // the edit's edge
  cairo_surface_destroy(img);
  DestroyWindow(top);
  DeleteObject(red.hbrBackground);
  DeleteObject(blue.hbrBackground);
}

}  // namespace
}  // namespace vrt::platform::test
