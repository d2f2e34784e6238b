#include "runtime/platform/os/file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/platform/os/system_error.h"
#include "tests/test_support.h"

namespace vrt::platform {
namespace {

using A = Access;
using S = Share;

TEST(File, CreateReadWriteAndSize) {
  test::TempDir dir;
  auto f = File::open(dir.file("a"), A::ReadWrite, S::DenyNone, Disposition::CreateNew);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->write_at(10, "hello", 5), 5);
  EXPECT_EQ(f->size(), 15);
  char buf[8] = {};
  EXPECT_EQ(f->read_at(10, buf, 8), 5);  // short read at the end
  EXPECT_STREQ(buf, "hello");
  EXPECT_TRUE(f->flush());
  EXPECT_TRUE(f->truncate(3));
  EXPECT_EQ(f->size(), 3);
  EXPECT_EQ(File::open(dir.file("a"), A::ReadWrite, S::DenyNone, Disposition::CreateNew), nullptr);
  EXPECT_EQ(GetLastError(), kErrorFileExists);
  EXPECT_EQ(File::open(dir.file("missing"), A::Read, S::DenyNone), nullptr);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(File::open(dir.path(), A::Read, S::DenyNone), nullptr);
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

struct ShareCase {
  A first_access;
  S first_share;
  A second_access;
  S second_share;
  bool second_opens;
};

TEST(File, ShareModesBetweenHandles) {
  const ShareCase cases[] = {
      {A::ReadWrite, S::DenyNone, A::ReadWrite, S::DenyNone, true},
      {A::ReadWrite, S::DenyWrite, A::Read, S::DenyNone, true},
      {A::ReadWrite, S::DenyWrite, A::ReadWrite, S::DenyNone, false},
      {A::Read, S::DenyNone, A::ReadWrite, S::DenyWrite, true},
      {A::ReadWrite, S::DenyNone, A::Read, S::DenyWrite, false},  // someone already writes
      {A::ReadWrite, S::DenyAll, A::Read, S::DenyNone, false},
      {A::Read, S::DenyNone, A::Read, S::DenyRead, false},
      {A::Write, S::DenyRead, A::Write, S::DenyNone, true},
  };
  test::TempDir dir;
  test::write_file(dir.file("s"), "x");
  for (const ShareCase& c : cases) {
    auto first = File::open(dir.file("s"), c.first_access, c.first_share);
    ASSERT_NE(first, nullptr);
    auto second = File::open(dir.file("s"), c.second_access, c.second_share);
    EXPECT_EQ(second != nullptr, c.second_opens)
        << int(c.first_access) << int(c.first_share) << int(c.second_access) << int(c.second_share);
    if (!second) {
      EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    }
  }
  // Closing the exclusive handle lets others in again.
  { auto only = File::open(dir.file("s"), A::ReadWrite, S::DenyAll); }
  EXPECT_NE(File::open(dir.file("s"), A::ReadWrite, S::DenyNone), nullptr);
}

TEST(File, ByteLocksConflictBetweenHandlesAndProcesses) {
  test::TempDir dir;
  test::write_file(dir.file("l"), "x");
  auto a = File::open(dir.file("l"), A::ReadWrite, S::DenyNone);
  auto b = File::open(dir.file("l"), A::ReadWrite, S::DenyNone);
  const uint64_t area = uint64_t{1} << 31;
  ASSERT_TRUE(a->lock(area, 10));
  EXPECT_FALSE(b->lock(area + 5, 1));
  EXPECT_EQ(GetLastError(), kErrorLockViolation);
  EXPECT_TRUE(b->lock(area + 10, 1));
  EXPECT_TRUE(a->lock_shared(area + 100, 1));
  EXPECT_TRUE(b->lock_shared(area + 100, 1));

  // A child process sees the same locks.
  pid_t pid = fork();
  if (pid == 0) {
    auto c = File::open(dir.file("l"), A::ReadWrite, S::DenyNone);
    bool blocked = c && !c->lock(area, 1) && c->lock(area + 50, 1);
    _exit(blocked ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_TRUE(a->unlock(area, 10));
  EXPECT_TRUE(b->lock(area + 5, 1));
}

TEST(File, TempFiles) {
  std::string name = make_temp_file("TMP");
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.rfind(temp_directory() + "TMP", 0), 0u);
  EXPECT_TRUE(file_exists(name));
  EXPECT_TRUE(delete_file(name));
  EXPECT_FALSE(file_exists(name));
  EXPECT_FALSE(delete_file(name));
}

}  // namespace
}  // namespace vrt::platform

#include <pthread.h>

#include "runtime/platform/os/thread.h"

namespace vrt::platform {
namespace {

TEST(Thread, StacksAreAtLeastTheFloorAndAsAskedAbove) {
  size_t seen = 0;
  Thread t;
  ASSERT_TRUE(t.start(
      [&] {
        pthread_attr_t attr;
        pthread_getattr_np(pthread_self(), &attr);
        pthread_attr_getstacksize(&attr, &seen);
        pthread_attr_destroy(&attr);
      },
      50000));
  t.join();
  EXPECT_GE(seen, kMinimumStack);  // 50 000 bytes would not hold this code
  Thread big;
  ASSERT_TRUE(big.start([&] {
    pthread_attr_t attr;
    pthread_getattr_np(pthread_self(), &attr);
    pthread_attr_getstacksize(&attr, &seen);
    pthread_attr_destroy(&attr);
  }, 8 << 20));
  big.join();
  EXPECT_GE(seen, size_t{8} << 20);
  EXPECT_FALSE(big.running());
}

}  // namespace
}  // namespace vrt::platform
