// A file declared with an owner password is enciphered block by block: its
// bytes on disk show nothing of the records, the right owner reads it back
// (also after a crash in the middle of an update), a wrong one cannot.
#include <gtest/gtest.h>

#include "runtime/data/bdx/store/crash_points.h"
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

}  // namespace
}  // namespace vrt::data
