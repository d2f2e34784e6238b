// Transactions across files: COMMIT writes every file's updates or none,
// also when the committing process is killed at any point of the commit;
// ROLLBACK forgets them. And faults of the file system in the middle of an
// update: the documented error, and a file the next operation resolves.
#include "runtime/data/bdx/transaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/platform/os/file.h"
#include "tests/data/bdx_test_support.h"
#include "tests/data/child_process.h"

namespace vrt::data {
namespace {

using test::create_customers;

// Counts in another process, which sees only what is on disk; -1 on error.
int records_on_disk(const std::string& path) {
  pid_t child = test::start_child([&] {
    FileBlock f;
    test::make_file(f, test::kCustomerDeclaration, path);
    Open(f, kReadOnly | kDenyNone);
    int n = Records(f);
    return core::error_code() != 0 ? 100 : n;
  });
  int n = test::child_result(child);
  return n == 100 ? -1 : n;
}

struct TwoFiles {
  explicit TwoFiles(const std::string& a_path, const std::string& b_path) {
    test::make_file(a, test::kCustomerDeclaration, a_path);
    test::make_file(b, test::kCustomerDeclaration, b_path);
    Open(a);
    Open(b);
  }
  ~TwoFiles() {
    Close(a);
    Close(b);
  }
  // Adds one record to each file; false on any error.
  bool add_to_both(int id) {
    for (FileBlock* f : {&a, &b}) {
      test::customer(*f, id, "Added" + std::to_string(id), "There");
      Add(*f);
      if (core::error_code() != 0) return false;
    }
    return true;
  }
  FileBlock a, b;
};

TEST(Transaction, CommitWritesBothFilesAndRollbackNeither) {
  test::TempDir dir;
  std::string a_path = dir.file("A.BDX"), b_path = dir.file("B.BDX");
  create_customers(a_path, 3);
  create_customers(b_path, 3);
  TwoFiles files(a_path, b_path);

  Logout(1, {&files.a, &files.b});
  ASSERT_EQ(core::error_code(), 0);
  ASSERT_TRUE(files.add_to_both(100));
  EXPECT_EQ(Records(files.a), 4);         // this process sees its updates
  EXPECT_EQ(records_on_disk(a_path), 3);  // others do not, yet
  Logout(1, {&files.a});
  EXPECT_EQ(core::error_code(), 56);
  Close(files.b);  // an enlisted file stays open until the transaction ends
  EXPECT_EQ(core::error_code(), 56);
  Commit();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(records_on_disk(a_path), 4);
  EXPECT_EQ(records_on_disk(b_path), 4);
  EXPECT_TRUE(platform::file_exists(dir.file(kControlFileName)));

  Logout(1, {&files.a, &files.b});
  ASSERT_TRUE(files.add_to_both(101));
  Rollback();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(Records(files.a), 4);
  EXPECT_EQ(Records(files.b), 4);
  EXPECT_EQ(records_on_disk(b_path), 4);

  Commit();
  EXPECT_EQ(core::error_code(), 91);
  for (const auto& p : check_file(a_path)) ADD_FAILURE() << p;
  for (const auto& p : check_file(b_path)) ADD_FAILURE() << p;
}

// Recovery of a transaction whose control file cannot be read (here it has
// become a folder) does not wait for it: the transaction cannot be known to
// have passed its commit point, so the update rolls back.
TEST(Transaction, AnUnreadableControlFileRollsBackWithoutWaiting) {
  test::TempDir dir;
  std::string a_path = dir.file("A.BDX"), b_path = dir.file("B.BDX");
  create_customers(a_path, 20);
  create_customers(b_path, 20);
  pid_t child = test::start_child([&] {
    TwoFiles files(a_path, b_path);
    Logout(1, {&files.a, &files.b});
    if (!files.add_to_both(1001)) return 10 + core::error_code();
    crash_next_at(CrashPoint::kAllFilesPrepared, CrashMode::Kill);
    Commit();
    return 2;
  });
  ASSERT_TRUE(test::child_killed(child));
  std::string control = dir.file(kControlFileName);
  ASSERT_EQ(std::remove(control.c_str()), 0);
  ASSERT_EQ(mkdir(control.c_str(), 0700), 0);
  pid_t opener = test::start_child([&] { return records_on_disk(a_path) == 20 ? 0 : 1; });
  EXPECT_EQ(test::child_result_within(opener, 20), 0);
  rmdir(control.c_str());
  for (const auto& p : check_file(a_path)) ADD_FAILURE() << p;
}

TEST(Transaction, TheControlFileCommandNamesOneFileForEveryTransaction) {
  test::TempDir dir;
  std::string a_path = dir.file("A.BDX"), b_path = dir.file("B.BDX");
  create_customers(a_path, 1);
  create_customers(b_path, 1);
  TwoFiles files(a_path, b_path);
  std::string control = dir.file("ONE.TCF");
  EXPECT_EQ(Send(files.a, "TCF=" + control), control);
  EXPECT_EQ(Send(files.b, "TCF"), control);
  Logout(1, {&files.a, &files.b});
  ASSERT_TRUE(files.add_to_both(7));
  Commit();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_TRUE(platform::file_exists(control));
  EXPECT_FALSE(platform::file_exists(dir.file(kControlFileName)));
  EXPECT_EQ(Send(files.a, "TCF="), "");
}

TEST(Transaction, OneControlFileTooManyIsAnInternalFailure) {
  test::TempDir dir;
  std::vector<std::unique_ptr<FileBlock>> files;
  std::vector<FileBlock*> enlisting;
  for (size_t i = 0; i <= kMaxControlFiles; ++i) {
    std::string sub = dir.file("d" + std::to_string(i));
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    create_customers(sub + "/F.BDX", 0);
    files.push_back(std::make_unique<FileBlock>());
    test::make_file(*files.back(), test::kCustomerDeclaration, sub + "/F.BDX");
    Open(*files.back());
    enlisting.push_back(files.back().get());
  }
  test::QuietBoxes quiet;
  int boxes = test::QuietBoxes::count();
  Logout(1, enlisting);
  EXPECT_EQ(core::error_code(), 36);
  EXPECT_EQ(test::QuietBoxes::count(), boxes + 1);  // "Possible data corruption in file"
  // None stayed enlisted.
  Logout(1, {files.front().get()});
  EXPECT_EQ(core::error_code(), 0);
  Rollback();
  for (auto& f : files) Close(*f);
}

// The committing process is killed at a point of the commit; the next
// opener of each file finds both before or both after the transaction.
struct Crash {
  CrashPoint point;
  bool two_directories;
};

class KilledCommit : public ::testing::TestWithParam<Crash> {};

TEST_P(KilledCommit, BothFilesAreBeforeOrBothAfter) {
  Crash crash = GetParam();
  test::TempDir dir;
  std::string other_dir = dir.file("other");
  ASSERT_EQ(mkdir(other_dir.c_str(), 0700), 0);
  std::string a_path = dir.file("A.BDX");
  std::string b_path = crash.two_directories ? other_dir + "/B.BDX" : dir.file("B.BDX");
  create_customers(a_path, 120);
  create_customers(b_path, 120);
  pid_t child = test::start_child([&] {
    TwoFiles files(a_path, b_path);
    // One transaction first, so that the control files have pages that
    // the next one changes.
    Logout(1, {&files.a, &files.b});
    if (!files.add_to_both(1000)) return 10 + core::error_code();
    Commit();
    if (core::error_code() != 0) return 20 + core::error_code();
    Logout(1, {&files.a, &files.b});
    if (!files.add_to_both(1001)) return 30 + core::error_code();
    crash_next_at(crash.point, CrashMode::Kill);
    Commit();
    return 2;  // not killed: the point was never reached
  });
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "point " << static_cast<int>(crash.point) << " exit " << WEXITSTATUS(status);

  bool committed =
      crash.point == CrashPoint::kCommitPointPassed || crash.point == CrashPoint::kFirstFileFinished;
  for (const std::string& path : {a_path, b_path}) {
    FileBlock f;
    test::make_file(f, test::kCustomerDeclaration, path);
    Open(f);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
    EXPECT_EQ(Records(f), committed ? 122 : 121) << path << " point " << static_cast<int>(crash.point);
    test::customer(f, 0, "Added1001");
    Get(f, f.declaration.keys[0]);
    EXPECT_EQ(core::error_code(), committed ? 0 : 35);
    // A later update also takes away what the transaction left behind.
    test::customer(f, 2000, "Later");
    Add(f);
    EXPECT_EQ(core::error_code(), 0);
    Close(f);
    for (const auto& p : check_file(path)) ADD_FAILURE() << path << ": " << p;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPoint, KilledCommit,
                         ::testing::Values(Crash{CrashPoint::kAfterStep4, false},
                                           Crash{CrashPoint::kAfterHeaderHome, false},
                                           Crash{CrashPoint::kControlRecordsWritten, false},
                                           Crash{CrashPoint::kFirstFilePrepared, false},
                                           Crash{CrashPoint::kAllFilesPrepared, false},
                                           Crash{CrashPoint::kCommitPointPassed, false},
                                           Crash{CrashPoint::kFirstFileFinished, false},
                                           Crash{CrashPoint::kAllFilesPrepared, true},
                                           Crash{CrashPoint::kCommitPointPassed, true},
                                           Crash{CrashPoint::kFirstFileFinished, true}));

// A write that moves half its bytes, or a flush that fails, at each write
// or flush of an update: the documented error, and the file is either
// before or after the update once the next operation has resolved it.
class FaultyUpdate : public ::testing::TestWithParam<std::pair<Fault, int>> {};

TEST_P(FaultyUpdate, EndsInTheErrorAndLeavesAWholeFile) {
  auto [fault, nth] = GetParam();
  test::TempDir dir;
  std::string path = dir.file("FAULT.BDX");
  create_customers(path, 120);
  test::QuietBoxes quiet;
  int boxes = test::QuietBoxes::count();
  FileBlock f;
  test::make_file(f, test::kCustomerDeclaration, path);
  Open(f);
  test::customer(f, 999, "Aaron", "Hill");  // the first page and the index change
  inject_fault(fault, nth);
  Add(f);
  int code = core::error_code();
  inject_fault(fault, 0);
  if (fault == Fault::ShortWrite) {
    EXPECT_EQ(code, 36);
    EXPECT_EQ(test::QuietBoxes::count(), boxes + 1);  // "Possible data corruption in file"
  } else {
    EXPECT_EQ(code, 90);
  }
  int n = Records(f);
  EXPECT_TRUE(n == 120 || n == 121) << n;
  test::customer(f, 0, "Aaron");
  Get(f, f.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), n == 121 ? 0 : 35);
  Close(f);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

INSTANTIATE_TEST_SUITE_P(EveryWriteAndFlush, FaultyUpdate,
                         ::testing::Values(std::pair{Fault::ShortWrite, 1}, std::pair{Fault::ShortWrite, 2},
                                           std::pair{Fault::ShortWrite, 3}, std::pair{Fault::ShortWrite, 4},
                                           std::pair{Fault::ShortWrite, 6}, std::pair{Fault::FailingFlush, 1},
                                           std::pair{Fault::FailingFlush, 2},
                                           std::pair{Fault::FailingFlush, 3}));

}  // namespace
}  // namespace vrt::data
