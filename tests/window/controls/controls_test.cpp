// Controls made from records through the creator table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/creator_table.h"
#include "runtime/window/controls/sheet_control.h"
#include "tests/window/window_test_fixture.h"

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

TEST_F(Controls, UnregisteredCodesCreateNothingAndSiblingsStillAppear) {
  WindowObject w(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(w);
  EXPECT_EQ(creator_for(14), nullptr) << "lists come with their own class";
  EXPECT_EQ(w.control(2), nullptr);
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

}  // namespace
}  // namespace vrt::window
