// A lookup takes the leaf the last lookup of its kind led to when its key
// lies in the range that leads there. These runs change the tree around
// such remembered leaves (records that become a leaf's first, leaves that
// split, empty and go, another process rewriting the file) and check every
// record against what was stored.
#include <gtest/gtest.h>

#include <map>

#include "runtime/data/bdx/bdx_inspect.h"
#include "tests/data/bdx_test_support.h"
#include "tests/data/child_process.h"

namespace vrt::data {
namespace {

std::string name_of(int i) {
  char s[16];
  std::snprintf(s, sizeof s, "N%06d", i);
  return s;
}

// The name key in order, every customer of the model by name and by
// number, none other. The scan first fills the cache with pages, so that a
// lookup going by a remembered leaf that is no longer where its keys lead
// would likely find another page there.
void expect_model(FileBlock& cus, const std::map<std::string, int>& model) {
  auto& keys = cus.declaration.keys;
  EXPECT_EQ(Records(cus), static_cast<int64_t>(model.size()));
  Set(keys[0]);
  auto it = model.begin();
  while (Next(cus), core::error_code() == 0) {
    ASSERT_NE(it, model.end());
    EXPECT_EQ(test::get_string(cus, "CUS:NAME"), it->first);
    ++it;
  }
  EXPECT_EQ(it, model.end());
  for (const auto& [name, id] : model) {
    test::set_string(cus, "CUS:NAME", name);
    Get(cus, keys[0]);
    ASSERT_EQ(core::error_code(), 0) << name;
    EXPECT_EQ(test::get_long(cus, "CUS:CUSID"), id) << name;
    test::set_long(cus, "CUS:CUSID", id);
    Get(cus, keys[4]);
    ASSERT_EQ(core::error_code(), 0) << id;
    EXPECT_EQ(test::get_string(cus, "CUS:NAME"), name) << id;
  }
}

// Looks a name up, present or not, so that the name key's hint moves.
void look_up(FileBlock& cus, const std::string& name) {
  test::set_string(cus, "CUS:NAME", name);
  Get(cus, cus.declaration.keys[0]);
}

TEST(LeafHints, LookupsFindEveryRecordWhileTheTreeChangesAroundThem) {
  test::TempDir dir;
  std::string path = dir.file("HINTS.BDX");
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Create(cus);
  Open(cus, kReadWrite | kDenyNone);
  std::map<std::string, int> model;
  Stream(cus);
  // Names falling: each new record is the first of the leaf it goes to.
  for (int i = 3000; i > 0; --i) {
    test::customer(cus, i, name_of(i * 10), "Suburb");
    Add(cus);
    ASSERT_EQ(core::error_code(), 0) << i;
    model[name_of(i * 10)] = i;
    look_up(cus, name_of(i * 10 + 15));
  }
  // Runs of 300 deleted in the middle: leaves empty and go, with lookups
  // on either side of each run.
  for (int run = 500; run < 2500; run += 700)
    for (int i = run; i < run + 300; ++i) {
      look_up(cus, name_of(i * 10));
      ASSERT_EQ(core::error_code(), 0) << i;
      Delete(cus);
      model.erase(name_of(i * 10));
      look_up(cus, name_of((run + 350) * 10));
    }
  Flush(cus);
  // New names between the old ones, rising: leaves split as they fill.
  for (int i = 1; i <= 3000; i += 3) {
    look_up(cus, name_of(i * 10 - 10));
    test::customer(cus, 10000 + i, name_of(i * 10 + 5), "Suburb");
    Add(cus);
    ASSERT_EQ(core::error_code(), 0) << i;
    model[name_of(i * 10 + 5)] = 10000 + i;
  }
  expect_model(cus, model);
  Flush(cus);

  // Another process takes every fourth record away and adds others; the
  // lookups here must not go by the leaves they remember from before.
  pid_t child = test::start_child([&] {
    FileBlock other;
    test::make_file(other, test::kCustomerDeclaration, path);
    Open(other, kReadWrite | kDenyNone);
    int faults = 0;
    int n = 0;
    for (const auto& [name, id] : model) {
      if (n++ % 4) continue;
      look_up(other, name);
      Delete(other);
      faults += core::error_code() != 0;
      test::customer(other, 20000 + n, name + "X", "Suburb");
      Add(other);
      faults += core::error_code() != 0;
    }
    Close(other);
    return faults;
  });
  ASSERT_EQ(test::child_result(child), 0);
  int n = 0;
  std::map<std::string, int> changed;
  for (const auto& [name, id] : model) {
    if (n++ % 4) changed[name] = id;
    else changed[name + "X"] = 20000 + n;
  }
  expect_model(cus, changed);
  Close(cus);
  for (const auto& problem : check_file(path)) ADD_FAILURE() << problem;
}

}  // namespace
}  // namespace vrt::data
