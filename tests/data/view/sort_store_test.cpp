#include "runtime/data/view/sort_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <random>

#include "runtime/platform/os/file.h"

namespace vrt::data {
namespace {

TEST(SortStore, StaysInMemoryUpToTheLimitThenSpills) {
  std::string name;
  {
    SortStore store;
    std::string block(SortStore::kMemoryLimit, 'a');
    ASSERT_TRUE(store.write(block.data(), block.size()));
    EXPECT_FALSE(store.spilled());
    ASSERT_TRUE(store.write("bc", 2));
    ASSERT_TRUE(store.spilled());
    name = store.file_name();
    EXPECT_EQ(name.rfind(platform::temp_directory() + "TMP", 0), 0u);
    EXPECT_TRUE(platform::file_exists(name));
    std::string big(100000, 'z');
    ASSERT_TRUE(store.write(big.data(), big.size()));
    char tail[3] = {};
    ASSERT_TRUE(store.read(SortStore::kMemoryLimit - 1, tail, 3));
    EXPECT_EQ(std::string(tail, 3), "abc");
    EXPECT_FALSE(store.read(store.size() - 1, tail, 2));  // past the end
    EXPECT_EQ(store.size(), SortStore::kMemoryLimit + 2 + big.size());
  }
  EXPECT_FALSE(platform::file_exists(name));  // gone with the store
}

TEST(SortStore, AShortWriteMarksTheStoreFailed) {
  // A child process with a small file size limit: the temporary file
  // cannot grow, a write comes back short, and the store stays failed.
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{20000, 20000};
    setrlimit(RLIMIT_FSIZE, &limit);
    bool failed = false, stays = false;
    {
      SortStore store;  // deletes its file when the block ends
      std::string chunk(4096, 'x');
      for (int i = 0; i < 20 && !failed; ++i) failed = !store.write(chunk.data(), chunk.size());
      stays = !store.write("y", 1) && store.failed();
    }
    _exit(failed && stays ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

bool by_value(const std::string& a, const std::string& b, void*) { return a < b; }

TEST(RowSorter, SortsAcrossRunsAndKeepsEqualRowsInOrder) {
  RowSorter sorter(by_value, nullptr);
  std::mt19937 random(7);
  std::vector<std::string> rows;
  for (int i = 0; i < 20000; ++i) rows.push_back("row " + std::to_string(random() % 5000));
  for (const std::string& r : rows) ASSERT_TRUE(sorter.add(r));
  ASSERT_TRUE(sorter.finish());
  EXPECT_GT(sorter.runs(), 1u);  // more than one run: the merge did the work
  std::vector<std::string> expected = rows;
  std::stable_sort(expected.begin(), expected.end());
  std::vector<std::string> got;
  std::string r;
  while (sorter.next(&r)) got.push_back(r);
  EXPECT_EQ(got, expected);
}

bool by_first_byte(const std::string& a, const std::string& b, void*) { return a[0] < b[0]; }

TEST(RowSorter, StableWithinAndAcrossRuns) {
  RowSorter sorter(by_first_byte, nullptr);
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(sorter.add(std::string(1, "ba"[i % 2]) + std::to_string(i)));
  ASSERT_TRUE(sorter.finish());
  std::string r, previous;
  int last_a = -1, last_b = -1;
  while (sorter.next(&r)) {
    int n = std::stoi(r.substr(1));
    int& last = r[0] == 'a' ? last_a : last_b;
    EXPECT_GT(n, last) << r;
    last = n;
    if (!previous.empty()) {
      EXPECT_LE(previous[0], r[0]);
    }
    previous = r;
  }
}

}  // namespace
}  // namespace vrt::data
