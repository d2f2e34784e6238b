// The fatal runtime errors of the event loop's area: work refused while the
// system is modal (540-542), reports opened twice or posted to (525, 522),
// and the keyboard buffer of PRESS (534).
#include <gtest/gtest.h>

#include "runtime/core/base/error_state.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/window/popup_menu.h"
#include "runtime/window/loop/press_keys.h"
#include "runtime/window/resource/report_object.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::BoxCapture;
using test::kLoopModule;

constexpr const char* kFormatModule = "vrttest$format01";

class ModalErrors : public test::WindowTest {
 protected:
  std::string last_box() { return BoxCapture::boxes().empty() ? "" : BoxCapture::boxes().back(); }
  BoxCapture boxes;
};

TEST_F(ModalErrors, LoopPopupAndStartAreRefusedWhileASentEventIsAnswered) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  std::vector<std::string> seen;
  int started = 0;
  dialog.on_sent = [&](WindowObject& w, uint16_t code) {
    if (code != event::Maximize) return 0;
    EXPECT_FALSE(Accept(w));
    seen.push_back(last_box());
    EXPECT_EQ(Popup("One|Two", w.hwnd, {10, 10}), 0);
    seen.push_back(last_box());
    started = Start([](const std::string&) {}, 50000);
    seen.push_back(last_box());
    return 1;
  };
  Open(dialog);
  ASSERT_EQ(next(dialog), event::OpenWindow);
  SendMessage(dialog.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"Unable to process ACCEPT (system is MODAL)\nDo you want to GPF?",
                                            "Unable to create control (system is MODAL)\nDo you want to GPF?",
                                            "Unable to complete operation (system is MODAL)\nDo you want to GPF?"}));
  EXPECT_EQ(started, -1);
  EXPECT_EQ(started_threads_running(), 0) << "nothing was started";
  // Once answered, the loop runs again.
  PostEvent(dialog, event::Notify);
  EXPECT_EQ(next(dialog), event::Notify);
}

TEST_F(ModalErrors, AcceptBeneathALaterModalWindowIs540) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  ASSERT_EQ(next(dialog), event::OpenWindow);
  WindowObject modal(kLoopModule, "P5$MODAL", WindowKind::Ordinary);
  Open(modal);
  EXPECT_FALSE(Accept(dialog));
  EXPECT_EQ(last_box(), "Unable to process ACCEPT (system is MODAL)\nDo you want to GPF?");
  EXPECT_TRUE(dialog.is_open()) << "the refused loop leaves the window as it was";
  EXPECT_EQ(next(modal), event::OpenWindow) << "the modal window's own loop runs";
  Close(modal);
  PostEvent(dialog, event::Notify);
  EXPECT_EQ(next(dialog), event::Notify);
}

TEST_F(ModalErrors, ReportOpenedTwiceIs525AndPostingToItIs522) {
  ReportObject report(kFormatModule, "P1$REPORT");
  Open(report);
  ASSERT_TRUE(report.is_open());
  uint32_t first = report.structure;
  Open(report);
  EXPECT_EQ(last_box(), "Report is already open\nDo you want to GPF?");
  EXPECT_EQ(report.structure, first);
  PostEvent(report, event::Accepted, 1);
  EXPECT_EQ(last_box(), "Event posted to a report control\nDo you want to GPF?");
  EXPECT_EQ(core::error_code(), 522);
  Close(report);
  EXPECT_FALSE(report.is_open());

  ReportObject not_a_report(kLoopModule, "P3$DIALOG");
  Open(not_a_report);
  EXPECT_FALSE(not_a_report.is_open());
  EXPECT_EQ(last_box(), "Internal error 02\nDo you want to GPF?");
}

TEST_F(ModalErrors, PressedKeysAreTypedAndTooManyAre534) {
  WindowObject w(kLoopModule, "P7$KEYS", WindowKind::Ordinary);
  Open(w);
  ASSERT_EQ(next(w), event::OpenWindow);
  SetActiveWindow(w.hwnd);
  SetFocus(w.hwnd);
  Press("\r");
  PressKey(VK_ESCAPE);
  EXPECT_EQ(pressed_keys_waiting(), 2u);
  std::vector<int32_t> fields;
  while (fields.size() < 2 && next(w))
    if (Event() == event::Accepted) fields.push_back(Field());
  EXPECT_EQ(fields, (std::vector<int32_t>{7, 6})) << "Enter pressed OK, Escape Cancel";

  Press(std::string(kPressBufferSize - 1, 'x'));
  Press("yz");
  EXPECT_EQ(last_box(), "Too many keystrokes PRESSed\nDo you want to GPF?");
  EXPECT_EQ(pressed_keys_waiting(), kPressBufferSize - 1) << "the overflowing PRESS put nothing in";
  while (feed_pressed_key()) {
  }
  automation::settle();
}

}  // namespace
}  // namespace vrt::window
