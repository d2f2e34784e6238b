// Controls made from records through the creator table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/creator_table.h"
#include "runtime/window/controls/sheet_control.h"
#include "tests/window/window_test_fixture.h"
#include <cairo.h>
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/window/controls/control_binding.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Controls : public test::WindowTest {};

TEST_F(Controls, EachRecordGetsItsClass) {
  WindowObject w(kLoopModule, "P6$CONTROLS", WindowKind::Ordinary);
  Open(w);
  ASSERT_TRUE(w.is_open());
  struct Expect {
    int32_t field;
    const char* cls;  // "" for drawn controls without a window
  } expected[] = {
      {1, "ZorString"}, {2, "ZorPrompt"}, {3, "ZorButton"}, {4, "ZorProgress"}, {5, ""}, {6, ""}, {7, ""},
      {8, ""},          {9, "ZorSheet"},  {10, "ZorTab"},   {11, "ZorGroup"},   {12, "ZorOption"},
      {13, "ZorRadio"}, {14, "ZorRadio"}, {15, "ZorTab"},   {16, "ZorString"},
  };
  for (const Expect& e : expected) {
    Control* c = w.control(e.field);
    ASSERT_NE(c, nullptr) << e.field;
    EXPECT_EQ(c->hwnd() ? GetClassName(c->hwnd()) : "", e.cls) << e.field;
  }
  EXPECT_EQ(GetWindowText(w.control(3)->hwnd()), "&Button");
  WNDCLASS wc;
  for (const char* cls : {"ZorToolBar", "ZorToolTip", "ZorCheck", "ZorText", "ZorChildClient", "ZorTimerWinClass"})
    EXPECT_TRUE(GetClassInfo(cls, &wc)) << cls;
  // Radios stand beside their option box in the tab page, framed by it.
  EXPECT_EQ(GetParent(w.control(13)->hwnd()), w.control(10)->hwnd());
  EXPECT_EQ(GetParent(w.control(10)->hwnd()), w.control(9)->hwnd());
}

TEST_F(Controls, ListsAreCreatedNotDroppedAndSiblingsStillAppear) {
  WindowObject w(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(w);
  EXPECT_NE(creator_for(14), nullptr) << "lists have their class";
  ASSERT_NE(w.control(2), nullptr);
  EXPECT_EQ(GetClassName(w.control(2)->hwnd()), "ZorList");
  ASSERT_NE(w.control(3), nullptr);
  EXPECT_EQ(GetWindowText(w.control(3)->hwnd()), "Second");
  EXPECT_TRUE(IsWindowVisible(w.control(3)->hwnd()));
}

TEST_F(Controls, SheetShowsOnlyTheSelectedTab) {
  WindowObject w(kLoopModule, "P6$CONTROLS", WindowKind::Ordinary);
  Open(w);
  HWND sheet = w.control(9)->hwnd(), one = w.control(10)->hwnd(), two = w.control(15)->hwnd();
  EXPECT_EQ(selected_tab(sheet), 0);
  EXPECT_TRUE(IsWindowVisible(one));
  EXPECT_FALSE(IsWindowVisible(two));
  select_tab(sheet, 1);
  EXPECT_FALSE(IsWindowVisible(one));
  EXPECT_TRUE(IsWindowVisible(two));
  EXPECT_TRUE(IsWindowVisible(w.control(16)->hwnd()));
}

TEST_F(Controls, DialogUnitsBecomePixelsAndNotGivenTakesDefaults) {
  WindowObject w(kLoopModule, "P6$CONTROLS", WindowKind::Ordinary);
  Open(w);
  Control* button = w.control(3);
  EXPECT_EQ(button->rect.left, w.units.x(4));
  EXPECT_EQ(button->rect.top, w.units.y(28));
  EXPECT_EQ(button->rect.right - button->rect.left, w.units.x(54) - w.units.x(4));
  EXPECT_EQ(GetClientRect(w.hwnd).right, w.units.x(220));
  // A window with x and y not given is placed by the system, not at 0x80000000.
  WindowObject frame(kLoopModule, "P4$TICKING", WindowKind::Ordinary);
  Open(frame);
  EXPECT_LT(std::abs(GetWindowRect(frame.hwnd).left), 4000);
}

TEST_F(Controls, ScreenshotOfTheControlsWindow) {
  WindowObject w(kLoopModule, "P6$CONTROLS", WindowKind::Ordinary);
  Open(w);
  SendMessage(w.control(4)->hwnd(), PBM_SETPOS, 60, 0);
  automation::settle();
  MSG m;
  while (PeekMessage(&m, nullptr, PM_REMOVE)) DispatchMessage(m);
  std::string path =
      (std::filesystem::temp_directory_path() / ("vrt_controls_" + std::to_string(getpid()) + ".png")).string();
  ASSERT_TRUE(write_screenshot(w.hwnd, path));
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  if (!getenv("VRT_KEEP_SCREENSHOTS")) std::filesystem::remove(path);
}

TEST_F(Controls, RadiosOfAnOptionBoxClearEachOtherOnly) {
  WindowObject w(kLoopModule, "P12$RADIOS", WindowKind::Ordinary);
  Open(w);
  // Fields: option A 1, A1 2, A2 3, option B 4, B1 5, B2 6.
  auto checked = [&](int32_t field) { return SendMessage(w.control(field)->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; };
  SendMessage(w.control(2)->hwnd(), BM_CLICK, 0, 0);
  SendMessage(w.control(3)->hwnd(), BM_CLICK, 0, 0);
  EXPECT_FALSE(checked(2)) << "choosing A2 clears A1";
  EXPECT_TRUE(checked(3));
  automation::click(w.control(5)->hwnd());  // as the mouse does it
  EXPECT_TRUE(checked(5));
  EXPECT_TRUE(checked(3)) << "the other box's choice stands";
  automation::click(w.control(6)->hwnd());
  EXPECT_FALSE(checked(5));
  EXPECT_TRUE(checked(6));
}

TEST_F(Controls, ChoosingATabPostsItsEventsAndShowsThePage) {
  WindowObject w(kLoopModule, "P6$CONTROLS", WindowKind::Ordinary);
  Open(w);
  pump(w, [] { return Event() == event::OpenWindow; });
  HWND sheet = w.control(9)->hwnd(), second = w.control(15)->hwnd();
  RECT header = tab_header(second);
  ASSERT_FALSE(header.empty());
  POINT at = ClientToScreen(sheet, {(header.left + header.right) / 2, (header.top + header.bottom) / 2});
  RECT top = GetWindowRect(w.hwnd);
  automation::click_at(w.hwnd, {at.x - top.left, at.y - top.top});
  std::vector<std::pair<uint16_t, int32_t>> seen;
  pump(w, [&] {
    if (Event() == event::TabChanging || Event() == event::NewSelection) seen.emplace_back(Event(), Field());
    return seen.size() == 2;
  }, 50);
  EXPECT_EQ(seen, (std::vector<std::pair<uint16_t, int32_t>>{{event::TabChanging, 9}, {event::NewSelection, 9}}));
  EXPECT_EQ(selected_tab(sheet), 1);
  EXPECT_TRUE(IsWindowVisible(second));
}

TEST_F(Controls, DrawnControlsOnATabPageShowAboveThePage) {
  WindowObject w(kLoopModule, "P13$PAGEDRAWN", WindowKind::Ordinary);
  Open(w);
  char text[11] = "Shown     ";
  ASSERT_TRUE(Bind(w, 4, text));  // sheet 1, tab 2, box 3, value 4
  Display(w);
  UpdateWindow(w.hwnd);
  cairo_surface_t* image = top_level_image(w.hwnd);
  ASSERT_NE(image, nullptr);
  cairo_surface_flush(image);
  const auto* pixels = cairo_image_surface_get_data(image);
  int stride = cairo_image_surface_get_stride(image);
  auto pixel = [&](int x, int y) { return *reinterpret_cast<const uint32_t*>(pixels + y * stride + x * 4) & 0xFFFFFF; };
  // The window's client area in the top-level image.
  POINT client = ClientToScreen(w.hwnd, {0, 0});
  RECT top = GetWindowRect(w.hwnd);
  int ox = client.x - top.left, oy = client.y - top.top;
  // The red pen of the box along its left edge, halfway down.
  RECT box = w.control(3)->rect;
  int y = oy + (box.top + box.bottom) / 2;
  bool red = false;
  for (int x = ox + box.left - 1; x <= ox + box.left + 1; ++x) red = red || pixel(x, y) == 0xFF0000;
  EXPECT_TRUE(red) << "the box is painted beneath the page";
  // Dark text in the value's rectangle.
  RECT value = w.control(4)->rect;
  int dark = 0;
  for (int py = oy + value.top; py < oy + value.bottom; ++py)
    for (int px = ox + value.left; px < ox + value.right; ++px) dark += (pixel(px, py) & 0xFF) < 0x60;
  EXPECT_GT(dark, 10) << "the value string is painted beneath the page";
  cairo_surface_destroy(image);
}

}  // namespace
}  // namespace vrt::window
