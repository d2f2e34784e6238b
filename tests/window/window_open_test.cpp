// Opening windows of the three kinds: the checks in their order, and the
// fatal errors they end in (shown as boxes; the runtime is not active here,
// so the process goes on and the window stays closed).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/core/base/error_state.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/menu.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::BoxCapture;
using test::kLoopModule;

class WindowOpening : public test::WindowTest {
 protected:
  std::string last_box() { return BoxCapture::boxes().empty() ? "" : BoxCapture::boxes().back(); }
  BoxCapture boxes;
};

// Runs `work` on a thread started the way procedures are, and waits.
void on_started_thread(void (*work)(const std::string&)) {
  ASSERT_GT(Start(work, 50000), 0);
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
}

TEST_F(WindowOpening, MdiChildWithoutApplicationIs530) {
  static std::string box;
  on_started_thread([](const std::string&) {
    WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
    Open(child);
    box = BoxCapture::boxes().empty() ? "" : BoxCapture::boxes().back();
    EXPECT_FALSE(child.is_open());
  });
  EXPECT_EQ(box, "Unable to open MDI window (No APPLICATION active)\nDo you want to GPF?");
}

// A procedure the frame started that opens its document window only once
// the frame has closed (a user who closes the program at once) ends
// quietly: no "No APPLICATION active" box.
TEST_F(WindowOpening, ADocumentWindowOfAnEndedApplicationEndsItsProcedureQuietly) {
  static std::atomic<bool> frame_closed{false};
  static std::atomic<bool> accepted{true};
  frame_closed = false;
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  size_t boxes_before = BoxCapture::boxes().size();
  ASSERT_GT(Start(
                [](const std::string&) {
                  int levels = release_runtime_lock_fully();
                  while (!frame_closed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  retake_runtime_lock(levels);
                  WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
                  Open(child);
                  accepted = Accept(child);
                },
                50000),
            0);
  Close(frame);
  frame_closed = true;
  int levels = release_runtime_lock_fully();
  wait_for_started_threads();
  retake_runtime_lock(levels);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(BoxCapture::boxes().size(), boxes_before);
}

TEST_F(WindowOpening, SecondApplicationIs526AndMdiOnItsThreadIs532) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  EXPECT_EQ(window_system().application, &frame);
  WindowObject second(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(second);
  EXPECT_FALSE(second.is_open());
  EXPECT_EQ(last_box(), "Unable to open APPLICATION (APPLICATION already active)\nDo you want to GPF?");
  WindowObject child(kLoopModule, "P2$CHILD", WindowKind::MdiChild);
  Open(child);
  EXPECT_FALSE(child.is_open());
  EXPECT_EQ(last_box(), "Unable to open MDI window on APPLICATION's thread\nDo you want to GPF?");
  Close(frame);
  EXPECT_EQ(window_system().application, nullptr);
}

TEST_F(WindowOpening, AlreadyOpenIs535) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  HWND first = dialog.hwnd;
  Open(dialog);
  EXPECT_EQ(last_box(), "Window is already open\nDo you want to GPF?");
  EXPECT_EQ(dialog.hwnd, first);
  EXPECT_EQ(core::error_code(), 535);
}

TEST_F(WindowOpening, ApplicationWhileModalIs527AndModalCounts) {
  WindowObject modal(kLoopModule, "P5$MODAL", WindowKind::Ordinary);
  Open(modal);
  ASSERT_TRUE(modal.is_open());
  EXPECT_EQ(window_system().modal, 1);
  // Any ordinary window opened while a modal one is open is modal too.
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  EXPECT_TRUE(dialog.modal);
  EXPECT_EQ(window_system().modal, 2);
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  EXPECT_FALSE(frame.is_open());
  EXPECT_EQ(last_box(), "Unable to open APPLICATION (system is MODAL)\nDo you want to GPF?");
  Close(dialog);
  Close(modal);
  EXPECT_EQ(window_system().modal, 0);
}

TEST_F(WindowOpening, AcceptWithoutWindowIs537AndUnknownLabelIs502) {
  WindowObject never(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  EXPECT_FALSE(Accept(never));
  EXPECT_EQ(last_box(), "ACCEPT loop requires a window\nDo you want to GPF?");
  WindowObject missing(kLoopModule, "P9$NOWHERE", WindowKind::Ordinary);
  Open(missing);
  EXPECT_FALSE(missing.is_open());
  EXPECT_EQ(last_box(), "Internal error 02\nDo you want to GPF?");
}

TEST_F(WindowOpening, FrameWithoutControlsHasMenuToolbarStatusAndClient) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  EXPECT_TRUE(frame.controls.empty());
  ASSERT_NE(frame.menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(frame.menu), 1);
  EXPECT_EQ(GetMenuString(GetSubMenu(frame.menu, 0), 2, MF_BYPOSITION), "E&xit");
  EXPECT_EQ(static_cast<int16_t>(GetMenuItemID(GetSubMenu(frame.menu, 0), 0)), -2);
  EXPECT_NE(frame.toolbar, nullptr);
  EXPECT_EQ(SendMessage(frame.toolbar, TB_BUTTONCOUNT, 0, 0), 1);
  EXPECT_NE(frame.status_bar, nullptr);
  EXPECT_EQ(GetClassName(frame.client), "ZorChildClient");
  EXPECT_TRUE(GetClassName(frame.hwnd).starts_with("ZorWin"));
}

TEST_F(WindowOpening, HighlightedMenuItemShowsItsMessageInTheStatusBar) {
  WindowObject frame("vrtdemo$demo01", "P1$DEMOFRAME", WindowKind::Application);
  Open(frame);
  char text[128] = "";
  SendMessage(frame.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  SendMessage(frame.hwnd, WM_MENUSELECT, MAKEWPARAM(static_cast<uint16_t>(-2), 0), 1);
  SendMessage(frame.status_bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Start a child window on its own thread");
  SendMessage(frame.hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  SendMessage(frame.status_bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready") << "what was there comes back";
}

TEST_F(WindowOpening, FrameShowsItsDeclaredIconInItsCaption) {
  WindowObject frame("vrtdemo$demo01", "P1$DEMOFRAME", WindowKind::Application);
  Open(frame);
  HICON icon = reinterpret_cast<HICON>(SendMessage(frame.hwnd, WM_SETICON, 0, 0));
  EXPECT_EQ(icon_name(icon), "COPY.ICO");
}

}  // namespace
}  // namespace vrt::window
