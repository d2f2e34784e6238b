#include "runtime/window/loop/thread_start.h"

#include <array>
#include <memory>
#include <mutex>
#include <semaphore>

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/modal_state.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/controls/window_system.h"

namespace vrt::window {

namespace {

struct Slot {
  bool used = false;
  std::thread::id thread;
  StartedProcedure procedure = nullptr;
  std::string parameter;
  uint32_t stack_size = 0;
  bool under_application = false;  // an application frame was open when it was started
};

struct ThreadTable {
  std::mutex mutex;
  std::array<Slot, kThreadSlots + 1> slots;  // 0 unused
  int running = 0;
};

ThreadTable& table() {
  static ThreadTable t;
  return t;
}

// Free when no started procedure runs; waiting for it keeps serving the
// messages other threads send to the waiter's windows (an MDI child asks
// the frame's client which child is active).
class AllReturned : public platform::Waitable {
 public:
  bool try_take() override {
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    return t.running == 0;
  }
};

AllReturned& all_returned() {
  static AllReturned w;
  return w;
}

thread_local int t_slot = 0;
thread_local bool t_under_application = false;

// The start-up semaphores, shared by the starter and the new thread: the
// starter may return while the new thread is still inside its release.
struct StartGate {
  std::binary_semaphore go{0}, started{0};
};

void thread_body(int slot, std::shared_ptr<StartGate> gate) {
  gate->go.acquire();  // created suspended: waits until its slot is filled
  t_slot = slot;
  platform::make_thread_queue();  // the starter posts to it once started
  StartedProcedure procedure;
  std::string parameter;
  {
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    procedure = t.slots[slot].procedure;
    parameter = t.slots[slot].parameter;
    t_under_application = t.slots[slot].under_application;
  }
  gate->started.release();
  take_runtime_lock();
  procedure(parameter);
  // Windows the procedure left open close with its thread.
  while (!thread_windows().empty()) Close(*thread_windows().back());
  release_runtime_lock_fully();
  // Nothing may stay queued for a thread that is gone (0x2414 if the
  // procedure never waited for a message).
  platform::MSG m;
  while (platform::PeekMessage(&m, nullptr, platform::PM_REMOVE)) {
  }
  ThreadTable& t = table();
  {
    std::lock_guard lock(t.mutex);
    t.slots[slot] = Slot{};
    --t.running;
  }
  all_returned().wake_waiters();
}

}  // namespace

int Start(StartedProcedure procedure, uint32_t stack_size, const std::string& parameter) {
  if (answering_sent_event()) {
    // The start waits for the new thread, which the waiting sender may hold up.
    core::fatal_runtime_error(542);
    return -1;
  }
  ThreadTable& t = table();
  int slot = 0;
  {
    std::lock_guard lock(t.mutex);
    for (int i = 1; i <= kThreadSlots && slot == 0; ++i)
      if (!t.slots[i].used) slot = i;
    if (slot == 0) return -1;
    t.slots[slot].used = true;  // reserved while the thread is made
  }
  auto gate = std::make_shared<StartGate>();
  std::thread thread;
  try {
    thread = std::thread(thread_body, slot, gate);
  } catch (const std::system_error&) {
    std::lock_guard lock(t.mutex);
    t.slots[slot] = Slot{};
    return -1;
  }
  std::thread::id id = thread.get_id();
  thread.detach();
  {
    std::lock_guard lock(t.mutex);
    Slot& s = t.slots[slot];
    s.thread = id;
    s.procedure = procedure;
    s.parameter = parameter;
    s.stack_size = stack_size;
    s.under_application = window_system().application != nullptr;
    ++t.running;
  }
  gate->go.release();
  gate->started.acquire();  // the thread runs and has taken what it needs from the slot
  platform::PostThreadMessage(id, kThreadStartedMessage, static_cast<platform::WPARAM>(slot), 0);
  return slot;
}

bool started_under_application() { return t_under_application; }

int ThreadSlot() { return t_slot; }

std::thread::id slot_thread(int slot) {
  ThreadTable& t = table();
  std::lock_guard lock(t.mutex);
  return slot >= 1 && slot <= kThreadSlots ? t.slots[slot].thread : std::thread::id{};
}

int started_threads_running() {
  ThreadTable& t = table();
  std::lock_guard lock(t.mutex);
  return t.running;
}

bool wait_for_started_threads(int timeout_ms) {
  return platform::MsgWaitForMultipleObjects(&all_returned(), timeout_ms, 0) == platform::WAIT_OBJECT_0;
}

}  // namespace vrt::window
