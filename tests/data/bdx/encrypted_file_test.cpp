// A file declared with an owner password is enciphered block by block: its
// bytes on disk show nothing of the records, the right owner reads it back
// (also after a crash in the middle of an update), a wrong one cannot.
#include <gtest/gtest.h>

#include <set>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/bdx/store/owner_key.h"
#include "runtime/data/bdx/store/page_store.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

std::string declaration_with_owner(const std::string& owner) {
  std::string d = test::kCustomerDeclaration;
  size_t line_end = d.find('\n');
  return d.substr(0, line_end) + ",OWNER('" + owner + "'),ENCRYPT" + d.substr(line_end);
}

void add_customers(FileBlock& f, int first, int count) {
  for (int i = first; i < first + count; ++i) {
    test::customer(f, i + 1, "Confidential" + std::to_string(i), "Hidden Valley");
    Add(f);
    ASSERT_EQ(core::error_code(), 0) << core::error_text();
  }
}

TEST(EncryptedFile, OnlyTheOwnerReadsIt) {
  test::TempDir dir;
  std::string path = dir.file("SECRET.BDX");
  {
    FileBlock f;
    test::make_file(f, declaration_with_owner("Open Sesame"), path);
    Create(f);
    Open(f);
    add_customers(f, 0, 150);
    // A crash once the update is decided: the roll forward reads and
    // writes through the cipher too.
    test::customer(f, 999, "Aaron", "Hill");
    interrupt_next_commit_after(5);
    Add(f);
    interrupt_next_commit_after(0);
  }
  std::string bytes = test::read_file(path);
  EXPECT_EQ(bytes.size() % kCipherBlock, 0u);
  EXPECT_EQ(bytes.find("Confidential"), std::string::npos);
  EXPECT_EQ(bytes.find("Hidden Valley"), std::string::npos);
  EXPECT_EQ(bytes.find("CUS:NAME"), std::string::npos);

  FileBlock f;
  test::make_file(f, declaration_with_owner("Open Sesame"), path);
  Open(f);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(f), 151);
  test::customer(f, 0, "Confidential42");
  Get(f, f.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(test::get_string(f, "CUS:SUBURB"), "Hidden Valley");
  test::customer(f, 0, "Aaron");
  Get(f, f.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), 0);
  Close(f);

  test::QuietBoxes quiet;
  for (const std::string& text :
       {declaration_with_owner("open sesame"), std::string(test::kCustomerDeclaration)}) {
    FileBlock wrong;
    test::make_file(wrong, text, path);
    Open(wrong);
    EXPECT_EQ(core::error_code(), 36) << core::error_text();
  }
}

// A closed encrypted file of 151 customers.
void make_secret_file(const std::string& path, const std::string& owner = "Open Sesame") {
  FileBlock f;
  test::make_file(f, declaration_with_owner(owner), path);
  Create(f);
  Open(f);
  add_customers(f, 0, 151);
  Close(f);
}

// Blocks of 64 bytes that occur more than once past the key block.
size_t repeated_blocks(const std::string& bytes, size_t from) {
  std::set<std::string> seen;
  size_t repeats = 0;
  for (size_t at = from; at + kCipherBlock <= bytes.size(); at += kCipherBlock)
    if (!seen.insert(bytes.substr(at, kCipherBlock)).second) ++repeats;
  return repeats;
}

TEST(EncryptedFile, EqualBlocksOnDiskNeverRepeat) {
  test::TempDir dir;
  make_secret_file(dir.file("SECRET.BDX"));
  std::string secret = test::read_file(dir.file("SECRET.BDX"));
  EXPECT_EQ(secret.substr(kKeyBlockAt, 4), "wRaK");
  EXPECT_EQ(secret.substr(14, 4).find("wRaQ"), std::string::npos);  // the header is enciphered too
  EXPECT_EQ(repeated_blocks(secret, kKeyBlockAt + kKeyBlockSize), 0u);
  // The same records in clear repeat plenty (filler, equal suburbs).
  test::create_customers(dir.file("CLEAR.BDX"), 151);
  EXPECT_GT(repeated_blocks(test::read_file(dir.file("CLEAR.BDX")), kHeaderSize), 10u);
}

TEST(EncryptedFile, TheKeyIsDrawnOnceForEveryTableAndOperation) {
  test::TempDir dir;
  std::string path = dir.file("SECRET.BDX");
  make_secret_file(path);
  uint64_t before = owner_key_derivations();
  FileBlock a, b;
  test::make_file(a, declaration_with_owner("Open Sesame"), path);
  test::make_file(b, declaration_with_owner("Open Sesame"), path);
  Open(a);
  Open(b);
  for (int i = 0; i < 300; ++i) {
    test::customer(a, 0, "Confidential" + std::to_string(i % 151));
    Get(a, a.declaration.keys[0]);
    ASSERT_EQ(core::error_code(), 0) << i;
  }
  test::customer(b, 500, "Later", "Elsewhere");
  Add(b);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(owner_key_derivations() - before, 1u);
  // While the file is open, another owner is refused without a derivation.
  FileBlock wrong;
  test::make_file(wrong, declaration_with_owner("Guess"), path);
  Open(wrong);
  EXPECT_EQ(core::error_code(), 36);
  FileBlock clear;
  test::make_file(clear, test::kCustomerDeclaration, path);
  Open(clear);
  EXPECT_EQ(core::error_code(), 36);
  EXPECT_EQ(owner_key_derivations() - before, 1u);
  Close(a);
  Close(b);
}

TEST(EncryptedFile, AFlippedByteIsDamageNeverACrash) {
  test::TempDir dir;
  std::string path = dir.file("SECRET.BDX");
  make_secret_file(path);
  std::string good = test::read_file(path);
  FileSummary summary;
  ASSERT_EQ(summarize_file(path, &summary, "Open Sesame"), 0);
  size_t root = unit_offset(static_cast<uint32_t>(summary.header.root));
  test::QuietBoxes quiet;
  int boxes = test::QuietBoxes::count();
  // A byte of the header, of the key block, of the root page's clear home
  // and of its enciphered part, past the first block.
  for (size_t at : {size_t{20}, size_t{520}, root + 1, root + 5, root + 100}) {
    std::string bad = good;
    bad[at] ^= 0x10;
    test::write_file(path, bad);
    FileBlock f;
    test::make_file(f, declaration_with_owner("Open Sesame"), path);
    Open(f);
    int code = core::error_code();
    if (code == 0) {
      Set(f, f.declaration.keys[0]);
      while (core::error_code() == 0) Next(f);
      code = core::error_code();
      Close(f);
    }
    EXPECT_EQ(code, 36) << "byte " << at << ": " << core::error_text();
    EXPECT_FALSE(check_file(path, "Open Sesame").empty()) << at;
  }
  // The damage boxes were expected; children forked later count their own.
  test::QuietBoxes::count() = boxes;
}

class CrashedEncryptedUpdate : public ::testing::TestWithParam<int> {};

TEST_P(CrashedEncryptedUpdate, FileIsBeforeOrAfterTheUpdate) {
  int step = GetParam();
  test::TempDir dir;
  std::string path = dir.file("SECRET.BDX");
  {
    FileBlock crashing;  // goes without a CLOSE
    test::make_file(crashing, declaration_with_owner("Open Sesame"), path);
    Create(crashing);
    Open(crashing);
    add_customers(crashing, 0, 120);
    test::customer(crashing, 999, "Aaron", "Hill");  // the first page and the index change
    interrupt_next_commit_after(step);
    Add(crashing);
    interrupt_next_commit_after(0);
  }
  bool decided = step >= 4;
  std::vector<std::string> problems = check_file(path, "Open Sesame");
  EXPECT_EQ(problems.size(), decided ? 1u : 0u) << "step " << step;  // the bracket, reported
  FileBlock f;
  test::make_file(f, declaration_with_owner("Open Sesame"), path);
  Open(f);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(f), decided ? 121 : 120) << "step " << step;
  test::customer(f, 0, "Aaron");
  Get(f, f.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), decided ? 0 : 35);
  Close(f);
  for (const auto& p : check_file(path, "Open Sesame")) ADD_FAILURE() << "step " << step << ": " << p;
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CrashedEncryptedUpdate, ::testing::Values(1, 2, 3, 4, 5, 6));

}  // namespace
}  // namespace vrt::data
