#include <atomic>
#include <thread>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "tests/platform/gui_test_support.h"

namespace vrt::platform::test {
namespace {

HWND g_client = nullptr;
std::atomic<bool> g_refuse_close{false};

LRESULT frame_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  log().add({h, m, w, l});
  return DefFrameProc(h, g_client, m, w, l);
}

LRESULT child_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  log().add({h, m, w, l});
  // A document window may refuse to close, as the runtime's windows do.
  if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE && g_refuse_close) return 0;
  return DefMDIChildProc(h, m, w, l);
}

class Mdi : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WNDCLASS f;
    f.lpszClassName = "TestFrame";
    f.lpfnWndProc = frame_proc;
    RegisterClass(f);
    WNDCLASS c;
    c.lpszClassName = "TestDoc";
    c.lpfnWndProc = child_proc;
    RegisterClass(c);
    register_mdi_client_class();
    frame = CreateWindow("TestFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
    RECT r = GetClientRect(frame);
    g_client = CreateWindow(kMdiClientClass, "", WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom, frame, nullptr);
    g_refuse_close = false;
  }
  HWND child(const char* title, int x) {
    return CreateWindowEx(WS_EX_MDICHILD, "TestDoc", title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, x, 10,
                          300, 200, g_client, nullptr);
  }
  HWND active() { return reinterpret_cast<HWND>(SendMessage(g_client, WM_MDIGETACTIVE, 0, 0)); }
  HWND frame = nullptr;
};

TEST_F(Mdi, ChildrenFromAnotherThreadAreActivatedByClicks) {
  HWND one = child("one", 10);
  std::atomic<HWND> two{nullptr};
  std::atomic<bool> stop{false}, finished{false};
  std::thread other([&] {
    two = child("two", 400);
    MSG m;
    while (!stop) {
      while (PeekMessage(&m, nullptr, PM_REMOVE)) DispatchMessage(m);
      WaitMessage(10);
    }
    DestroyWindow(two);
    finished = true;
  });
  automation::wait_until([&] { return two != nullptr; });
  automation::settle();
  EXPECT_EQ(GetWindowThread(two), other.get_id());
  EXPECT_EQ(active(), two);
  log().clear();
  automation::click(one);
  EXPECT_EQ(active(), one);
  // The old one hears it lost the activation before the new one hears it won.
  auto heard = log().take();
  std::vector<HWND> order;
  for (const Heard& h : heard)
    if (h.msg == WM_MDIACTIVATE) order.push_back(h.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{two, one}));
  EXPECT_EQ(GetFocus(), one);
  automation::click(two);
  EXPECT_EQ(active(), two);
  stop = true;
  // The frame's thread keeps handling messages while the other one closes
  // its window, as a real frame does.
  automation::wait_until([&] { return finished.load(); });
  other.join();
  EXPECT_EQ(active(), one);  // the next child takes over
}

TEST_F(Mdi, SystemCommandsMaximiseRestoreAndMayBeRefused) {
  HWND doc = child("doc", 10);
  automation::settle();
  SendMessage(doc, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(IsZoomed(doc));
  RECT c = GetClientRect(g_client);
  EXPECT_EQ(GetWindowRect(doc).width(), c.right);
  SendMessage(doc, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(doc));
  EXPECT_EQ(GetWindowRect(doc).width(), 300);
  g_refuse_close = true;
  SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(doc));
  g_refuse_close = false;
  SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(doc));
}

TEST_F(Mdi, CaptionButtonsSendSystemCommands) {
  HWND doc = child("doc", 10);
  automation::settle();
  log().clear();
  RECT r = GetWindowRect(doc), top = GetWindowRect(frame);
  // The close button sits at the right end of the caption.
  POINT close{r.right - 8 - top.left, r.top + 8 - top.top};
  automation::click_at(frame, close);
  EXPECT_EQ(log().count(doc, WM_SYSCOMMAND), 1);
  EXPECT_FALSE(IsWindow(doc));
}

TEST_F(Mdi, MaximisedStatePassesToTheNextActiveChild) {
  HWND a = child("a", 10);
  HWND b = child("b", 100);
  automation::settle();
  SendMessage(b, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  SendMessage(g_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_FALSE(IsZoomed(b));
  SendMessage(g_client, WM_MDINEXT, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(active(), b);
}

}  // namespace
}  // namespace vrt::platform::test
