// Two stations on one table, each a real process with its own connection:
// a change made by one is seen by the other's WATCH, a HOLD waits for the
// other's row lock and gives up, and a transaction over two tables killed
// with kill -9 before its COMMIT leaves neither table changed.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstring>

#include "tests/data/child_process.h"
#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

using namespace vrt::data;

const char* kAccounts = R"(FILE,DRIVER('POSTGRESQL'),NAME('ACCOUNTS'),CREATE
ACC:BYID KEY(+ACC:ID),PRIMARY
RECORD
ACC:ID LONG
ACC:OWNER STRING(20)
END
END
)";

const char* kJournal = R"(FILE,DRIVER('POSTGRESQL'),NAME('JOURNAL'),CREATE
JOU:BYID KEY(+JOU:ID),DUP
RECORD
JOU:ID LONG
END
END
)";

// A one-byte signal between the processes, waited for at most 30 seconds.
struct Signal {
  int fds[2];
  Signal() { EXPECT_EQ(pipe(fds), 0); }
  ~Signal() {
    close(fds[0]);
    close(fds[1]);
  }
  void give() { EXPECT_EQ(write(fds[1], "!", 1), 1); }
  bool wait() {
    pollfd p{fds[0], POLLIN, 0};
    char c;
    return poll(&p, 1, 30000) == 1 && read(fds[0], &c, 1) == 1;
  }
};

class TwoStations : public ::testing::Test {
 protected:
  void SetUp() override {
    open(accounts, kAccounts, "accounts");
    Create(accounts);
    Open(accounts);
    ASSERT_EQ(core::error_code(), 0) << core::file_error_text();
    account(1, "first");
    Add(accounts);
  }
  static void open(FileBlock& f, const char* text, const char* table) { make_pg_file(f, text, table); }
  void account(int32_t id, const std::string& owner) {
    std::memset(accounts.record.data(), ' ', accounts.record.size());
    set_long(accounts, "ACC:ID", id);
    set_string(accounts, "ACC:OWNER", owner);
  }
  // The other station: opens the table and reads account 1, holding it
  // when asked.
  static bool read_first(FileBlock& f, bool hold) {
    open(f, kAccounts, "accounts");
    Open(f);
    std::memset(f.record.data(), ' ', f.record.size());
    set_long(f, "ACC:ID", 1);
    if (hold) Hold(f);
    Get(f, *f.key(0));
    return core::error_code() == 0;
  }
  QuietBoxes quiet;
  FileBlock accounts;
};

TEST_F(TwoStations, AChangeByTheOtherStationIsSeenByWatch) {
  Watch(accounts);
  account(1, "");
  Get(accounts, *accounts.key(0));
  pid_t other = start_child([] {
    FileBlock f;
    if (!read_first(f, false)) return 1;
    set_string(f, "ACC:OWNER", "theirs");
    Put(f);
    return core::error_code() == 0 ? 0 : 2;
  });
  ASSERT_EQ(child_result_within(other, 30), 0);
  set_string(accounts, "ACC:OWNER", "mine");
  Put(accounts);
  EXPECT_EQ(core::error_code(), 89);
  EXPECT_EQ(sql_value("SELECT owner FROM accounts WHERE id = 1"), "theirs");
}

TEST_F(TwoStations, AHoldWaitsForTheOthersHoldAndGivesUp) {
  Signal held, done;
  pid_t other = start_child([&] {
    FileBlock f;
    if (!read_first(f, true)) return 1;
    held.give();
    done.wait();
    Release(f);
    held.give();
    done.wait();
    return 0;
  });
  ASSERT_TRUE(held.wait());
  auto start = std::chrono::steady_clock::now();
  Hold(accounts, 1);
  account(1, "");
  Get(accounts, *accounts.key(0));
  double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(core::error_code(), 43);
  EXPECT_EQ(core::error_text(), "Record Is Already Held");
  EXPECT_GE(waited, 0.9);
  // A change of the held record by a reader that does not hold it is
  // refused, and changes nothing.
  FileBlock reader;
  ASSERT_TRUE(read_first(reader, false));
  set_string(reader, "ACC:OWNER", "mine");
  Put(reader);
  EXPECT_EQ(core::error_code(), 5);
  done.give();
  ASSERT_TRUE(held.wait());
  Hold(accounts, 1);
  Get(accounts, *accounts.key(0));
  EXPECT_EQ(core::error_code(), 0);
  set_string(accounts, "ACC:OWNER", "mine");
  Put(accounts);  // ends the hold
  EXPECT_EQ(core::error_code(), 0);
  done.give();
  EXPECT_EQ(child_result_within(other, 30), 0);
  EXPECT_EQ(sql_value("SELECT owner FROM accounts WHERE id = 1"), "mine");
}

TEST_F(TwoStations, ATransactionKilledBeforeItsCommitChangesNeitherTable) {
  FileBlock journal;
  open(journal, kJournal, "journal");
  Create(journal);
  Signal halfway;
  for (bool commit : {false, true}) {
    pid_t other = start_child([&] {
      FileBlock a, j;
      open(a, kAccounts, "accounts");
      open(j, kJournal, "journal");
      Open(a);
      Open(j);
      Logout(2, {&a, &j});
      std::memset(a.record.data(), ' ', a.record.size());
      set_long(a, "ACC:ID", 2);
      Add(a);
      set_long(j, "JOU:ID", 2);
      Add(j);
      if (commit) Commit();
      halfway.give();
      pause();
      return 0;
    });
    ASSERT_TRUE(halfway.wait());
    kill(other, SIGKILL);
    EXPECT_TRUE(child_killed(other));
    std::string expected = commit ? "1" : "0";
    EXPECT_EQ(sql_value("SELECT count(*) FROM accounts WHERE id = 2"), expected) << commit;
    EXPECT_EQ(sql_value("SELECT count(*) FROM journal"), expected) << commit;
  }
}

}  // namespace
}  // namespace vrt::test
