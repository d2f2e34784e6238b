#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_manager.h"
#include "runtime/platform/os/check.h"
#include "runtime/platform/os/mutex.h"

namespace vrt::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct ThreadQueue;

// A message sent from another thread, waiting for its result.
struct SentMessage {
  MSG msg;
  LRESULT result = 0;
  bool done = false;
  std::function<void()> work;  // run instead of a procedure when set
  ThreadQueue* sender = nullptr;
};

struct Timer {
  HWND hwnd;
  uintptr_t id;
  UINT elapse;
  TIMERPROC proc;
  Clock::time_point due;
};

// A thread's queue. Every change that may end a wait counts in `wakes`
// (under `m`), and a waiter sleeps only while the count is the one it saw
// before it last looked at the queue, so no wake-up is ever lost.
struct ThreadQueue {
  std::mutex m;
  std::condition_variable cv;
  uint64_t wakes = 0;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::deque<std::function<void()>> work;  // handed over without a wait (the display's input)
  std::deque<MSG> posted;
  std::deque<MSG> input;
  std::vector<Timer> timers;
  bool quit = false;
  int quit_code = 0;
  int in_send = 0;
  uint32_t message_time = 0;
  bool waiting = false;  // the thread sleeps in a wait for messages
  bool closed = false;   // its thread has ended: nothing more goes in

  // The rules of a queue, checked with `m` held in debug builds:
  //   1. a closed queue keeps no sent message (its senders were answered);
  //   2. a sent message waits here only while unanswered, and its sender
  //      is known, so that the answer can wake it.
  const char* broken_invariant() const {
    if (closed && !sent.empty()) return "1: a sent message left in a closed queue";
    for (const auto& s : sent)
      if (s->done || !s->sender) return "2: an answered or senderless message still queued";
    return nullptr;
  }
};

// The queue's mutex must be held.
void wake(ThreadQueue& q) {
  ++q.wakes;
  q.cv.notify_all();
}

uint64_t wakes_seen(ThreadQueue& q) {
  std::lock_guard lock(q.m);
  return q.wakes;
}

Mutex g_queues_mutex;
std::unordered_map<std::thread::id, std::shared_ptr<ThreadQueue>>& queues() VRT_REQUIRES(g_queues_mutex) {
  static std::unordered_map<std::thread::id, std::shared_ptr<ThreadQueue>> q;
  return q;
}

// The queue of a running thread, or null: a thread that has not made one,
// or has ended, takes nothing (a later thread given the same id starts
// with a queue of its own).
std::shared_ptr<ThreadQueue> queue_of(std::thread::id thread) {
  MutexLock lock(g_queues_mutex);
  auto it = queues().find(thread);
  return it == queues().end() ? nullptr : it->second;
}

// A thread's queue goes with the thread, and so do its windows: what was
// left can never be handled, and nobody may wait for it.
struct QueueOwner {
  std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  QueueOwner() {
    MutexLock lock(g_queues_mutex);
    queues()[std::this_thread::get_id()] = queue;
  }
  ~QueueOwner() {
    destroy_thread_windows(std::this_thread::get_id());
    {
      MutexLock lock(g_queues_mutex);
      queues().erase(std::this_thread::get_id());
    }
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
      std::lock_guard qlock(queue->m);
      queue->closed = true;
      unanswered.swap(queue->sent);
      VRT_CHECK_INVARIANTS(*queue);
    }
    // A sender still waiting on this thread is answered with 0.
    for (auto& s : unanswered) {
      std::lock_guard slock(s->sender->m);
      s->done = true;
      wake(*s->sender);
    }
  }
};

ThreadQueue& my_queue() {
  thread_local QueueOwner mine;
  return *mine.queue;
}

std::thread::id thread_of(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->thread : std::thread::id();
}

Mutex g_timer_id_mutex;
uintptr_t g_next_thread_timer VRT_GUARDED_BY(g_timer_id_mutex) = 0x7FFF0000;

MSG make_msg(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = GetTickCount();
  return m;
}

LRESULT call_procedure(const MSG& m) {
  WNDPROC proc;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(m.hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  return proc ? proc(m.hwnd, m.message, m.wParam, m.lParam) : 0;
}

// Handles every message sent to this thread; the queue's mutex is not held.
bool handle_sent(ThreadQueue& q) {
  bool any = false;
  for (;;) {
    std::shared_ptr<SentMessage> s;
    {
      std::lock_guard lock(q.m);
      if (q.sent.empty()) return any;
      s = q.sent.front();
      q.sent.pop_front();
      VRT_CHECK_INVARIANTS(q);
    }
    any = true;
    ++q.in_send;
    LRESULT r = 0;
    if (s->work)
      s->work();
    else
      r = call_procedure(s->msg);
    --q.in_send;
    std::lock_guard lock(s->sender->m);
    s->result = r;
    s->done = true;
    wake(*s->sender);
  }
}

// Runs the work handed to this thread; the queue's mutex is not held.
void handle_work(ThreadQueue& q) {
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(q.m);
      if (q.work.empty()) return;
      work = std::move(q.work.front());
      q.work.pop_front();
    }
    work();
  }
}

bool matches(const MSG& m, HWND filter) { return !filter || m.hwnd == filter; }

// Takes (or copies) the next queued message; the queue's mutex is held.
bool next_queued(ThreadQueue& q, HWND filter, bool remove, MSG* out) {
  for (std::deque<MSG>* d : {&q.posted, &q.input}) {
    auto it = std::find_if(d->begin(), d->end(), [&](const MSG& m) { return matches(m, filter); });
    if (it == d->end()) continue;
    *out = *it;
    if (remove) d->erase(it);
    return true;
  }
  return false;
}

bool next_timer(ThreadQueue& q, HWND filter, bool remove, MSG* out) {
  auto now = Clock::now();
  for (Timer& t : q.timers) {
    if (t.due > now || (filter && t.hwnd != filter)) continue;
    *out = make_msg(t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
    if (remove) t.due = now + std::chrono::milliseconds(t.elapse);
    return true;
  }
  return false;
}

// How long until the next timer is due, at most `limit`.
Clock::duration until_next_timer(ThreadQueue& q, Clock::duration limit) {
  auto now = Clock::now();
  Clock::duration wait = limit;
  for (const Timer& t : q.timers) wait = std::min(wait, std::max(Clock::duration::zero(), t.due - now));
  return wait;
}

bool peek(MSG* msg, HWND filter, bool remove) {
  ThreadQueue& q = my_queue();
  handle_sent(q);
  handle_work(q);
  {
    std::lock_guard lock(q.m);
    if (next_queued(q, filter, remove, msg)) {
      q.message_time = msg->time;
      if (remove) take_message_modifiers(msg->lParam);
      return true;
    }
  }
  if (find_paint_message(std::this_thread::get_id(), filter, msg)) return true;
  std::lock_guard lock(q.m);
  if (next_timer(q, filter, remove, msg)) return true;
  if (q.quit && !filter) {
    *msg = make_msg(nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0);
    if (remove) q.quit = false;
    return true;
  }
  return false;
}

// Sleeps until something may have arrived since the queue showed `seen`
// wakes, or a timer is due, or the limit passes.
void wait_for_queue(ThreadQueue& q, uint64_t seen, Clock::duration limit) {
  std::unique_lock lock(q.m);
  q.waiting = true;
  q.cv.wait_for(lock, until_next_timer(q, limit), [&] { return q.wakes != seen; });
  q.waiting = false;
}

}  // namespace

uint32_t GetTickCount() {
  static const auto start = Clock::now();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

uint32_t GetMessageTime() { return my_queue().message_time; }

bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!hwnd) return PostThreadMessage(std::this_thread::get_id(), msg, wp, lp);
  auto q = queue_of(thread_of(hwnd));
  if (!q) return false;
  std::lock_guard lock(q->m);
  if (q->closed) return false;
  q->posted.push_back(make_msg(hwnd, msg, wp, lp));
  wake(*q);
  return true;
}

bool PostThreadMessage(std::thread::id thread, UINT msg, WPARAM wp, LPARAM lp) {
  auto q = queue_of(thread);
  if (!q) return false;
  std::lock_guard lock(q->m);
  if (q->closed) return false;
  q->posted.push_back(make_msg(nullptr, msg, wp, lp));
  wake(*q);
  return true;
}

void post_input(HWND hwnd, const MSG& msg) {
  auto q = queue_of(thread_of(hwnd));
  if (!q) return;
  std::lock_guard lock(q->m);
  MSG m = msg;
  m.hwnd = hwnd;
  if (!m.time) m.time = GetTickCount();
  q->input.push_back(m);
  wake(*q);
}

bool post_work(HWND hwnd, std::function<void()> work) {
  auto q = queue_of(thread_of(hwnd));
  if (!q) return false;
  std::lock_guard lock(q->m);
  if (q->closed) return false;
  q->work.push_back(std::move(work));
  wake(*q);
  return true;
}

void PostQuitMessage(int exit_code) {
  ThreadQueue& q = my_queue();
  std::lock_guard lock(q.m);
  q.quit = true;
  q.quit_code = exit_code;
  wake(q);
}

namespace {

constexpr auto kLongSend = std::chrono::seconds(10);

// Hands a message or a piece of work to another thread and waits for it,
// handling what is sent to this thread meanwhile, so that two threads that
// send to each other never wait for ever. A receiver whose window goes
// away answers 0 (its procedure is not found); one whose thread ends
// answers 0 as it ends. A receiver that takes long is named on standard
// error once.
LRESULT send_across(const std::shared_ptr<ThreadQueue>& q, std::shared_ptr<SentMessage> s) {
  ThreadQueue& me = my_queue();
  s->sender = &me;
  {
    std::lock_guard lock(q->m);
    if (q->closed) return 0;
    q->sent.push_back(s);
    VRT_CHECK_INVARIANTS(*q);
    wake(*q);
  }
  bool told = false;
  for (;;) {
    handle_sent(me);
    std::unique_lock lock(me.m);
    if (s->done) return s->result;
    if (!me.sent.empty()) continue;
    if (!me.cv.wait_for(lock, kLongSend, [&] { return s->done || !me.sent.empty(); }) && !told) {
      told = true;
      std::fprintf(stderr, "vorthal: message 0x%X sent to a window of another thread has waited %lld s for an answer\n",
                   s->msg.message, static_cast<long long>(kLongSend.count()));
    }
  }
}

}  // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  std::thread::id t = thread_of(hwnd);
  if (t == std::thread::id()) return 0;
  MSG m = make_msg(hwnd, msg, wp, lp);
  if (t == std::this_thread::get_id()) return call_procedure(m);
  auto q = queue_of(t);
  if (!q) return 0;  // its thread has ended
  auto s = std::make_shared<SentMessage>();
  s->msg = m;
  return send_across(q, s);
}

void run_on_window_thread(HWND hwnd, std::function<void()> work) {
  std::thread::id t = thread_of(hwnd);
  auto q = t == std::thread::id() || t == std::this_thread::get_id() ? nullptr : queue_of(t);
  if (!q) {
    work();
    return;
  }
  auto s = std::make_shared<SentMessage>();
  s->msg = make_msg(hwnd, WM_NULL, 0, 0);
  s->work = std::move(work);
  send_across(q, s);
}

bool InSendMessage() { return my_queue().in_send > 0; }

bool GetMessage(MSG* msg, HWND hwnd) {
  ThreadQueue& q = my_queue();
  for (;;) {
    uint64_t seen = wakes_seen(q);
    if (peek(msg, hwnd, true)) return msg->message != WM_QUIT;
    wait_for_queue(q, seen, std::chrono::hours(1));
  }
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT remove) { return peek(msg, hwnd, remove & PM_REMOVE); }

bool WaitMessage(int timeout_ms) {
  ThreadQueue& q = my_queue();
  auto deadline = timeout_ms < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    uint64_t seen = wakes_seen(q);
    MSG m;
    if (peek(&m, nullptr, false)) return true;
    auto now = Clock::now();
    if (now >= deadline) return false;
    wait_for_queue(q, seen, std::min<Clock::duration>(deadline - now, std::chrono::hours(1)));
  }
}

bool TranslateMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  // lParam's high byte carries the character the key produced, if any.
  uint32_t ch = static_cast<uint32_t>((static_cast<uintptr_t>(msg.lParam) >> 32) & 0xFF);
  if (!ch) return false;
  MSG c = msg;
  c.message = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  c.wParam = ch;
  ThreadQueue& q = my_queue();
  std::lock_guard lock(q.m);
  q.posted.push_front(c);
  wake(q);
  return true;
}

LRESULT DispatchMessage(const MSG& msg) {
  if (msg.message == WM_TIMER && msg.lParam) {
    reinterpret_cast<TIMERPROC>(msg.lParam)(msg.hwnd, WM_TIMER, msg.wParam, GetTickCount());
    return 0;
  }
  if (!msg.hwnd) return 0;
  if (msg.message != WM_PAINT) return call_procedure(msg);
  uint32_t begun = paints_begun(msg.hwnd);
  LRESULT r = call_procedure(msg);
  // A procedure that left its paint request standing is not asked again
  // and again: what it did not validate counts as painted. One that painted
  // keeps what was invalidated while it painted, to be painted next.
  if (paints_begun(msg.hwnd) == begun) ValidateRect(msg.hwnd, nullptr);
  return r;
}

void Waitable::wake_waiters() {
  std::vector<std::thread::id> waiters;
  {
    std::lock_guard lock(waiters_mutex_);
    waiters = waiters_;
  }
  for (std::thread::id t : waiters)
    if (auto q = queue_of(t)) {
      std::lock_guard qlock(q->m);
      wake(*q);
    }
}

// The calling thread is among the object's waiters while it lives.
class Waitable::Waiting {
 public:
  explicit Waiting(Waitable& object) : object_(object) {
    std::lock_guard lock(object_.waiters_mutex_);
    object_.waiters_.push_back(std::this_thread::get_id());
  }
  ~Waiting() {
    std::lock_guard lock(object_.waiters_mutex_);
    auto& w = object_.waiters_;
    w.erase(std::find(w.begin(), w.end(), std::this_thread::get_id()));
  }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

 private:
  Waitable& object_;
};

bool other_queues_idle() {
  std::vector<std::thread::id> threads;
  {
    MutexLock lock(g_queues_mutex);
    for (auto& [id, q] : queues()) {
      if (id == std::this_thread::get_id()) continue;
      std::lock_guard qlock(q->m);
      if (!q->sent.empty() || !q->work.empty() || !q->posted.empty() || !q->input.empty()) return false;
      threads.push_back(id);
    }
  }
  // A thread with windows must be asleep in its wait, with nothing to paint.
  for (auto id : threads) {
    MSG m;
    bool has_windows = false;
    {
      WindowLock lock = lock_windows();
      for (auto& [k, w] : all_windows())
        if (w->thread == id) has_windows = true;
    }
    if (!has_windows) continue;
    if (find_paint_message(id, nullptr, &m)) return false;
    auto q = queue_of(id);
    if (!q) continue;
    std::lock_guard qlock(q->m);
    if (!q->waiting) return false;
  }
  return true;
}

uint32_t MsgWaitForMultipleObjects(Waitable* object, int timeout_ms, uint32_t wake_mask) {
  ThreadQueue& q = my_queue();
  auto deadline = timeout_ms < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout_ms);
  std::optional<Waitable::Waiting> waiting;
  if (object) waiting.emplace(*object);  // before the first try: a release after it wakes this thread
  for (;;) {
    uint64_t seen = wakes_seen(q);
    handle_sent(q);
    handle_work(q);
    if (object && object->try_take()) return WAIT_OBJECT_0;
    {
      std::lock_guard lock(q.m);
      if ((wake_mask & ~QS_SENDMESSAGE) && (!q.posted.empty() || !q.input.empty() || q.quit))
        return WAIT_OBJECT_0 + 1;
    }
    auto now = Clock::now();
    if (now >= deadline) return WAIT_TIMEOUT;
    std::unique_lock lock(q.m);
    q.waiting = true;
    q.cv.wait_for(lock, std::min<Clock::duration>(deadline - now, std::chrono::hours(1)), [&] { return q.wakes != seen; });
    q.waiting = false;
  }
}

uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapse, TIMERPROC proc) {
  std::thread::id t = hwnd ? thread_of(hwnd) : std::this_thread::get_id();
  if (hwnd && t == std::thread::id()) return 0;
  if (t == std::this_thread::get_id()) my_queue();
  if (!hwnd) {
    MutexLock lock(g_timer_id_mutex);
    id = ++g_next_thread_timer;
  }
  elapse = std::max<UINT>(elapse, 1);
  auto q = queue_of(t);
  if (!q) return 0;
  std::lock_guard lock(q->m);
  Timer timer{hwnd, id, elapse, proc, Clock::now() + std::chrono::milliseconds(elapse)};
  auto it = std::find_if(q->timers.begin(), q->timers.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
  if (it != q->timers.end())
    *it = timer;
  else
    q->timers.push_back(timer);
  wake(*q);
  return id;
}

bool KillTimer(HWND hwnd, uintptr_t id) {
  std::thread::id t = hwnd ? thread_of(hwnd) : std::this_thread::get_id();
  if (hwnd && t == std::thread::id()) t = std::this_thread::get_id();
  auto q = queue_of(t);
  if (!q) return false;
  std::lock_guard lock(q->m);
  auto before = q->timers.size();
  q->timers.erase(std::remove_if(q->timers.begin(), q->timers.end(),
                                 [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; }),
                  q->timers.end());
  return q->timers.size() != before;
}

void purge_window_messages(HWND hwnd) {
  MutexLock lock(g_queues_mutex);
  for (auto& [id, q] : queues()) {
    std::lock_guard qlock(q->m);
    auto gone = [&](const MSG& m) { return m.hwnd == hwnd; };
    q->posted.erase(std::remove_if(q->posted.begin(), q->posted.end(), gone), q->posted.end());
    q->input.erase(std::remove_if(q->input.begin(), q->input.end(), gone), q->input.end());
    q->timers.erase(std::remove_if(q->timers.begin(), q->timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                    q->timers.end());
  }
}

void wake_thread(std::thread::id thread) {
  auto q = queue_of(thread);
  if (!q) return;
  std::lock_guard lock(q->m);
  wake(*q);
}

void make_thread_queue() { my_queue(); }

}  // namespace vrt::platform
