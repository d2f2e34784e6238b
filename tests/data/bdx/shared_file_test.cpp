// Several processes on one file at once: readers never see a half-written
// update, writers never lose each other's updates, and a writer killed in
// the middle leaves a file the next opener resolves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/bdx/store/file_locks.h"
#include "tests/data/bdx_test_support.h"
#include "tests/data/child_process.h"

namespace vrt::data {
namespace {

using test::child_result;
using test::start_child;

std::string name_of(int id) { return "Name" + std::to_string(id); }
// The BYID key leaves out zero values: record n carries the number n + 1.
int32_t number_of(int id) { return id + 1; }

using test::create_customers;

// Adds the records first, first + step, ... below end, one update each.
int add_records(const std::string& path, int first, int end, int step) {
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  int faults = core::error_code() != 0;
  for (int i = first; i < end; i += step) {
    test::customer(cus, number_of(i), name_of(i), "Suburb" + std::to_string(i % 7));
    Add(cus);
    faults += core::error_code() != 0;
  }
  Close(cus);
  return faults;
}

// Every record that the count says exists is found by its key, whole.
int check_contiguous(FileBlock& cus, int count) {
  int faults = 0;
  for (int id = 0; id < count; ++id) {
    test::customer(cus, number_of(id), "");
    Get(cus, cus.declaration.keys[4]);  // BYID
    if (core::error_code() != 0 || test::get_string(cus, "CUS:NAME") != name_of(id)) ++faults;
  }
  return faults;
}

// Reads while the writer adds records 0, 1, 2, ... in order: the count
// never goes down, and every counted record is there with its keys.
int read_while_written(const std::string& path, int rounds) {
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus, kReadOnly | kDenyNone);
  int faults = core::error_code() != 0;
  int last = 0;
  for (int r = 0; r < rounds && faults == 0; ++r) {
    int n = Records(cus);
    if (core::error_code() != 0 || n < last) ++faults;
    last = n;
    // The newest record by its name key, and a sample of the others.
    if (n > 0) {
      test::customer(cus, 0, name_of(n - 1));
      Get(cus, cus.declaration.keys[0]);
      if (core::error_code() != 0 || test::get_long(cus, "CUS:CUSID") != number_of(n - 1)) ++faults;
    }
    for (int id = r % 13; id < n; id += 13) {
      test::customer(cus, number_of(id), "");
      Get(cus, cus.declaration.keys[4]);
      if (core::error_code() != 0 || test::get_string(cus, "CUS:NAME") != name_of(id)) ++faults;
    }
    // The first records by name: the names added meanwhile ("Name150"
    // after "Name15") split the pages around them.
    for (int id = r % 3; id < 150; id += 3) {
      test::customer(cus, 0, name_of(id));
      Get(cus, cus.declaration.keys[0]);
      if (core::error_code() != 0 || test::get_long(cus, "CUS:CUSID") != number_of(id)) ++faults;
    }
  }
  Close(cus);
  return faults;
}

TEST(SharedFile, ReadersNeverSeeAHalfWrittenUpdate) {
  test::TempDir dir;
  std::string path = dir.file("SHARED.BDX");
  create_customers(path, 150);
  std::vector<pid_t> children;
  children.push_back(start_child([&] { return add_records(path, 150, 450, 1); }));
  for (int r = 0; r < 3; ++r) children.push_back(start_child([&] { return read_while_written(path, 150); }));
  for (pid_t pid : children) EXPECT_EQ(child_result(pid), 0);

  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  EXPECT_EQ(Records(cus), 450);
  EXPECT_EQ(check_contiguous(cus, 450), 0);
  Close(cus);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

TEST(SharedFile, WritersTakeTurnsAndLoseNothing) {
  test::TempDir dir;
  std::string path = dir.file("WRITERS.BDX");
  create_customers(path, 0);
  std::vector<pid_t> children;
  for (int w = 0; w < 3; ++w) children.push_back(start_child([&, w] { return add_records(path, w, 360, 3); }));
  for (pid_t pid : children) EXPECT_EQ(child_result(pid), 0);

  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  EXPECT_EQ(Records(cus), 360);
  EXPECT_EQ(check_contiguous(cus, 360), 0);
  Close(cus);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

TEST(SharedFile, AWriterKilledMidUpdateLeavesAWholeFile) {
  test::TempDir dir;
  std::string path = dir.file("KILLED.BDX");
  create_customers(path, 100);
  int next = 100;
  for (int round = 0; round < 8; ++round) {
    pid_t writer = start_child([&] { return add_records(path, next, next + 100000, 1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + 7 * round));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);

    FileBlock cus;
    test::make_file(cus, test::kCustomerDeclaration, path);
    Open(cus);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
    int n = Records(cus);
    EXPECT_GE(n, next) << "round " << round;
    EXPECT_EQ(check_contiguous(cus, n), 0) << "round " << round;
    Close(cus);
    for (const auto& p : check_file(path)) ADD_FAILURE() << "round " << round << ": " << p;
    next = n;
  }
}

// The lock area seen from a second handle of the same process (its locks
// conflict with the store's like another process's would).
class LockArea : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.file("LOCKS.BDX");
    create_customers(path, 3);
    test::make_file(cus, test::kCustomerDeclaration, path);
    Open(cus);
    ASSERT_EQ(core::error_code(), 0);
    other = platform::File::open(path, platform::Access::ReadWrite, platform::Share::DenyNone);
    ASSERT_TRUE(other);
  }
  void TearDown() override {
    other.reset();  // its locks go with it
    Close(cus);
  }
  PageStore& store() { return bdx_table(cus)->store(); }

  test::TempDir dir;
  std::string path;
  FileBlock cus;
  std::unique_ptr<platform::File> other;
};

TEST_F(LockArea, AReaderMovesPastATakenSlotAndKeepsTheNewOne) {
  uint32_t first = store().reader_slot();
  ASSERT_TRUE(other->lock(kLockAreaBase + first, 1));
  EXPECT_EQ(Records(cus), 3);
  uint32_t moved = store().reader_slot();
  EXPECT_EQ(moved, (first + 1) % kReaderSlots);
  other->unlock(kLockAreaBase + first, 1);
  EXPECT_EQ(Records(cus), 3);
  EXPECT_EQ(store().reader_slot(), moved);
  // The slot is given back at the end of the operation.
  EXPECT_TRUE(other->lock(kLockAreaBase + moved, 1));
}

TEST_F(LockArea, AnUpdateWaitsForTheReadersOfTheMomentAndTheWriter) {
  ASSERT_TRUE(other->lock(kWriterByte, 1));
  EXPECT_EQ(Records(cus), 3);  // readers pass a writer
  std::atomic<bool> done{false};
  std::thread writer([&] {
    test::customer(cus, number_of(3), name_of(3));
    Add(cus);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);
  // The writer byte is free, but a reader is still reading.
  ASSERT_TRUE(other->lock(kLockAreaBase + 500, 1));
  other->unlock(kWriterByte, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);
  other->unlock(kLockAreaBase + 500, 1);
  writer.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(Records(cus), 4);
  // Both are given back.
  EXPECT_TRUE(other->lock(kWriterByte, 1));
  EXPECT_TRUE(other->lock(kLockAreaBase, kReaderSlots));
}

// A wait for another process says, after a second, what it waits for.
std::vector<std::string>& notices() {
  static std::vector<std::string> n;
  return n;
}

TEST_F(LockArea, AWaitThatLastsSaysWhatItWaitsFor) {
  set_wait_notice([](const std::string& what) { notices().push_back(what); });
  notices().clear();
  ASSERT_TRUE(other->lock(kWriterByte, 1));
  std::thread writer([&] {
    test::customer(cus, number_of(3), name_of(3));
    Add(cus);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  other->unlock(kWriterByte, 1);
  writer.join();
  EXPECT_EQ(notices(), std::vector<std::string>{"waiting for " + path + ": another process is updating it"});
  // A short wait says nothing.
  notices().clear();
  ASSERT_TRUE(other->lock(kLockAreaBase, kReaderSlots));
  std::thread reader([&] { Records(cus); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  other->unlock(kLockAreaBase, kReaderSlots);
  reader.join();
  EXPECT_TRUE(notices().empty());
  set_wait_notice(nullptr);
}

TEST_F(LockArea, HeldUpdatesKeepTheWriterByteUntilWritten) {
  Stream(cus);
  test::customer(cus, number_of(3), name_of(3));
  Add(cus);
  EXPECT_FALSE(other->lock(kWriterByte, 1));
  Flush(cus);
  EXPECT_TRUE(other->lock(kWriterByte, 1));
  other->unlock(kWriterByte, 1);
}

TEST_F(LockArea, PutOfARecordAnotherProcessHoldsIsDenied) {
  test::customer(cus, number_of(1), "");
  Get(cus, cus.declaration.keys[4]);
  ASSERT_EQ(core::error_code(), 0);
  uint64_t byte = record_lock_offset(static_cast<uint32_t>(Pointer(cus)));
  ASSERT_TRUE(other->lock(byte, 1));
  test::set_string(cus, "CUS:NAME", "Changed");
  Put(cus);
  EXPECT_EQ(core::error_code(), 5);
  other->unlock(byte, 1);
  Put(cus);
  EXPECT_EQ(core::error_code(), 0);
  // PUT gives the byte back.
  EXPECT_TRUE(other->lock(byte, 1));
  test::customer(cus, 0, "Changed");
  Get(cus, cus.declaration.keys[0]);
  EXPECT_EQ(test::get_long(cus, "CUS:CUSID"), number_of(1));
}

TEST_F(LockArea, PutAfterWatchFailsWhenTheRecordChangedMeanwhile) {
  FileBlock second;
  test::make_file(second, test::kCustomerDeclaration, path);
  Open(second);
  Watch(cus);
  test::customer(cus, number_of(2), "");
  Get(cus, cus.declaration.keys[4]);
  ASSERT_EQ(core::error_code(), 0);
  test::customer(second, number_of(2), "");
  Get(second, second.declaration.keys[4]);
  test::set_string(second, "CUS:SUBURB", "Elsewhere");
  Put(second);
  ASSERT_EQ(core::error_code(), 0);

  test::set_string(cus, "CUS:NAME", "Mine");
  Put(cus);
  EXPECT_EQ(core::error_code(), 89);
  test::customer(second, number_of(2), "");
  Get(second, second.declaration.keys[4]);
  EXPECT_EQ(test::get_string(second, "CUS:NAME"), name_of(2));
  EXPECT_EQ(test::get_string(second, "CUS:SUBURB"), "Elsewhere");
  // Without WATCH the same PUT goes through.
  Get(cus, cus.declaration.keys[4]);
  test::set_string(cus, "CUS:NAME", "Mine");
  Put(cus);
  EXPECT_EQ(core::error_code(), 0);
  Close(second);
}

TEST_F(LockArea, LockFailsAtOnceWhenAnotherHasItAndLeavesRecordsReadable) {
  uint64_t byte = record_lock_offset(bdx_table(cus)->number());
  ASSERT_TRUE(other->lock(byte, 1));
  Lock(cus);
  EXPECT_EQ(core::error_code(), 32);
  other->unlock(byte, 1);
  Lock(cus);
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_FALSE(other->lock(byte, 1));
  EXPECT_EQ(Records(cus), 3);
  Unlock(cus);
  EXPECT_TRUE(other->lock(byte, 1));
}

TEST_F(LockArea, HoldTakesTheRecordByteUntilReleaseOrPut) {
  test::customer(cus, number_of(1), "");
  Hold(cus);
  Get(cus, cus.declaration.keys[4]);
  ASSERT_EQ(core::error_code(), 0);
  uint64_t byte = record_lock_offset(static_cast<uint32_t>(Pointer(cus)));
  EXPECT_FALSE(other->lock(byte, 1));
  // Held records stay readable, and the holder may change them.
  EXPECT_EQ(Records(cus), 3);
  Release(cus);
  ASSERT_TRUE(other->lock(byte, 1));
  other->unlock(byte, 1);

  Hold(cus);
  Get(cus, cus.declaration.keys[4]);
  EXPECT_FALSE(other->lock(byte, 1));
  test::set_string(cus, "CUS:SUBURB", "Held");
  Put(cus);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_TRUE(other->lock(byte, 1));  // the PUT ended the hold
}

TEST_F(LockArea, HoldWithSecondsGivesUpWith43) {
  test::customer(cus, number_of(2), "");
  Get(cus, cus.declaration.keys[4]);
  uint64_t byte = record_lock_offset(static_cast<uint32_t>(Pointer(cus)));
  ASSERT_TRUE(other->lock(byte, 1));
  test::customer(cus, number_of(2), "");
  Hold(cus, 1);
  Get(cus, cus.declaration.keys[4]);
  EXPECT_EQ(core::error_code(), 43);
  // The HOLD stays pending: once the other lets go, the read holds.
  other->unlock(byte, 1);
  Get(cus, cus.declaration.keys[4]);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(test::get_string(cus, "CUS:NAME"), name_of(2));
  EXPECT_FALSE(other->lock(byte, 1));
}

TEST_F(LockArea, NextUnderHoldWaitsForTheSameRecord) {
  // Record order: the second record is held elsewhere.
  Set(cus);
  Next(cus);
  uint32_t first = static_cast<uint32_t>(Pointer(cus));
  Next(cus);
  uint32_t second = static_cast<uint32_t>(Pointer(cus));
  ASSERT_TRUE(other->lock(record_lock_offset(second), 1));
  Set(cus);
  Next(cus);
  ASSERT_EQ(static_cast<uint32_t>(Pointer(cus)), first);
  std::atomic<bool> done{false};
  std::thread reader([&] {
    Hold(cus);
    Next(cus);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_FALSE(done);
  other->unlock(record_lock_offset(second), 1);
  reader.join();
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(static_cast<uint32_t>(Pointer(cus)), second);  // not skipped
  EXPECT_FALSE(other->lock(record_lock_offset(second), 1));
}

TEST_F(LockArea, LogoutTakesTheWriterByteForTheWholeTransaction) {
  ASSERT_TRUE(other->lock(kWriterByte, 1));
  Logout(1, {&cus});
  EXPECT_EQ(core::error_code(), 5);  // another process is updating
  other->unlock(kWriterByte, 1);
  Logout(1, {&cus});
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_FALSE(other->lock(kWriterByte, 1));
  EXPECT_EQ(Records(cus), 3);  // reads in the transaction keep it too
  EXPECT_FALSE(other->lock(kWriterByte, 1));
  Rollback();
  EXPECT_TRUE(other->lock(kWriterByte, 1));
}

// A record held by another process: our HOLD gives up, our PUT and DELETE
// are refused, until that process ends.
TEST(SharedFile, ARecordHeldByAnotherProcess) {
  test::TempDir dir;
  std::string path = dir.file("HELD.BDX");
  create_customers(path, 3);
  int held[2], done[2];
  ASSERT_EQ(pipe(held), 0);
  ASSERT_EQ(pipe(done), 0);
  pid_t child = start_child([&] {
    close(done[1]);
    FileBlock cus;
    test::make_file(cus, test::kCustomerDeclaration, path);
    Open(cus);
    test::customer(cus, number_of(1), "");
    Hold(cus);
    Get(cus, cus.declaration.keys[4]);
    char c = core::error_code() == 0 ? 'y' : 'n';
    if (write(held[1], &c, 1) != 1 || read(done[0], &c, 1) < 0) return 1;
    return 0;  // ends without RELEASE: the hold goes with the process
  });
  char c = 0;
  ASSERT_EQ(read(held[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  test::customer(cus, number_of(1), "");
  Get(cus, cus.declaration.keys[4]);
  ASSERT_EQ(core::error_code(), 0);  // held records stay readable
  test::set_string(cus, "CUS:SUBURB", "Mine");
  Put(cus);
  EXPECT_EQ(core::error_code(), 5);
  Delete(cus);
  EXPECT_EQ(core::error_code(), 5);
  Hold(cus, 0);
  Get(cus, cus.declaration.keys[4]);
  EXPECT_EQ(core::error_code(), 43);
  close(done[1]);
  EXPECT_EQ(child_result(child), 0);
  // The HOLD is still pending, and now holds.
  Get(cus, cus.declaration.keys[4]);
  ASSERT_EQ(core::error_code(), 0);
  test::set_string(cus, "CUS:SUBURB", "Mine");
  Put(cus);
  EXPECT_EQ(core::error_code(), 0);
  Close(cus);
  for (int fd : {held[0], held[1], done[0]}) close(fd);
}

// While an update is copied home (step 5), a reader in another process
// waits; it reads the whole update once the writer goes on.
TEST(SharedFile, AReaderWaitsWhileAnUpdateIsCopiedHome) {
  test::TempDir dir;
  std::string path = dir.file("PAUSED.BDX");
  create_customers(path, 150);
  // The reader is forked before this process opens the file, so that it
  // shares none of its handles; it reads when told to.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t reader = start_child([&] {
    char c;
    if (read(go[0], &c, 1) != 1) return 1;
    FileBlock r;
    test::make_file(r, test::kCustomerDeclaration, path);
    Open(r, kReadOnly | kDenyNone);
    int n = Records(r);
    int faults = n != 151;
    test::customer(r, 0, "Aaron");
    Get(r, r.declaration.keys[0]);
    faults += core::error_code() != 0;
    return faults + check_contiguous(r, n - 1);
  });
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  crash_next_at(CrashPoint::kAfterFirstHomeCopy, CrashMode::Pause);
  std::thread writer([&] {
    test::customer(cus, number_of(150), "Aaron", "Hill");
    Add(cus);
  });
  while (!update_paused()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  char c = 'g';
  ASSERT_EQ(write(go[1], &c, 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  int status = 0;
  EXPECT_EQ(waitpid(reader, &status, WNOHANG), 0) << "the reader did not wait";
  resume_update();
  writer.join();
  EXPECT_EQ(child_result(reader), 0);
  Close(cus);
  close(go[0]);
  close(go[1]);
}

TEST(SharedFile, AnOpenerThatDeniesAllKeepsOthersOut) {
  test::TempDir dir;
  std::string path = dir.file("ALONE.BDX");
  create_customers(path, 1);
  int opened[2], done[2];
  ASSERT_EQ(pipe(opened), 0);
  ASSERT_EQ(pipe(done), 0);
  pid_t child = start_child([&] {
    close(done[1]);  // the parent's closing ends the wait
    FileBlock alone;
    test::make_file(alone, test::kCustomerDeclaration, path);
    Open(alone, kReadWrite | kDenyAll);
    char c = core::error_code() == 0 ? 'y' : 'n';
    if (write(opened[1], &c, 1) != 1 || read(done[0], &c, 1) < 0) return 1;
    Close(alone);
    return 0;
  });
  char c = 0;
  ASSERT_EQ(read(opened[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus, kReadOnly | kDenyNone);
  EXPECT_EQ(core::error_code(), 5);
  close(done[1]);
  EXPECT_EQ(child_result(child), 0);
  Open(cus, kReadOnly | kDenyNone);
  EXPECT_EQ(core::error_code(), 0);
  Close(cus);
  for (int fd : {opened[0], opened[1], done[0]}) close(fd);
}

}  // namespace
}  // namespace vrt::data
