// Real child processes for the tests of files shared between processes.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "tests/data/bdx_test_support.h"

namespace vrt::test {

// Runs the work in a child process; its result is the child's exit code
// (the number of faults it found, at most 100).
inline pid_t start_child(const std::function<int()>& work) {
  pid_t pid = fork();
  if (pid == 0) {
    QuietBoxes quiet;
    int faults = work() + QuietBoxes::count();
    _exit(faults > 100 ? 100 : faults);
  }
  return pid;
}

// The child's exit code, or -1 when it did not exit by itself.
inline int child_result(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same, for a child that might hang: after the seconds given it is
// killed and the result is -1.
inline int child_result_within(pid_t pid, int seconds) {
  for (int waited = 0; waited < seconds * 100; ++waited) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

// Whether the child was killed by SIGKILL.
inline bool child_killed(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace vrt::test
