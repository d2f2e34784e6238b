#include "runtime/platform/os/power_loss.h"

#include <gtest/gtest.h>

#include <set>

#include "runtime/platform/os/file.h"
#include "tests/test_support.h"

namespace vrt::platform {
namespace {

// A file of "old" bytes, flushed, with a PowerLoss watching it.
struct Watched {
  test::TempDir dir;
  std::string path = dir.file("f");
  PowerLoss disk;
  std::unique_ptr<File> file;
  explicit Watched(size_t size = 1024) {
    file = File::open(path, Access::ReadWrite, Share::DenyNone, Disposition::CreateNew);
    flush_folder_of(path);
    std::string old(size, 'o');
    file->write_at(0, old.data(), old.size());
    file->flush();
  }
  std::string cut(PowerCut how, uint64_t seed = 0) { return disk.cut(path, how, seed).value(); }
};

TEST(PowerLoss, UnflushedWriteKeptWholeOrLostAtTheEnds) {
  Watched w;
  w.file->write_at(100, "new", 3);
  EXPECT_EQ(w.cut(PowerCut::KeepNone), std::string(1024, 'o'));
  EXPECT_EQ(w.cut(PowerCut::KeepAll), test::read_file(w.path));
  EXPECT_EQ(w.cut(PowerCut::KeepAll).substr(100, 3), "new");
  w.file->flush();
  EXPECT_EQ(w.cut(PowerCut::KeepNone).substr(100, 3), "new");  // durable now
  EXPECT_FALSE(w.disk.cut(w.dir.file("other"), PowerCut::KeepAll).has_value());
}

TEST(PowerLoss, TornWriteKeepsOnlyWholeSectors) {
  Watched w(4 * kDiskSectorSize);
  // From the middle of sector 0 to the middle of sector 3.
  std::string fresh(3 * kDiskSectorSize, 'n');
  w.file->write_at(kDiskSectorSize / 2, fresh.data(), fresh.size());
  std::set<std::string> seen;
  for (uint64_t seed = 0; seed < 200; ++seed) {
    std::string image = w.cut(PowerCut::Random, seed);
    ASSERT_EQ(image.size(), 4 * kDiskSectorSize);
    // Within each sector the write's part is all there or not at all.
    for (uint64_t s = 0; s < 4; ++s) {
      uint64_t from = std::max(s * kDiskSectorSize, kDiskSectorSize / 2);
      uint64_t to = std::min((s + 1) * kDiskSectorSize, kDiskSectorSize / 2 + fresh.size());
      std::string part = image.substr(from, to - from);
      EXPECT_TRUE(part == std::string(part.size(), 'n') || part == std::string(part.size(), 'o'))
          << "seed " << seed << " sector " << s;
    }
    seen.insert(image);
  }
  // Whole, lost, and some torn mixes all turn up.
  EXPECT_GT(seen.size(), 3u);
}

TEST(PowerLoss, SizeChangeAfterFlushKeptOrLost) {
  Watched w;
  w.file->truncate(10);
  EXPECT_EQ(w.cut(PowerCut::KeepNone).size(), 1024u);
  EXPECT_EQ(w.cut(PowerCut::KeepAll).size(), 10u);
  std::set<size_t> sizes;
  for (uint64_t seed = 0; seed < 50; ++seed) sizes.insert(w.cut(PowerCut::Random, seed).size());
  EXPECT_EQ(sizes, (std::set<size_t>{10, 1024}));
}

TEST(PowerLoss, RandomCutsAreReplayedBySeedAndReorderWrites) {
  Watched w(16);
  w.file->write_at(0, "A", 1);
  w.file->write_at(0, "B", 1);  // the later write may land first
  std::set<char> firsts;
  for (uint64_t seed = 0; seed < 50; ++seed) {
    EXPECT_EQ(w.cut(PowerCut::Random, seed), w.cut(PowerCut::Random, seed));
    firsts.insert(w.cut(PowerCut::Random, seed)[0]);
  }
  EXPECT_EQ(firsts, (std::set<char>{'o', 'A', 'B'}));
}

TEST(PowerLoss, NewFileKeepsItsNameOnlyOnceItsFolderIsFlushed) {
  test::TempDir dir;
  std::string path = dir.file("made");
  PowerLoss disk;
  auto f = File::open(path, Access::ReadWrite, Share::DenyNone, Disposition::CreateNew);
  f->write_at(0, "data", 4);
  f->flush();
  EXPECT_FALSE(disk.cut(path, PowerCut::KeepNone).has_value());  // the whole file lost
  EXPECT_EQ(disk.cut(path, PowerCut::KeepAll).value(), "data");
  std::set<bool> kept;
  for (uint64_t seed = 0; seed < 20; ++seed) kept.insert(disk.cut(path, PowerCut::Random, seed).has_value());
  EXPECT_EQ(kept, (std::set<bool>{false, true}));
  ASSERT_TRUE(flush_folder_of(path));
  EXPECT_EQ(disk.cut(path, PowerCut::KeepNone).value(), "data");
  // A file that was there already keeps its name.
  PowerLoss later;
  auto same = File::open(path, Access::ReadWrite, Share::DenyNone, Disposition::OpenAlways);
  EXPECT_EQ(later.cut(path, PowerCut::KeepNone).value(), "data");
}

TEST(PowerLoss, CutAfterCountsChangesAndStopsWatchingWhenGone) {
  test::TempDir dir;
  std::string path = dir.file("g");
  std::string at_cut;
  {
    PowerLoss disk;
    auto f = File::open(path, Access::ReadWrite, Share::DenyNone, Disposition::CreateNew);
    disk.cut_after(2, [&] { at_cut = disk.cut(path, PowerCut::KeepAll).value(); });
    f->write_at(0, "one", 3);
    f->write_at(3, "two", 3);
    f->write_at(6, "three", 5);
    EXPECT_EQ(at_cut, "onetwo");
    EXPECT_EQ(disk.changes(), 3);
  }
  EXPECT_EQ(file_observer(), nullptr);
}

}  // namespace
}  // namespace vrt::platform
