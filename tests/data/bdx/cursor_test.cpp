// NEXT and PREVIOUS go on from the page place of the last record read while
// that page is unchanged. These tests change the file between the steps,
// through a second file block sharing the same store, around the place
// being read: every step must still give the record that follows the last
// one read in the file as it is now.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "runtime/data/bdx/bdx_inspect.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::test {
namespace {

using namespace vrt::data;

class SteppingWhileChanging : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.file("STEP.BDX");
    make_file(reader, kCustomerDeclaration, path);
    Create(reader);
    Open(reader);
    make_file(writer, kCustomerDeclaration, path);
    Open(writer);
    ASSERT_EQ(core::error_code(), 0);
    // Enough names for several key pages and many data pages.
    for (int i = 0; i < 300; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "N%04d", i * 10);
      add(name);
    }
  }

  void add(const std::string& name) {
    customer(writer, next_id++, name);
    Add(writer);
    ASSERT_EQ(core::error_code(), 0) << name;
    names.insert(name);
  }

  void select(const std::string& name) {
    set_string(writer, "CUS:NAME", name);
    Get(writer, writer.declaration.keys[0]);
    ASSERT_EQ(core::error_code(), 0) << name;
  }

  // The name `steps` places on from `from` in the direction; empty past the end.
  std::string ahead(const std::string& from, bool forward, int steps) {
    auto it = forward ? names.upper_bound(from) : names.lower_bound(from);
    for (int i = 0; i < steps; ++i) {
      if (forward ? it == names.end() : it == names.begin()) return {};
      if (forward) ++it;
      else --it;
    }
    if (forward) return it == names.end() ? std::string() : *it;
    return it == names.begin() ? std::string() : *std::prev(it);
  }

  // Reads the whole key in one direction, changing the file after each
  // step: a name added between the one read and the next, the next but one
  // deleted, or the next but two renamed out of the way behind.
  void walk(bool forward) {
    Set(reader.declaration.keys[0]);
    std::string last = forward ? "" : "~";
    for (int step = 0;; ++step) {
      forward ? Next(reader) : Previous(reader);
      std::string want = ahead(last, forward, 0);
      if (want.empty()) {
        EXPECT_EQ(core::error_code(), 33);
        return;
      }
      ASSERT_EQ(core::error_code(), 0) << "step " << step;
      ASSERT_EQ(get_string(reader, "CUS:NAME"), want) << "step " << step;
      last = want;
      switch (step % 3) {
        case 0: {
          // Forwards the name read with a 5 after it comes next; backwards
          // the next name with a 5 after it.
          std::string base = forward ? last : ahead(last, false, 0);
          if (!base.empty() && base.size() < 12 && !names.count(base + "5")) add(base + "5");
          break;
        }
        case 1:
          if (std::string gone = ahead(last, forward, 1); !gone.empty()) {
            select(gone);
            Delete(writer);
            ASSERT_EQ(core::error_code(), 0);
            names.erase(gone);
          }
          break;
        default:
          if (std::string moved = ahead(last, forward, 2); !moved.empty()) {
            select(moved);
            std::string renamed = (forward ? "A" : "Z") + moved;
            set_string(writer, "CUS:NAME", renamed);
            Put(writer);
            ASSERT_EQ(core::error_code(), 0);
            names.erase(moved);
            names.insert(renamed);
          }
      }
    }
  }

  TempDir dir;
  std::string path;
  FileBlock reader, writer;
  std::set<std::string> names;
  int32_t next_id = 1;
};

TEST_F(SteppingWhileChanging, NextFollowsTheKeyAsItIsNow) {
  walk(true);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

TEST_F(SteppingWhileChanging, PreviousFollowsTheKeyAsItIsNow) {
  walk(false);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
}

TEST_F(SteppingWhileChanging, RecordOrderSkipsDeletedRecordsAndReachesNewOnes) {
  // Record order is the order of record numbers; new records come last.
  // Steps go on from a record deleted meanwhile too.
  Set(reader);
  int read = 0;
  std::set<int32_t> ids;
  for (int32_t id = 1; id < next_id; ++id) ids.insert(id);
  int32_t last = 0;
  for (;;) {
    Next(reader);
    auto want = ids.upper_bound(last);
    if (want == ids.end()) {
      EXPECT_EQ(core::error_code(), 33);
      break;
    }
    ASSERT_EQ(core::error_code(), 0);
    ASSERT_EQ(get_long(reader, "CUS:CUSID"), *want);
    last = *want;
    // The record just read, or the next one, goes.
    ++read;
    if (read % 3 == 0 || (read % 2 && ids.upper_bound(last) != ids.end())) {
      int32_t gone = read % 3 == 0 ? last : *ids.upper_bound(last);
      set_long(writer, "CUS:CUSID", gone);
      Get(writer, writer.declaration.keys[4]);
      Delete(writer);
      ASSERT_EQ(core::error_code(), 0);
      ids.erase(gone);
    }
    if (read % 50 == 0) {
      ids.insert(next_id);
      add("NEW" + std::to_string(read));
    }
  }
  EXPECT_GT(read, 150);
}

}  // namespace
}  // namespace vrt::test
