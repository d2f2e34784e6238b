#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/platform/gui/input_api.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

constexpr UINT kPing = WM_USER + 1;

class Messages : public GuiTest {};

TEST_F(Messages, SentBeforePostedBeforeInputBeforePaint) {
  HWND w = CreateWindow("Logged", "w", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr);
  automation::settle();
  log().clear();
  inject_key(VK_SPACE, true, ' ');
  PostMessage(w, kPing, 1, 0);
  InvalidateRect(w, nullptr, false);
  std::thread([&] { SendMessage(w, kPing, 2, 0); }).detach();
  automation::wait_until([&] { return log().count(w, kPing) == 2 && log().count(w, WM_PAINT) == 1; });
  std::vector<Heard> heard = log().take();
  std::vector<std::pair<UINT, WPARAM>> order;
  for (const Heard& h : heard)
    if (h.msg == kPing || h.msg == WM_KEYDOWN || h.msg == WM_PAINT) order.emplace_back(h.msg, h.msg == kPing ? h.wp : 0);
  // The send arrives while the test waits; whatever was queued before it
  // still keeps its order: posted, then input, then paint.
  std::vector<std::pair<UINT, WPARAM>> queued;
  for (auto& o : order)
    if (!(o.first == kPing && o.second == 2)) queued.push_back(o);
  ASSERT_EQ(queued.size(), 3u);
  EXPECT_EQ(queued[0].first, kPing);
  EXPECT_EQ(queued[1].first, WM_KEYDOWN);
  EXPECT_EQ(queued[2].first, WM_PAINT);
}

TEST_F(Messages, SentMessagesComeFirstAndInTheOrderSent) {
  HWND w = CreateWindow("Logged", "w", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr);
  automation::settle();
  log().clear();
  PostMessage(w, kPing, 1, 0);
  // Two other threads send while this one is not reading its queue; each
  // marks the moment just before its send, and the second starts only then.
  std::atomic<int> sending{0};
  std::thread first([&] {
    sending = 1;
    SendMessage(w, kPing, 2, 0);
  });
  while (sending < 1) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::thread second([&] {
    sending = 2;
    SendMessage(w, kPing, 3, 0);
  });
  while (sending < 2) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  automation::wait_until([&] { return log().count(w, kPing) == 3; });
  first.join();
  second.join();
  std::vector<WPARAM> order;
  for (const Heard& h : log().take())
    if (h.msg == kPing) order.push_back(h.wp);
  EXPECT_EQ(order, (std::vector<WPARAM>{2, 3, 1}));  // both sends, oldest first, then the post
}

TEST_F(Messages, SendWithinOneThreadCallsAtOnce) {
  HWND w = CreateWindow("Logged", "w", 0, 0, 0, 10, 10, nullptr, nullptr);
  log().clear();
  SendMessage(w, kPing, 7, 0);
  auto heard = log().take();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].wp, 7u);
}

LRESULT answering_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPing) return static_cast<LRESULT>(wp * 2);
  return DefWindowProc(hwnd, msg, wp, lp);
}

// A window on a thread of its own that pumps until told to stop.
struct WindowThread {
  std::atomic<HWND> hwnd{nullptr};
  std::thread thread;
  explicit WindowThread(WNDPROC proc) {
    thread = std::thread([this, proc] {
      WNDCLASS wc;
      wc.lpszClassName = "Answering";
      wc.lpfnWndProc = proc;
      RegisterClass(wc);
      hwnd = CreateWindow("Answering", "t", 0, 0, 0, 10, 10, nullptr, nullptr);
      MSG m;
      while (GetMessage(&m)) DispatchMessage(m);
      DestroyWindow(hwnd);
    });
    while (!hwnd) std::this_thread::yield();
  }
  ~WindowThread() {
    PostThreadMessage(thread.get_id(), WM_QUIT, 0, 0);
    thread.join();
  }
};

TEST_F(Messages, SendAcrossThreadsWaitsForTheResult) {
  WindowThread other(answering_proc);
  EXPECT_EQ(SendMessage(other.hwnd, kPing, 21, 0), 42);
}

HWND g_partner = nullptr;
LRESULT relay_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Asked by one thread, it asks the asker back before answering.
  if (msg == kPing) return wp ? SendMessage(g_partner, kPing, 0, 0) + 1 : 100;
  return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(Messages, ThreadsSendingToEachOtherDoNotDeadlock) {
  WNDCLASS wc;
  wc.lpszClassName = "Relay";
  wc.lpfnWndProc = relay_proc;
  RegisterClass(wc);
  g_partner = CreateWindow("Relay", "mine", 0, 0, 0, 10, 10, nullptr, nullptr);
  WindowThread other(relay_proc);
  EXPECT_EQ(SendMessage(other.hwnd, kPing, 1, 0), 101);
}

class Gate : public Waitable {
 public:
  bool try_take() override { return open.exchange(false); }
  std::atomic<bool> open{false};
};

TEST_F(Messages, WaitingOnALockKeepsAnsweringSentMessages) {
  HWND mine = CreateWindow("Logged", "mine", 0, 0, 0, 10, 10, nullptr, nullptr);
  log().clear();
  Gate gate;
  std::thread helper([&] {
    SendMessage(mine, kPing, 5, 0);  // answered while the owner waits on the gate
    gate.open = true;
    gate.wake_waiters();
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(&gate, 5000, QS_SENDMESSAGE), WAIT_OBJECT_0);
  helper.join();
  EXPECT_EQ(log().count(mine, kPing), 1);
  EXPECT_EQ(MsgWaitForMultipleObjects(&gate, 30, QS_SENDMESSAGE), WAIT_TIMEOUT);
  PostMessage(mine, kPing, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(&gate, 5000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
}

TEST_F(Messages, SendToAWindowThatGoesAwayReturns) {
  std::atomic<HWND> hwnd{nullptr};
  std::atomic<bool> go{false};
  std::thread owner([&] {
    hwnd = CreateWindow("Logged", "x", 0, 0, 0, 10, 10, nullptr, nullptr);
    while (!go) std::this_thread::yield();
    DestroyWindow(hwnd);  // never pumps: the pending send must not hang
  });
  while (!hwnd) std::this_thread::yield();
  std::thread sender([&] { EXPECT_EQ(SendMessage(hwnd, kPing, 0, 0), 0); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  go = true;
  owner.join();
  sender.join();
}

TEST_F(Messages, QuitEndsGetMessage) {
  PostQuitMessage(3);
  MSG m;
  EXPECT_FALSE(GetMessage(&m));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(Messages, TranslateTurnsKeysIntoCharacters) {
  HWND w = CreateWindow("Logged", "w", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr);
  SetFocus(w);
  automation::settle();
  log().clear();
  automation::type("aB");
  auto heard = log().take();
  std::string chars;
  for (const Heard& h : heard)
    if (h.msg == WM_CHAR) chars += static_cast<char>(h.wp);
  EXPECT_EQ(chars, "aB");
}

TEST_F(Messages, WindowTimersRepeatUntilKilled) {
  HWND w = CreateWindow("Logged", "w", 0, 0, 0, 10, 10, nullptr, nullptr);
  log().clear();
  SetTimer(w, 7, 10);
  ASSERT_TRUE(automation::wait_until([&] { return log().count(w, WM_TIMER) >= 3; }));
  KillTimer(w, 7);
  automation::wait_until([] { return false; }, 20);
  int after = log().count(w, WM_TIMER);
  automation::wait_until([] { return false; }, 60);
  EXPECT_EQ(log().count(w, WM_TIMER), after);
  for (const Heard& h : log().take()) {
    if (h.msg == WM_TIMER) {
      EXPECT_EQ(h.wp, 7u);
    }
  }
}

std::atomic<int> g_ticks{0};
void tick(HWND, UINT, uintptr_t, uint32_t) { ++g_ticks; }

TEST_F(Messages, ThreadTimersCallTheirCallback) {
  g_ticks = 0;
  uintptr_t id = SetTimer(nullptr, 0, 5, tick);
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(automation::wait_until([] { return g_ticks >= 2; }));
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(Messages, SendToAWindowWhoseThreadEndedAnswersZeroAtOnce) {
  HWND left = nullptr;
  std::thread::id gone;
  std::thread([&] {
    left = CreateWindow("Logged", "left behind", 0, 0, 0, 10, 10, nullptr, nullptr);
    gone = std::this_thread::get_id();
  }).join();  // the thread ends without destroying its window
  EXPECT_FALSE(IsWindow(left)) << "a thread's windows go with it";
  // Sent from a thread of its own, which a send that waits for ever would keep.
  auto answer = std::make_shared<std::atomic<LRESULT>>(-1);
  std::thread([answer, left] { *answer = SendMessage(left, kPing, 1, 0); }).detach();
  EXPECT_TRUE(automation::wait_until([&] { return *answer != -1; }, 5000)) << "the send waits for ever";
  EXPECT_EQ(answer->load(), 0);
  EXPECT_FALSE(PostMessage(left, kPing, 1, 0));
  EXPECT_FALSE(PostThreadMessage(gone, kPing, 1, 0)) << "nothing is queued for a thread that has ended";
}

TEST_F(Messages, RepaintsNeverLoseTheirWakeUp) {
  // The window's thread sleeps in GetMessage; each invalidation must wake
  // it, however it falls against the thread's last look at its queue.
  std::atomic<HWND> hwnd{nullptr};
  std::atomic<int> paints{0};
  std::atomic<bool> stop{false};
  std::thread owner([&] {
    WNDCLASS wc;
    wc.lpszClassName = "Painted";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        ++*reinterpret_cast<std::atomic<int>*>(GetWindowLongPtr(h, GWLP_USERDATA));
        return 0;
      }
      return DefWindowProc(h, m, w, l);
    };
    RegisterClass(wc);
    HWND h = CreateWindow("Painted", "", WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr);
    SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<intptr_t>(&paints));
    hwnd = h;
    MSG m;
    while (!stop && GetMessage(&m)) DispatchMessage(m);
    DestroyWindow(h);
  });
  while (!hwnd) std::this_thread::yield();
  int lost = 0;
  for (int i = 0; i < 20000 && lost == 0; ++i) {
    int before = paints;
    InvalidateRect(hwnd, nullptr, false);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (paints == before && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    lost += paints == before;
  }
  EXPECT_EQ(lost, 0) << "a repaint slept through its wake-up";
  stop = true;
  PostMessage(hwnd, WM_NULL, 0, 0);
  owner.join();
}

}  // namespace
}  // namespace vrt::platform::test
