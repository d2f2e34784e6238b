// Records that arrive in key order (APPEND, ADD with rising numbers, the
// entries of a BUILD) fill their pages instead of leaving each half empty,
// and the pages a long fill finishes leave memory before its commit
// (written past the committed pages, or kept as their stored bytes) without
// the file or its keys suffering.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "runtime/data/bdx/bdx_inspect.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

constexpr int kCustomers = 3000;

std::vector<std::string> shuffled_names() {
  std::vector<std::string> names;
  for (int i = 0; i < kCustomers; ++i) names.push_back("Name" + std::to_string(100000 + i));
  std::shuffle(names.begin(), names.end(), std::mt19937(5));
  return names;
}

uint32_t pages_of(const std::string& path) {
  FileSummary s;
  EXPECT_EQ(summarize_file(path, &s), 0);
  uint32_t pages = 0;
  for (uint32_t n : s.pages) pages += n;
  return pages;
}

// Every customer is there, in name order, through the key.
void expect_every_customer(const std::string& path) {
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(cus), kCustomers);
  Set(cus.declaration.keys[0]);
  std::string previous;
  int seen = 0;
  while (Next(cus), core::error_code() == 0) {
    std::string name = test::get_string(cus, "CUS:NAME");
    EXPECT_LT(previous, name);
    previous = name;
    ++seen;
  }
  EXPECT_EQ(seen, kCustomers);
  Close(cus);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

// Every customer under STREAM, added one by one or appended (keys left for
// a BUILD), then FLUSH.
void store_customers(FileBlock& cus, const std::vector<std::string>& names, bool append) {
  Stream(cus);
  for (int i = 0; i < kCustomers; ++i) {
    const std::string& name = names[static_cast<size_t>(i)];
    test::customer(cus, i + 1, name, "Suburb", name + "@x");
    if (append) Append(cus);
    else Add(cus);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
  }
  Flush(cus);
}

TEST(OrderedFill, BuiltKeysFillTheirPagesAndReadBackWhole) {
  test::TempDir dir;
  std::vector<std::string> names = shuffled_names();

  // Added one by one: the name key's entries arrive in no order.
  std::string added = dir.file("ADDED.BDX");
  {
    FileBlock cus;
    test::make_file(cus, test::kCustomerDeclaration, added);
    Create(cus);
    Open(cus, kReadWrite | kDenyAll);
    store_customers(cus, names, false);
    Close(cus);
  }
  // Appended, then every key built: entries go in in key order, and the
  // pages the build finishes are written out before its commit.
  std::string built = dir.file("BUILT.BDX");
  {
    FileBlock cus;
    test::make_file(cus, test::kCustomerDeclaration, built);
    Create(cus);
    Open(cus, kReadWrite | kDenyAll);
    store_customers(cus, names, true);
    Build(cus);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
    Close(cus);
  }
  expect_every_customer(added);
  expect_every_customer(built);
  // Split in the middle, keys filled in order would leave every page half
  // empty: more pages than entries that arrive at random.
  EXPECT_LT(pages_of(built), pages_of(added) * 9 / 10);
}

TEST(OrderedFill, AFailedBuildLeavesTheFileAsItWas) {
  test::TempDir dir;
  std::string path = dir.file("DUPS.BDX");
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Create(cus);
  Open(cus, kReadWrite | kDenyAll);
  std::vector<std::string> names = shuffled_names();
  store_customers(cus, names, true);
  Build(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  // A second customer of an existing name: the unique name key cannot be
  // built, and the entries the build wrote out before failing are not used.
  test::customer(cus, kCustomers + 1, names[7], "Suburb");
  Append(cus);
  Build(cus);
  EXPECT_EQ(core::error_code(), 40);
  // The keys are those of the first build: every name once, in order.
  EXPECT_EQ(Records(cus), kCustomers + 1);
  Set(cus.declaration.keys[0]);
  int seen = 0;
  while (Next(cus), core::error_code() == 0) ++seen;
  EXPECT_EQ(seen, kCustomers);
  Close(cus);
  FileSummary s;
  ASSERT_EQ(summarize_file(path, &s), 0);
  EXPECT_FALSE(s.damaged);
}

// A rebuild under STREAM places its pages among the committed ones, where
// they wait for the FLUSH as stored bytes: reads in the meantime find them,
// changes to them are kept, and a failure drops them with the rest.
TEST(OrderedFill, PagesWaitingForTheCommitAreReadChangedAndDropped) {
  test::TempDir dir;
  std::string path = dir.file("REBUILT.BDX");
  std::vector<std::string> names = shuffled_names();
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Create(cus);
  Open(cus, kReadWrite | kDenyAll);
  store_customers(cus, names, true);
  Build(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  auto find = [&](const std::string& name) {
    test::set_string(cus, "CUS:NAME", name);
    Get(cus, cus.declaration.keys[0]);
    return core::error_code() == 0 ? test::get_long(cus, "CUS:CUSID") : 0;
  };

  // A rebuild, then a duplicate: the failed ADD drops every held update.
  Stream(cus);
  Build(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(find(names[11]), 12);
  test::customer(cus, kCustomers + 1, names[3], "Suburb");
  Add(cus);
  EXPECT_EQ(core::error_code(), 40);
  EXPECT_EQ(find(names[11]), 12);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;

  // A rebuild read and changed before its FLUSH.
  Stream(cus);
  Build(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  for (int i = 0; i < kCustomers; ++i) ASSERT_EQ(find(names[static_cast<size_t>(i)]), i + 1) << names[i];
  for (int i = 0; i < kCustomers; i += 10) {
    ASSERT_EQ(find(names[static_cast<size_t>(i)]), i + 1);
    test::set_string(cus, "CUS:NAME", "Renamed" + std::to_string(100000 + i));
    Put(cus);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
  }
  Flush(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  Close(cus);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
  Open(cus, kReadWrite | kDenyAll);
  for (int i = 0; i < kCustomers; ++i) {
    bool renamed = i % 10 == 0;
    EXPECT_EQ(find(renamed ? "Renamed" + std::to_string(100000 + i) : names[static_cast<size_t>(i)]), i + 1);
    if (renamed) EXPECT_EQ(find(names[static_cast<size_t>(i)]), 0);
  }
  Close(cus);
}

}  // namespace
}  // namespace vrt::data
