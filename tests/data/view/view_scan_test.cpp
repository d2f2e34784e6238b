#include "runtime/data/view/view_scan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/data/driver/driver_errors.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

const char* kGrid = R"(FILE,DRIVER('BRINDLEX'),NAME('GRID'),THREAD
GRD:BYAB KEY(+GRD:A,+GRD:B)
GRD:BYADB KEY(+GRD:A,-GRD:B),DUP
GRD:BYNAME KEY(+GRD:NAME),DUP,NOCASE
RECORD
GRD:A LONG
GRD:B LONG
GRD:NAME STRING(10)
END
END
)";

// A file of 40 x 40 records: A and B from 0 to 39, NAME "n<A>".
class Scan : public ::testing::Test {
 protected:
  void SetUp() override {
    core::reset_bindings();
    test::make_file(grid, kGrid, dir.file("GRID.BDX"));
    Create(grid);
    Open(grid);
    ASSERT_EQ(core::error_code(), 0);
    for (int a = 0; a < 40; ++a)
      for (int b = 0; b < 40; ++b) {
        std::memset(grid.record.data(), ' ', grid.record.size());
        test::set_long(grid, "GRD:A", a);
        test::set_long(grid, "GRD:B", b);
        test::set_string(grid, "GRD:NAME", (a % 2 ? "N" : "n") + std::to_string(a));
        Add(grid);
        ASSERT_EQ(core::error_code(), 0);
      }
    for (const char* name : {"GRD:A", "GRD:B", "GRD:NAME"}) {
      int f = find_field(grid.declaration, name);
      core::Bind(name, [this, name, f] {
        const FieldDescriptor& d = grid.declaration.fields[static_cast<size_t>(f - 1)];
        if (std::string(name) == "GRD:NAME") return core::ExprValue::of_string(test::get_string(grid, name));
        (void)d;
        return core::ExprValue::of_integer(test::get_long(grid, name));
      });
    }
    resolve = [this](const std::string& n) {
      int f = find_field(grid.declaration, n);
      return f > 0 ? f : kNotAField;
    };
  }
  void TearDown() override {
    Close(grid);
    core::reset_bindings();
  }
  // The rows a filter gives through a key, as A*100+B.
  std::vector<int> rows(const std::string& filter_text, int key, bool backwards = false,
                        ViewScan::Stats* stats = nullptr) {
    core::Expression filter;
    EXPECT_TRUE(filter.compile(filter_text));
    ViewScan scan(grid, key, &filter, resolve);
    scan.set(backwards);
    std::vector<int> out;
    while (scan.next()) out.push_back(test::get_long(grid, "GRD:A") * 100 + test::get_long(grid, "GRD:B"));
    EXPECT_EQ(core::error_code(), kRecordNotAvailable);
    if (stats) *stats = scan.stats();
    return out;
  }
  // What reading the whole file and testing the filter gives, in order.
  std::vector<int> brute(const std::string& filter_text, bool descending_b = false, bool backwards = false) {
    core::Expression filter;
    EXPECT_TRUE(filter.compile(filter_text));
    std::vector<int> out;
    for (int a = 0; a < 40; ++a)
      for (int b = 0; b < 40; ++b) {
        test::set_long(grid, "GRD:A", a);
        test::set_long(grid, "GRD:B", descending_b ? 39 - b : b);
        if (filter.test()) out.push_back(a * 100 + (descending_b ? 39 - b : b));
      }
    if (backwards) std::reverse(out.begin(), out.end());
    return out;
  }
  test::TempDir dir;
  test::QuietBoxes boxes;
  FileBlock grid;
  FieldResolver resolve;
};

TEST_F(Scan, EqualityOnTheFirstComponentReadsOnlyItsRangeAndOneMore) {
  ViewScan::Stats stats;
  auto got = rows("GRD:A = 7", 0, false, &stats);
  EXPECT_EQ(got, brute("GRD:A = 7"));
  EXPECT_EQ(stats.entries_read, 41u);  // the 40 rows and the first one past them
}

TEST_F(Scan, RangesOnBothComponentsJumpOverTheGaps) {
  ViewScan::Stats stats;
  std::string f = "GRD:A >= 10 AND GRD:A <= 12 AND GRD:B >= 20 AND GRD:B < 23";
  auto got = rows(f, 0, false, &stats);
  EXPECT_EQ(got, brute(f));
  EXPECT_EQ(got.size(), 9u);
  // Three rows for each A and one entry past them, never the rows between.
  EXPECT_LE(stats.entries_read, 15u);
  EXPECT_GE(stats.jumps, 2u);
}

TEST_F(Scan, ConstantOnTheLeftIsMirrored) {
  EXPECT_EQ(rows("38 <= GRD:A", 0), brute("GRD:A >= 38"));
}

TEST_F(Scan, OrGivesNoRangeAndTheFilterDecides) {
  ViewScan::Stats stats;
  std::string f = "GRD:A = 3 OR GRD:B = 5";
  EXPECT_EQ(rows(f, 0, false, &stats), brute(f));
  EXPECT_EQ(stats.entries_read, 1600u);
}

TEST_F(Scan, DescendingComponentsAndBackwardReading) {
  std::string f = "GRD:A >= 5 AND GRD:A <= 6 AND GRD:B > 30";
  EXPECT_EQ(rows(f, 1), brute(f, true));          // B runs down inside each A
  EXPECT_EQ(rows(f, 0, true), brute(f, false, true));  // every direction reversed
  EXPECT_EQ(rows(f, 1, true), brute(f, true, true));
}

TEST_F(Scan, NoCaseKeysRangeInUpperCaseButTheFilterStillDecides) {
  ViewScan::Stats stats;
  auto got = rows("UPPER(GRD:NAME) = 'N3'", 2, false, &stats);
  ASSERT_EQ(got.size(), 40u);  // "N3" is stored; the key ignores case
  EXPECT_EQ(got.front() / 100, 3);
  EXPECT_EQ(stats.entries_read, 41u);
  // The key finds "N3" for 'n3' too, but the filter itself minds the case.
  EXPECT_TRUE(rows("GRD:NAME = 'n3'", 2, false, &stats).empty());
  EXPECT_EQ(stats.entries_read, 41u);
}

TEST_F(Scan, EmptyRangesEndAtOnce) {
  ViewScan::Stats stats;
  EXPECT_TRUE(rows("GRD:A > 50", 0, false, &stats).empty());
  EXPECT_LE(stats.entries_read, 1u);
  EXPECT_TRUE(rows("GRD:A = 5 AND GRD:A = 6", 0, false, &stats).empty());
}

}  // namespace
}  // namespace vrt::data
