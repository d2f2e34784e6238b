// A crash at every step of the safe update leaves the file before or after
// the update, never between, and the next open resolves it.
#include <gtest/gtest.h>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/store/page_store.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

class CrashedUpdate : public ::testing::TestWithParam<int> {};

TEST_P(CrashedUpdate, FileIsBeforeOrAfterTheUpdate) {
  int step = GetParam();
  test::TempDir dir;
  std::string path = dir.file("CRASH.BDX");
  {
    // The process that crashes: its file block goes without a CLOSE.
    FileBlock crashing;
    test::make_file(crashing, test::kCustomerDeclaration, path);
    Create(crashing);
    Open(crashing);
    for (int i = 0; i < 120; ++i) {  // several pages, so an update changes old ones
      test::customer(crashing, i, "Name" + std::to_string(i), "Suburb");
      Add(crashing);
    }
    test::customer(crashing, 999, "Aaron", "Hill");  // the first page and the index change
    interrupt_next_commit_after(step);
    Add(crashing);
    interrupt_next_commit_after(0);
  }

  uint8_t header[kHeaderSize];
  std::string bytes = test::read_file(path);
  std::memcpy(header, bytes.data(), kHeaderSize);
  bool bracketed = load_le32(header + 6) != load_le32(header + 10);
  EXPECT_EQ(bracketed, step >= 4) << "step " << step;

  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Open(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  bool decided = step >= 4;
  EXPECT_EQ(Records(cus), decided ? 121 : 120) << "step " << step;
  test::customer(cus, 0, "Aaron");
  Get(cus, cus.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), decided ? 0 : 35);
  Close(cus);
  auto problems = check_file(path);
  for (const auto& p : problems) ADD_FAILURE() << "step " << step << ": " << p;
  bytes = test::read_file(path);
  std::memcpy(header, bytes.data(), kHeaderSize);
  EXPECT_EQ(load_le32(header + 6), load_le32(header + 10));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CrashedUpdate, ::testing::Values(1, 2, 3, 4, 5, 6));

// A closed file of one customer, whose header the damaged-area tests edit.
void create_with_one_record(FileBlock& cus, const std::string& path) {
  test::make_file(cus, test::kCustomerDeclaration, path);
  Create(cus);
  Open(cus);
  test::customer(cus, 1, "Kept");
  Add(cus);
  Close(cus);
}

// Offsets 6 and 10 of the header bracket the shadow area [start, end).
void bracket(std::string& bytes, size_t start, size_t end) {
  uint8_t* h = reinterpret_cast<uint8_t*>(bytes.data());
  store_le32(h + 6, static_cast<uint32_t>(start));
  store_le32(h + 10, static_cast<uint32_t>(end));
}

TEST(SafeUpdate, IncompleteShadowAreaRollsBack) {
  test::TempDir dir;
  std::string path = dir.file("TORN.BDX");
  FileBlock cus;
  create_with_one_record(cus, path);
  // A bracket whose shadow area runs past the end of the file: the copy
  // cannot be read whole, so the update is dropped.
  std::string bytes = test::read_file(path);
  bracket(bytes, bytes.size(), bytes.size() + 4096);
  test::write_file(path, bytes);
  Open(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(cus), 1);
  Close(cus);
  EXPECT_TRUE(check_file(path).empty());
}

TEST(SafeUpdate, ShadowCopyAimedOutsideThePagesIsNotCopied) {
  test::TempDir dir;
  std::string path = dir.file("AIMED.BDX");
  FileBlock cus;
  create_with_one_record(cus, path);
  // A hostile shadow area: a "page" whose home is far past the file, then a
  // header copy. Rolling it forward would write a gigabyte away.
  std::string bytes = test::read_file(path);
  size_t start = bytes.size();
  std::string page(256, '\xB0'), header = bytes.substr(0, kHeaderSize);
  uint8_t* p = reinterpret_cast<uint8_t*>(page.data());
  store_le32(p, 0x40000000u + 512u);
  store_le16(p + 4, 200);
  bytes += page + header;
  bracket(bytes, start, bytes.size());
  test::write_file(path, bytes);
  Open(cus);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(cus), 1);
  Close(cus);
  EXPECT_LT(test::read_file(path).size(), 100000u);
  EXPECT_TRUE(check_file(path).empty());
}

TEST(SafeUpdate, UpdatesDoNotGrowTheFileByTheirShadows) {
  test::TempDir dir;
  std::string path = dir.file("SIZE.BDX");
  FileBlock cus;
  test::make_file(cus, test::kCustomerDeclaration, path);
  Create(cus);
  Open(cus);
  test::customer(cus, 1, "Same");
  Add(cus);
  auto puts = [&](int n) {
    for (int i = 0; i < n; ++i) {
      test::set_long(cus, "CUS:FIRSTTIME", i + 1);
      Put(cus);
    }
  };
  puts(5);
  size_t after_five = test::read_file(path).size();
  puts(50);
  EXPECT_EQ(test::read_file(path).size(), after_five);

  // A closed file ends with its pages: the last shadow area is cut off.
  Close(cus);
  FileSummary summary;
  ASSERT_EQ(summarize_file(path, &summary), 0);
  EXPECT_EQ(summary.file_size, unit_offset(summary.header.units_end()));
  EXPECT_LT(summary.file_size, after_five);
  EXPECT_EQ(summary.header.committed_end, summary.file_size);
  EXPECT_TRUE(check_file(path).empty());
  Open(cus);
  Set(cus);
  Next(cus);
  test::set_long(cus, "CUS:FIRSTTIME", 99);
  Put(cus);
  EXPECT_EQ(core::error_code(), 0);
  Close(cus);
  EXPECT_TRUE(check_file(path).empty());
}

}  // namespace
}  // namespace vrt::data
