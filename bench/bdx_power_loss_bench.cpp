// The long form of the power-cut rounds: each workload (single updates,
// STREAM runs, key rebuilds, commits across two files) runs ROUNDS rounds
// with a random cut moment and seed, one round in 25 on an encrypted file.
// Prints per workload the rounds run, those cut before the last unit
// returned, damaged files, lost commits and half units; every failing round
// with its seed and sequence, so that a test can replay it.
//
//   bdx_power_loss_bench [ROUNDS [WORKLOAD]]     (default 1000 of each)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/core/base/runtime_box.h"
#include "runtime/platform/os/file.h"
#include "tests/data/bdx/power_loss_rounds.h"

namespace {

using namespace vrt::data::power_loss;

vrt::core::BoxAnswer quiet_box(const vrt::core::BoxRequest&) { return vrt::core::kAnswerNo; }

}  // namespace

int main(int argc, char** argv) {
  uint64_t rounds = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000;
  std::string only = argc > 2 ? argv[2] : "";
  vrt::core::set_runtime_box_handler(quiet_box);
  std::string dir = vrt::platform::temp_directory() + "bdx_power_loss_bench_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  int failed = 0;
  for (Workload w : kWorkloads) {
    if (!only.empty() && only != name_of(w)) continue;
    auto started = std::chrono::steady_clock::now();
    Rounds plain(dir, w, false);
    Rounds cipher(dir, w, true);  // same names: each round puts its own files
    uint64_t encrypted_rounds = 0, cut_before_end = 0, damaged = 0, lost = 0, half = 0;
    for (uint64_t seed = 1; seed <= rounds; ++seed) {
      bool encrypted = seed % 25 == 0;
      Outcome o = (encrypted ? cipher : plain).run(seed);
      encrypted_rounds += encrypted;
      cut_before_end += o.cut_before_end;
      damaged += o.damaged;
      lost += o.lost;
      half += o.half;
      if (!o.sound()) std::printf("FAILED %s\n  %s\n", o.fault.c_str(), o.sequence.c_str());
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "%-7s rounds %llu (%llu encrypted, %llu cut before the last unit returned): damaged files %llu, "
        "lost commits %llu, half units %llu; %.1f s\n",
        name_of(w), static_cast<unsigned long long>(rounds), static_cast<unsigned long long>(encrypted_rounds),
        static_cast<unsigned long long>(cut_before_end), static_cast<unsigned long long>(damaged),
        static_cast<unsigned long long>(lost), static_cast<unsigned long long>(half), seconds);
    std::fflush(stdout);
    failed += static_cast<int>(damaged + lost + half);
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return failed == 0 ? 0 : 1;
}
