// The global runtime lock: procedure code runs on one thread at a time. A
// thread gives the lock up while it waits for platform messages and takes
// it again before it delivers an event; while it waits for the lock it
// keeps handling the messages sent to its windows, so that a thread holding
// the lock may SendMessage to it without a deadlock.
#pragma once
#include <thread>

namespace vrt::window {

// Takes the lock for this thread (re-entrant: a count per owner).
void take_runtime_lock();
// Gives one level back; returns the levels this thread still holds.
int release_runtime_lock();
// Gives every level back and returns how many there were, for a wait.
int release_runtime_lock_fully();
void retake_runtime_lock(int levels);
bool runtime_lock_held();  // by this thread
std::thread::id runtime_lock_owner();

// Holds the lock for a scope.
class RuntimeLockScope {
 public:
  RuntimeLockScope() { take_runtime_lock(); }
  ~RuntimeLockScope() { release_runtime_lock(); }
  RuntimeLockScope(const RuntimeLockScope&) = delete;
  RuntimeLockScope& operator=(const RuntimeLockScope&) = delete;
};

}  // namespace vrt::window
