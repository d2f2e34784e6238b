// The controls the application's forms and browses stand on: entries, spin
// boxes, lists and drop lists, drawn text, and toolbars that hold more than
// buttons; the events they bring the procedure.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/loop/dialog_keyboard.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Entries : public test::WindowTest {
 protected:
  // The events other than focus changes, up to and with the first `last`.
  std::vector<std::pair<uint16_t, int32_t>> events_until(WindowObject& w, uint16_t last) {
    std::vector<std::pair<uint16_t, int32_t>> seen;
    pump(w, [&] {
      if (Event() != event::GainFocus && Event() != event::LoseFocus) seen.emplace_back(Event(), Field());
      return Event() == last;
    }, 50);
    return seen;
  }
};

TEST_F(Entries, EveryControlTypeOfTheFormsGetsItsClass) {
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  Open(w);
  struct Expect {
    int32_t field;
    const char* cls;
  } expected[] = {{2, "ZorEdit"}, {3, "ZorEdit"}, {4, "ZorList"}, {5, "ZorDrop"}, {6, ""}};
  for (const Expect& e : expected) {
    Control* c = w.control(e.field);
    ASSERT_NE(c, nullptr) << e.field << " was dropped";
    EXPECT_EQ(c->hwnd() ? GetClassName(c->hwnd()) : "", e.cls) << e.field;
  }
  // The toolbar holds a prompt and a spin box of its own.
  ASSERT_NE(w.control(3000), nullptr);
  EXPECT_EQ(GetParent(w.control(3000)->hwnd()), w.toolbar);
  EXPECT_EQ(GetWindowText(w.control(3000)->hwnd()), "Zoom");
  ASSERT_NE(w.control(3001), nullptr);
  EXPECT_EQ(GetClassName(w.control(3001)->hwnd()), "ZorEdit");
}

TEST_F(Entries, TypedTextGoesIntoTheVariableWhenTheEntryIsLeft) {
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  Open(w);
  char name[21];
  std::memset(name, ' ', 20);
  std::memcpy(name, "Smith", 5);
  ASSERT_TRUE(Bind(w, 2, name));
  events_until(w, event::OpenWindow);
  HWND entry = w.control(2)->hwnd();
  EXPECT_EQ(GetWindowText(entry), "Smith");
  SetFocus(entry);
  EXPECT_EQ(events_until(w, event::Selected), (std::vector<std::pair<uint16_t, int32_t>>{{event::Selected, 2}}));
  SendMessage(entry, EM_SETSEL, 0, -1);
  SendMessage(entry, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Jones"));
  SetFocus(w.control(3)->hwnd());
  auto seen = events_until(w, event::Accepted);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), (std::pair<uint16_t, int32_t>{event::Accepted, 2}));
  EXPECT_EQ(std::string(name, 20), "Jones" + std::string(15, ' '));
}

TEST_F(Entries, SpinBoxStepsWithTheArrowKeys) {
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  Open(w);
  int32_t count = 7;
  ASSERT_TRUE(Bind(w, 3, &count));
  HWND spin = w.control(3)->hwnd();
  SetFocus(spin);
  MSG up;
  up.hwnd = spin;
  up.message = WM_KEYDOWN;
  up.wParam = VK_UP;
  EXPECT_TRUE(dialog_keyboard(w, up));
  EXPECT_TRUE(dialog_keyboard(w, up));
  EXPECT_EQ(count, 9);
  EXPECT_EQ(GetWindowText(spin), "9");
}

TEST_F(Entries, ChoosingARowOfAListIsANewSelection) {
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  Open(w);
  events_until(w, event::OpenWindow);
  HWND list = w.control(4)->hwnd();
  for (const char* row : {"Adams", "Baker", "Clark"}) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 3);
  SetFocus(list);
  inject_key(VK_DOWN, true);
  inject_key(VK_DOWN, false);
  auto seen = events_until(w, event::NewSelection);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), (std::pair<uint16_t, int32_t>{event::NewSelection, 4}));
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
  char text[16] = {};
  SendMessage(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Adams");
}

TEST_F(Entries, ResizingAReportingWindowIsSized) {
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  Open(w);
  events_until(w, event::OpenWindow);
  SetWindowPos(w.hwnd, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  auto seen = events_until(w, event::Sized);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().first, event::Sized);
}

TEST_F(Entries, WorkOnAWindowThatIsNotOpenIs536) {
  test::BoxCapture boxes;
  WindowObject w(kLoopModule, "P14$ENTRIES", WindowKind::Ordinary);
  int32_t count = 0;
  EXPECT_FALSE(Bind(w, 3, &count));
  ASSERT_FALSE(test::BoxCapture::boxes().empty());
  EXPECT_NE(test::BoxCapture::boxes().back().find("Window is not open"), std::string::npos);
}

}  // namespace
}  // namespace vrt::window
