// Variables bound to controls: values shown through pictures, bars that
// follow their variable, radios that store their choice; tips, key codes
// and action codes from the records.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/dialog_keyboard.h"
#include "runtime/window/controls/zor_classes.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class Binding : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Open(w);
    ASSERT_TRUE(w.is_open());
    std::memcpy(name, "Smith     ", 10);
    std::memcpy(size, "Large     ", 10);
    ASSERT_TRUE(Bind(w, 1, name));
    ASSERT_TRUE(Bind(w, 2, &amount));
    ASSERT_TRUE(Bind(w, 3, &percent));
    ASSERT_TRUE(Bind(w, 4, size));
  }
  // One pass of the procedure: the loop runs until the next event.
  void pass() {
    PostEvent(w, event::Notify);
    pump(w, [] { return Event() == event::Notify; });
  }
  int position() { return static_cast<int>(SendMessage(w.control(3)->hwnd(), PBM_GETPOS, 0, 0)); }
  bool checked(int32_t field) { return SendMessage(w.control(field)->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  WindowObject w{kLoopModule, "P8$BOUND", WindowKind::Ordinary};
  char name[10], size[10];
  int32_t amount = 1234567;
  uint8_t percent = 30;
};

TEST_F(Binding, ShownValuesFollowTheirVariablesAtEachPass) {
  EXPECT_EQ(w.control(1)->shown(), "Smith     ");
  EXPECT_EQ(w.control(2)->shown(), "   1,234,567") << "through the picture stored without its @";
  EXPECT_EQ(position(), 30);
  EXPECT_TRUE(checked(6));
  EXPECT_FALSE(checked(5));

  amount = -5;
  percent = 250;  // beyond the bar's range
  std::memcpy(size, "Small     ", 10);
  pass();
  EXPECT_EQ(w.control(2)->shown(), "-          5");
  EXPECT_EQ(position(), 100);
  EXPECT_TRUE(checked(5));
  EXPECT_FALSE(checked(6));
  EXPECT_FALSE(Bind(w, 7, &amount)) << "a button describes no variable";
  EXPECT_FALSE(Bind(w, 99, &amount));
}

TEST_F(Binding, ChoosingARadioStoresItsTextInTheOptionsVariable) {
  pass();
  SendMessage(w.control(5)->hwnd(), BM_CLICK, 0, 0);
  pump(w, [] { return Event() == event::Accepted; });
  EXPECT_EQ(Field(), 5);
  EXPECT_EQ(std::string(size, 10), "Small     ");
}

TEST_F(Binding, ButtonTipKeyAndActionCodeFromItsRecord) {
  Control* help = w.control(7);
  EXPECT_EQ(help->action_code(), 8);
  EXPECT_EQ(help->key_code(), static_cast<int32_t>(VK_F1));
  pass();
  MSG f1;
  f1.hwnd = w.hwnd;
  f1.message = WM_KEYDOWN;
  f1.wParam = VK_F1;
  EXPECT_TRUE(dialog_keyboard(w, f1));
  pump(w, [] { return Event() == event::Accepted; });
  EXPECT_EQ(Field(), 7);

  ASSERT_NE(w.tool_tip, nullptr);
  EXPECT_EQ(GetClassName(w.tool_tip), kZorToolTip);
  relay_tool_tip_event(w.tool_tip, help->hwnd(), {3, 3});
  EXPECT_TRUE(automation::wait_until([&] { return IsWindowVisible(w.tool_tip); }, 3000));
  EXPECT_EQ(GetWindowText(w.tool_tip), "Show the help");
}

}  // namespace
}  // namespace vrt::window
