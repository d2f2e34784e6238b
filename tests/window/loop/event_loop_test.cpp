// The ACCEPT loop with real windows: the order of delivery, sent events a
// procedure may refuse, timers, closing.
#include <gtest/gtest.h>

#include <thread>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "tests/window/window_test_fixture.h"

namespace vrt::window {
namespace {

using namespace vrt::platform;
using test::kLoopModule;

class EventLoop : public test::WindowTest {};

TEST_F(EventLoop, OpenWindowFirstThenPostedEventsInPostingOrder) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  ASSERT_TRUE(dialog.is_open());
  PostEvent(dialog, event::Accepted, 4);
  PostEvent(dialog, event::Notify);
  PostEvent(dialog, event::Accepted, 1);
  std::vector<std::pair<uint16_t, int32_t>> got;
  for (int i = 0; i < 4 && next(dialog); ++i) got.emplace_back(Event(), Field());
  EXPECT_EQ(got, (std::vector<std::pair<uint16_t, int32_t>>{
                     {event::OpenWindow, 0}, {event::Accepted, 4}, {event::Notify, 0}, {event::Accepted, 1}}));
}

TEST_F(EventLoop, ClickedButtonArrivesAsAccepted) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  ASSERT_EQ(next(dialog), event::OpenWindow);
  Control* ok = dialog.control(4);
  ASSERT_NE(ok, nullptr);
  SendMessage(ok->hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(next(dialog), event::Accepted);
  EXPECT_EQ(Field(), 4);
}

TEST_F(EventLoop, EventForADisabledControlIsDropped) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  EnableWindow(dialog.control(4)->hwnd(), false);
  PostEvent(dialog, event::Accepted, 4);
  PostEvent(dialog, event::Accepted, 1);
  ASSERT_EQ(next(dialog), event::OpenWindow);
  ASSERT_EQ(next(dialog), event::Accepted);
  EXPECT_EQ(Field(), 1);
}

TEST_F(EventLoop, AnsweringOneToMaximizeLeavesTheWindowAsItWas) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  std::vector<uint16_t> sent;
  int answer = 1;
  dialog.on_sent = [&](WindowObject&, uint16_t code) {
    if (code == event::GainFocus || code == event::LoseFocus) return 0;
    sent.push_back(code);
    return answer;
  };
  Open(dialog);
  Accept(dialog);
  SendMessage(dialog.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(dialog.hwnd));
  EXPECT_EQ(sent, std::vector<uint16_t>{event::Maximize});
  EXPECT_EQ(window_system().modal, 0) << "modal only while the event is being sent";

  answer = 0;
  SendMessage(dialog.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(IsZoomed(dialog.hwnd));
  PostEvent(dialog, event::Notify);  // marks the end of what the change posted
  std::vector<uint16_t> seen = pump(dialog, [&] { return Event() == event::Notify; });
  EXPECT_NE(std::find(seen.begin(), seen.end(), event::Maximized), seen.end());
}

TEST_F(EventLoop, MinimisingDoesNotProduceMoved) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  Accept(dialog);
  SendMessage(dialog.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(dialog.hwnd));
  PostEvent(dialog, event::Notify);
  std::vector<uint16_t> seen = pump(dialog, [&] { return Event() == event::Notify; });
  EXPECT_EQ(std::find(seen.begin(), seen.end(), event::Moved), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), event::Iconized), seen.end());

  // Moving a restored window does.
  SendMessage(dialog.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  MoveWindow(dialog.hwnd, 50, 60, 200, 100);
  PostEvent(dialog, event::Notify);
  seen = pump(dialog, [&] { return Event() == event::Notify; });
  EXPECT_NE(std::find(seen.begin(), seen.end(), event::Moved), seen.end());
}

TEST_F(EventLoop, CloseWindowEndsTheLoopUnlessTheProcedureCancels) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  Accept(dialog);
  SendMessage(dialog.hwnd, WM_CLOSE, 0, 0);
  ASSERT_EQ(next(dialog), event::CloseWindow);
  dialog.answer = 1;  // the procedure refuses
  PostEvent(dialog, event::Notify);
  ASSERT_EQ(next(dialog), event::Notify);
  EXPECT_TRUE(dialog.is_open());

  PostClose(dialog);
  ASSERT_EQ(next(dialog), event::CloseWindow);
  EXPECT_FALSE(Accept(dialog));
  EXPECT_FALSE(dialog.is_open());
  EXPECT_TRUE(thread_windows().empty());
}

TEST_F(EventLoop, OneTimerEventWaitsAtATime) {
  WindowObject ticking(kLoopModule, "P4$TICKING", WindowKind::Ordinary);
  Open(ticking);
  ASSERT_TRUE(ticking.has_timer);
  Accept(ticking);
  // Ten intervals pass without the procedure taking events.
  for (int i = 0; i < 10; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(12));
    MSG m;
    while (PeekMessage(&m, nullptr, PM_REMOVE)) DispatchMessage(m);
  }
  size_t timers = std::count_if(ticking.queue.begin(), ticking.queue.end(),
                                [](const EventRecord& e) { return e.code == event::Timer; });
  EXPECT_EQ(timers, 1u);
  EXPECT_TRUE(ticking.timer_pending);
  ASSERT_EQ(next(ticking), event::Timer);
  EXPECT_FALSE(ticking.timer_pending);
}

TEST_F(EventLoop, AcceptAllGoesThroughTheControlsThenCompleted) {
  WindowObject dialog(kLoopModule, "P3$DIALOG", WindowKind::Ordinary);
  Open(dialog);
  ASSERT_EQ(next(dialog), event::OpenWindow);
  AcceptAll(dialog);
  std::vector<std::pair<uint16_t, int32_t>> got;
  while (next(dialog)) {
    got.emplace_back(Event(), Field());
    if (Event() == event::Completed) break;
  }
  // Every control in field order, the list included.
  EXPECT_EQ(got, (std::vector<std::pair<uint16_t, int32_t>>{{event::Accepted, 1},
                                                            {event::Accepted, 2},
                                                            {event::Accepted, 3},
                                                            {event::Accepted, 4},
                                                            {event::Completed, 0}}));
}

TEST_F(EventLoop, MenuChoiceArrivesWithItsNegativeFieldNumber) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  ASSERT_TRUE(frame.is_open());
  Accept(frame);
  // "&Start" is the frame's second menu entry.
  SendMessage(frame.hwnd, WM_COMMAND, static_cast<uint16_t>(-2), 0);
  pump(frame, [] { return Event() == event::Accepted; });
  EXPECT_EQ(Field(), -2);
  // A toolbar press with no MDI child active reaches the frame itself.
  SendMessage(frame.hwnd, WM_COMMAND, 2000, reinterpret_cast<LPARAM>(frame.toolbar));
  pump(frame, [] { return Event() == event::Accepted; });
  EXPECT_EQ(Field(), 2000);
}

TEST_F(EventLoop, StatusBarKeepsItsTextAfterAMenuIsDismissed) {
  WindowObject frame(kLoopModule, "P1$FRAME", WindowKind::Application);
  Open(frame);
  SendMessage(frame.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  std::string after;
  // The user opens the File menu with Alt+F and leaves it with Esc.
  std::thread user([&, hwnd = frame.hwnd, bar = frame.status_bar] {
    automation::type("{Alt+f}");
    automation::type("{Esc}");
    char text[64] = {};
    SendMessage(bar, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    after = text;
    PostMessage(hwnd, WM_CLOSE, 0, 0);
  });
  while (Accept(frame)) {
  }
  user.join();
  EXPECT_EQ(after, "Ready");
}

}  // namespace
}  // namespace vrt::window
