// Starting procedures on threads of their own. Slots 1 to 63 hold the
// started procedures; a start with no free slot returns -1 and creates
// nothing.
//
//   slot: free --Start--> starting (start-up semaphore) --> running
//     --procedure returns--> free
#pragma once
#include <cstdint>
#include <string>
#include <thread>

namespace vrt::window {

inline constexpr int kThreadSlots = 63;

using StartedProcedure = void (*)(const std::string& parameter);

// Runs the procedure on a new thread, under the runtime lock like all
// procedure code, and returns its slot number once the thread runs (it has
// been posted message 0x2414 with its slot), or -1. Started while the
// thread answers a sent event: fatal runtime error 542. The stack size is kept
// with the slot; the platform's threads take the size they need.
int Start(StartedProcedure procedure, uint32_t stack_size, const std::string& parameter = {});

// The slot of the calling thread, 0 for a thread not started by Start.
int ThreadSlot();
// Whether this thread was started while an application frame was open (its
// procedure's windows belong to that application).
bool started_under_application();
std::thread::id slot_thread(int slot);
int started_threads_running();
// Waits until every started procedure has returned (shutdown, tests), at
// most `timeout_ms` (-1: as long as it takes); false when some still run.
// The caller must not hold the runtime lock.
bool wait_for_started_threads(int timeout_ms = -1);

}  // namespace vrt::window
