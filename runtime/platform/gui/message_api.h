// Messages: a queue per thread, posting, sending across threads, getting,
// peeking, translating and dispatching, waiting, and timers.
//
// A queue hands out, in this order: messages sent from other threads (their
// procedures run inside Get, Peek and the waits), posted messages, input,
// WM_PAINT for windows with something to repaint, and WM_TIMER for timers
// that are due.
#pragma once
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

// False when the window's (or the) thread has ended or has no queue yet.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
bool PostThreadMessage(std::thread::id thread, UINT msg, WPARAM wp, LPARAM lp);
void PostQuitMessage(int exit_code);
// Within the window's own thread the procedure is called at once; across
// threads the sender waits until the receiver has handled it, handling the
// messages sent to itself meanwhile. A window that is gone, or whose thread
// has ended, answers 0 at once.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// True while the thread's procedure handles a message sent from another
// thread.
bool InSendMessage();

enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
// Waits for a message; false for WM_QUIT. hwnd filters when not null.
bool GetMessage(MSG* msg, HWND hwnd = nullptr);
bool PeekMessage(MSG* msg, HWND hwnd, UINT remove);
// Key-downs of character keys post WM_CHAR.
bool TranslateMessage(const MSG& msg);
LRESULT DispatchMessage(const MSG& msg);
// Waits until a message is in the queue or the timeout (ms; -1 forever)
// passes, handling sent messages meanwhile.
bool WaitMessage(int timeout_ms = -1);

// A lock or event the thread can wait on while it keeps handling the
// messages sent to it. `try_take` is called whenever the object may have
// become free; the object calls wake_waiters() when it does.
class Waitable {
 public:
  virtual ~Waitable() = default;
  virtual bool try_take() = 0;
  // Wakes the threads waiting for the object (only those).
  void wake_waiters();
  class Waiting;

 private:
  std::mutex waiters_mutex_;
  std::vector<std::thread::id> waiters_;
};

enum : uint32_t { WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258, QS_ALLINPUT = 0x4FF, QS_SENDMESSAGE = 0x40 };
// Takes the object (WAIT_OBJECT_0), or returns WAIT_OBJECT_0 + 1 when a
// message of `wake_mask` is queued, or WAIT_TIMEOUT. Sent messages are
// handled meanwhile and never end the wait.
uint32_t MsgWaitForMultipleObjects(Waitable* object, int timeout_ms, uint32_t wake_mask);

// Timers: WM_TIMER to the window (or the callback) every `elapse` ms.
uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapse_ms, TIMERPROC proc = nullptr);
bool KillTimer(HWND hwnd, uintptr_t id);

uint32_t GetMessageTime();
// Milliseconds since an arbitrary start.
uint32_t GetTickCount();

// Called by the window manager when a window goes away: drops its messages
// and timers.
void purge_window_messages(HWND hwnd);
// Wakes the thread that owns the queue (after a repaint became due).
void wake_thread(std::thread::id thread);
// Puts an input message at the end of the window thread's input queue.
void post_input(HWND hwnd, const MSG& msg);
// True when every other thread's queue is empty and its thread is waiting
// for messages: what was put in has been handled.
bool other_queues_idle();
// Runs `work` on the thread that owns hwnd and waits for it.
void run_on_window_thread(HWND hwnd, std::function<void()> work);
// Runs `work` on the thread that owns hwnd without waiting for it (the X
// display's input thread hands its input over so, and never waits on a
// window's thread); false when that thread has ended.
bool post_work(HWND hwnd, std::function<void()> work);
// Gives the calling thread its queue now: a thread takes no posts before
// it has one (windows' threads and started threads make theirs at once).
void make_thread_queue();

}  // namespace vrt::platform
