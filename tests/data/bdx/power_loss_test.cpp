// Power cuts at random moments of single updates, STREAM runs, key rebuilds
// and commits across two files (power_loss_rounds.h): the next opener finds
// sound files holding every unit that returned (each flushes before it
// does), and of the unit cut short all or nothing, across both files of a
// transaction, even when the power fails again while it recovers.
// VRT_POWER_LOSS_ROUNDS runs more rounds of each; the benchmark
// bdx_power_loss_bench runs the long form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/platform/os/power_loss.h"
#include "tests/data/bdx/power_loss_rounds.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data::power_loss {
namespace {

// Rounds from seed 1 on; every damaged round is reported with its sequence.
void expect_rounds_survive(Workload w, bool encrypted, uint64_t rounds) {
  test::QuietBoxes boxes;
  test::TempDir dir;
  Rounds runner(dir.path(), w, encrypted);
  if (const char* more = std::getenv("VRT_POWER_LOSS_ROUNDS")) rounds = std::strtoull(more, nullptr, 10);
  std::string damage;
  int faults = 0;
  for (uint64_t seed = 1; seed <= rounds; ++seed) {
    Outcome o = runner.run(seed);
    if (o.sound()) continue;
    ++faults;
    damage += o.fault + "\n  " + o.sequence + "\n";
  }
  EXPECT_EQ(faults, 0) << "of " << rounds << " " << name_of(w) << " rounds:\n" << damage;
}

TEST(PowerLoss, SingleUpdatesSurviveRandomCuts) { expect_rounds_survive(Workload::Single, false, 300); }
TEST(PowerLoss, EncryptedFileSurvivesTheSame) {
  expect_rounds_survive(Workload::Single, true, 20);  // each open derives the key: slow
}
TEST(PowerLoss, StreamRunsSurviveRandomCuts) { expect_rounds_survive(Workload::Stream, false, 100); }
TEST(PowerLoss, KeyRebuildsSurviveRandomCuts) { expect_rounds_survive(Workload::Build, false, 60); }
TEST(PowerLoss, CommitsAcrossTwoFilesSurviveRandomCuts) { expect_rounds_survive(Workload::Commit, false, 100); }
TEST(PowerLoss, EncryptedWorkloadsSurviveTheSame) {
  for (Workload w : {Workload::Stream, Workload::Build, Workload::Commit}) expect_rounds_survive(w, true, 2);
}

// Rounds that once failed, replayed by their seeds.
TEST(PowerLoss, ReplayedRoundsStaySound) {
  test::QuietBoxes boxes;
  test::TempDir dir;
  Rounds commits(dir.path(), Workload::Commit, false);
  // 66: the first commit made the control file; the cut kept its pages but
  // not its header, a control file no later commit could open. 43, 118,
  // 882: the commit made the control file and the cut lost its name with
  // it, after the commit point: recovery rolled back a file that the other
  // file's roll forward or its own pages gone home had made part of the
  // transaction (half, or damaged).
  for (uint64_t seed : {66, 43, 118, 882}) {
    Outcome o = commits.run(seed);
    EXPECT_TRUE(o.sound()) << o.fault << "\n" << o.sequence;
  }
}

// A new file: its name is durable once its folder is flushed, and its
// first update (CREATE) writes its pages in place, past a header that is
// not on the disk yet. Cut at each change, the file must open: missing or
// without the table until CREATE returned, with the table once it had and
// with the record once ADD had.
TEST(PowerLoss, NewFileOpensAfterACutAnywhere) {
  test::QuietBoxes boxes;
  test::TempDir dir;
  std::string path = dir.file("NEW.BDX");
  for (int n = 1;; ++n) {
    std::vector<std::optional<std::string>> images;
    int returned = 0, returned_at_cut = -1;
    {
      std::remove(path.c_str());
      platform::PowerLoss disk;
      disk.cut_after(n, [&] {
        returned_at_cut = returned;
        for (uint64_t seed = 0; seed < 12; ++seed)
          images.push_back(disk.cut(path, seed == 0   ? platform::PowerCut::KeepNone
                                          : seed == 1 ? platform::PowerCut::KeepAll
                                                      : platform::PowerCut::Random,
                                    seed));
      });
      FileBlock f;
      test::make_file(f, test::kCustomerDeclaration, path);
      Create(f);
      ++returned;
      Open(f);
      test::customer(f, 1, "First");
      Add(f);
      ASSERT_EQ(core::error_code(), 0) << core::error_text();
      ++returned;
      Close(f);
    }
    if (returned_at_cut < 0) break;
    for (size_t i = 0; i < images.size(); ++i) {
      std::remove(path.c_str());  // the disk may have lost the new file's name
      if (images[i]) test::write_file(path, *images[i]);
      FileBlock f;
      test::make_file(f, test::kCustomerDeclaration, path);
      Open(f);
      std::string where = "cut after change " + std::to_string(n) + ", image " + std::to_string(i);
      if (returned_at_cut == 0 && core::error_code() == kFileNotFound) continue;  // no file or table yet
      ASSERT_EQ(core::error_code(), 0) << where << ": " << core::error_text();
      EXPECT_GE(Records(f), returned_at_cut == 2 ? 1 : 0) << where;
      Close(f);
      EXPECT_TRUE(check_file(path).empty()) << where;
    }
  }
}

}  // namespace
}  // namespace vrt::data::power_loss
