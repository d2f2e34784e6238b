// The long form of the crash tests: a process commits transactions over two
// files, one record in each, and is killed with SIGKILL, either at a random
// moment or at a random point of the commit armed in advance. After each
// crash the files are opened (which recovers them) and checked: a damaged
// file, a commit the process had seen succeed that is missing (lost), or a
// transaction found in one file but not the other (half) is counted.
//
//   bdx_crash_matrix_bench [ROUNDS]     (default 300)
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"

namespace {

using vrt::data::CrashPoint;
using vrt::data::FileBlock;

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('ENTRIES'),THREAD
ENT:BYID KEY(+ENT:ID),PRIMARY
RECORD
ENT:ID LONG
ENT:TEXT STRING(60)
END
END
)";

const CrashPoint kPoints[] = {
    CrashPoint::kAfterStep1,
    CrashPoint::kAfterStep2,
    CrashPoint::kAfterStep3,
    CrashPoint::kAfterStep4,
    CrashPoint::kAfterFirstHomeCopy,
    CrashPoint::kAfterHeaderHome,
    CrashPoint::kControlRecordsWritten,
    CrashPoint::kFirstFilePrepared,
    CrashPoint::kAllFilesPrepared,
    CrashPoint::kCommitPointPassed,
    CrashPoint::kFirstFileFinished,
};

void make_block(FileBlock& f, const std::string& path) {
  vrt::data::FileDeclaration d;
  std::string message;
  if (!vrt::data::parse_declaration(kDeclaration, &d, &message)) std::exit(1);
  d.name = path;
  vrt::data::make_bdx_file_block(f, std::move(d));
}

void entry(FileBlock& f, int32_t id) {
  std::memset(f.record.data(), ' ', f.record.size());
  std::memcpy(f.record.data(), &id, 4);
  std::string text = "Entry " + std::to_string(id) + " of the transaction";
  std::memcpy(f.record.data() + 4, text.data(), text.size());
}

bool has(FileBlock& f, int32_t id) {
  entry(f, id);
  vrt::data::Get(f, f.declaration.keys[0]);
  return vrt::core::error_code() == 0;
}

// The committing process: transactions from the first id on, each id
// written to the pipe once its COMMIT succeeded.
[[noreturn]] void commit_until_killed(const std::string& a_path, const std::string& b_path, int32_t first,
                                      int fd, int arm_after, CrashPoint point) {
  FileBlock a, b;
  make_block(a, a_path);
  make_block(b, b_path);
  vrt::data::Open(a);
  vrt::data::Open(b);
  for (int32_t id = first;; ++id) {
    if (id - first == arm_after) vrt::data::crash_next_at(point, vrt::data::CrashMode::Kill);
    vrt::data::Logout(1, {&a, &b});
    entry(a, id);
    vrt::data::Add(a);
    entry(b, id);
    vrt::data::Add(b);
    vrt::data::Commit();
    if (vrt::core::error_code() != 0) {
      vrt::data::Rollback();
      continue;
    }
    if (write(fd, &id, sizeof id) != sizeof id) _exit(1);
  }
}

vrt::core::BoxAnswer quiet_box(const vrt::core::BoxRequest&) { return vrt::core::kAnswerNo; }

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
  vrt::core::set_runtime_box_handler(quiet_box);
  std::string dir = vrt::platform::temp_directory() + "bdx_crash_bench_" + std::to_string(getpid());
  if (mkdir(dir.c_str(), 0700) != 0) return 1;
  std::string a_path = dir + "/A.BDX", b_path = dir + "/B.BDX";
  for (const std::string& path : {a_path, b_path}) {
    FileBlock f;
    make_block(f, path);
    vrt::data::Create(f);
    vrt::data::Open(f);
    for (int32_t id = 1; id <= 200; ++id) {
      entry(f, id);
      vrt::data::Add(f);
    }
    vrt::data::Close(f);
  }

  std::mt19937 random(2026);
  int32_t next = 1000;
  int crashes = 0, damaged = 0, lost = 0, half = 0, armed = 0;
  auto started = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) {
    int pipes[2];
    if (pipe(pipes) != 0) return 1;
    bool arm = random() % 2 == 0;
    int arm_after = arm ? static_cast<int>(random() % 20) : -1;
    CrashPoint point = kPoints[random() % (sizeof kPoints / sizeof kPoints[0])];
    pid_t child = fork();
    if (child == 0) {
      close(pipes[0]);
      commit_until_killed(a_path, b_path, next, pipes[1], arm_after, point);
    }
    close(pipes[1]);
    if (!arm) {
      std::this_thread::sleep_for(std::chrono::microseconds(1000 + random() % 40000));
      kill(child, SIGKILL);
    }
    int32_t last_committed = next - 1, id;
    while (read(pipes[0], &id, sizeof id) == sizeof id) last_committed = id;
    close(pipes[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) ++crashes;
    armed += arm;

    // Recovery by the next opener, then the checks.
    {
      FileBlock a, b;
      make_block(a, a_path);
      make_block(b, b_path);
      vrt::data::Open(a);
      vrt::data::Open(b);
      if (vrt::core::error_code() != 0) ++damaged;
      for (int32_t i = next; i <= last_committed; ++i)
        if (!has(a, i) || !has(b, i)) ++lost;
      // The transaction under way at the crash: in both files or in neither.
      int32_t open_id = last_committed + 1;
      bool in_a = has(a, open_id), in_b = has(b, open_id);
      if (in_a != in_b) ++half;
      next = open_id + (in_a && in_b ? 1 : 0);
      vrt::data::Close(a);
      vrt::data::Close(b);
    }
    for (const std::string& path : {a_path, b_path})
      if (!vrt::data::check_file(path).empty()) ++damaged;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "rounds %d (%d with a crash point armed): crashes %d, damaged files %d, lost commits %d, "
      "half transactions %d; %d transactions committed in all, %.1f s\n",
      rounds, armed, crashes, damaged, lost, half, next - 1000, seconds);
  for (const char* name : {"/A.BDX", "/B.BDX", "/brindlex.tcf"}) std::remove((dir + name).c_str());
  rmdir(dir.c_str());
  return damaged + lost + half == 0 ? 0 : 1;
}
