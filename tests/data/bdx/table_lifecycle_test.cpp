// CREATE and REMOVE of one table among others, and what a table can hold:
// no statement may touch a table it was not asked to, or accept what the
// file can never store.
#include <gtest/gtest.h>

#include <random>

#include "runtime/core/base/settings.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/platform/os/file.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

const char* kNotes = R"(FILE,DRIVER('BRINDLEX')
NOT:BYID KEY(+NOT:ID)
BLOB,NAME('NOT:DATA')
RECORD
NOT:ID LONG
NOT:TEXT STRING(10)
END
END
)";

// A table of the file at path (table "" for the unnamed one).
void make_table(FileBlock& f, const std::string& path, const std::string& table,
                const char* declaration = test::kCustomerDeclaration) {
  test::make_file(f, declaration, table.empty() ? path : path + "\\!" + table);
}

// The records of a table, or -1 when it does not open.
int records_of(const std::string& path, const std::string& table) {
  FileBlock f;
  make_table(f, path, table);
  Open(f);
  if (core::error_code() != 0) return -1;
  int n = Records(f);
  Close(f);
  return n;
}

void add_customers(const std::string& path, const std::string& table, int count) {
  FileBlock f;
  make_table(f, path, table);
  Create(f);
  Open(f);
  for (int i = 0; i < count; ++i) {
    test::customer(f, i + 1, "Name" + std::to_string(i));
    Add(f);
  }
  Close(f);
}

class Tables : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::QuietBoxes boxes;
  std::string path = dir.file("R.BDX");
};

TEST_F(Tables, RemoveOfOneTableLeavesTheOthers) {
  add_customers(path, "ONE", 3);
  add_customers(path, "TWO", 5);
  add_customers(path, "", 2);
  FileBlock one;
  make_table(one, path, "one");
  Remove(one);
  EXPECT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(records_of(path, "ONE"), -1);
  EXPECT_EQ(records_of(path, "TWO"), 5);
  EXPECT_EQ(records_of(path, ""), 2);
  EXPECT_TRUE(check_file(path).empty());
  Remove(one);
  EXPECT_EQ(core::error_code(), kFileNotFound);
  // The file goes with its last table.
  FileBlock two, unnamed;
  make_table(two, path, "TWO");
  make_table(unnamed, path, "");
  Remove(unnamed);
  EXPECT_EQ(records_of(path, "TWO"), 5);
  Remove(two);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_FALSE(platform::file_exists(path));
}

TEST_F(Tables, RemoveOfAFileOpenElsewhereIsRefused) {
  add_customers(path, "", 2);
  FileBlock open, remover;
  make_table(open, path, "");
  make_table(remover, path, "");
  Open(open);
  Remove(remover);
  EXPECT_EQ(core::error_code(), kAccessDenied);
  test::customer(open, 10, "Still here");
  Add(open);
  EXPECT_EQ(core::error_code(), 0);
  Close(open);
  EXPECT_EQ(records_of(path, ""), 3);
  // Another process's open refuses it too.
  pid_t child = fork();
  if (child == 0) {
    FileBlock f;
    make_table(f, path, "");
    Open(f);
    sleep(2);
    _exit(0);
  }
  usleep(500000);
  Remove(remover);
  EXPECT_EQ(core::error_code(), kAccessDenied);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(records_of(path, ""), 3);
}

TEST_F(Tables, CreateReplacesOnlyTheTableItNames) {
  add_customers(path, "OTHER", 4);
  add_customers(path, "", 3);
  // Creating the unnamed table again empties it, and only it.
  add_customers(path, "", 0);
  EXPECT_EQ(records_of(path, ""), 0);
  EXPECT_EQ(records_of(path, "OTHER"), 4);
  add_customers(path, "OTHER", 1);
  EXPECT_EQ(records_of(path, "OTHER"), 1);
  EXPECT_EQ(records_of(path, ""), 0);
  EXPECT_TRUE(check_file(path).empty());
}

TEST_F(Tables, AnEmptyTableNameIsRefused) {
  FileBlock f;
  test::make_file(f, test::kCustomerDeclaration, dir.file("X") + "\\!");
  Create(f);
  EXPECT_EQ(core::error_code(), kInvalidFilename);
  Open(f);
  EXPECT_EQ(core::error_code(), kInvalidFilename);
  EXPECT_FALSE(platform::file_exists(dir.file("X.BDX")));
}

// Declarations whose records, keys or memos no page could hold.
TEST_F(Tables, CreateRefusesDeclarationsTheFileCannotHold) {
  std::vector<std::string> names;
  auto create = [&](const std::string& record, const std::string& before = "") {
    FileBlock f;
    std::string name = dir.file("D" + std::to_string(names.size()) + ".BDX");
    names.push_back(name);
    test::make_file(f, "FILE,DRIVER('BRINDLEX')\n" + before + "RECORD\n" + record + "END\nEND\n", name);
    Create(f);
    return core::error_code();
  };
  EXPECT_EQ(create("A:S STRING(15086)\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(15078)\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(7000)\nA:T STRING(8078)\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(20)\nA:M MEMO(100)\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(20)\n", "MEMO(70000),NAME('A:M')\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(7600)\n", "KEY(+A:S),DUP\n"), kInvalidDeclaration);
  EXPECT_EQ(create("A:S STRING(7522)\n", "KEY(+A:S),DUP\n"), 0);
  EXPECT_EQ(create("A:S STRING(20)\n", "MEMO(65535),NAME('A:M')\n"), 0);

  // The longest record that is accepted is stored, whatever its bytes.
  ASSERT_EQ(create("A:S STRING(15077)\n"), 0);
  FileBlock f;
  test::make_file(f, "FILE,DRIVER('BRINDLEX')\nRECORD\nA:S STRING(15077)\nEND\nEND\n", names.back());
  Open(f);
  std::mt19937 random(7);
  for (int n = 0; n < 3; ++n) {
    for (uint8_t& b : f.record) b = static_cast<uint8_t>(random());
    Add(f);
    EXPECT_EQ(core::error_code(), 0) << core::error_text();
  }
  EXPECT_EQ(boxes.count(), 0);
  Close(f);
  for (const auto& p : check_file(names.back())) ADD_FAILURE() << p;
}

// A blob takes at most 65536 chunks: one more byte is refused before
// anything is written, and the table stays as it was.
TEST_F(Tables, ABlobBeyondItsChunksIsRefusedAndChangesNothing) {
  FileBlock f;
  test::make_file(f, kNotes, path);
  Create(f);
  Open(f);
  ASSERT_EQ(core::error_code(), 0);
  MemoBlock& blob = f.declaration.memos[0];
  test::set_long(f, "NOT:ID", 1);
  blob.value.assign(size_t{65536} * 256 + 1, 'x');
  Add(f);
  EXPECT_EQ(core::error_code(), kRecordLimitExceeded);
  EXPECT_EQ(Records(f), 0);
  blob.value.assign(size_t{65536} * 256, 'y');
  Add(f);
  ASSERT_EQ(core::error_code(), 0);
  blob.value.push_back('z');
  Put(f);
  EXPECT_EQ(core::error_code(), kRecordLimitExceeded);
  blob.value.clear();
  test::set_long(f, "NOT:ID", 1);
  Get(f, f.declaration.keys[0]);
  ASSERT_EQ(core::error_code(), 0);
  EXPECT_EQ(blob.value.size(), size_t{65536} * 256);
  EXPECT_EQ(blob.value.find_first_not_of('y'), std::string::npos);
  Close(f);
  EXPECT_TRUE(check_file(path).empty());
}

// A dynamic index is the program's own: the file's definition leaves it
// out, the keys after it number their entries among the keys the file
// stores, and the file checks clean.
TEST_F(Tables, AnIndexIsNotStoredInTheFile) {
  const char* declaration =
      "FILE,DRIVER('BRINDLEX')\nKEY(+I:A)\nINDEX(),DUP\nKEY(+I:B),DUP\nRECORD\nI:A LONG\nI:B LONG\nEND\nEND\n";
  FileBlock f;
  test::make_file(f, declaration, path);
  Create(f);
  Open(f);
  ASSERT_EQ(core::error_code(), 0);
  for (int i = 1; i <= 5; ++i) {
    test::set_long(f, "I:A", i);
    test::set_long(f, "I:B", 10 - i);
    Add(f);
  }
  FileDeclaration stored;
  ASSERT_EQ(stored_declaration(path, &stored), 0);
  ASSERT_EQ(stored.keys.size(), 2u);
  for (const KeyBlock& k : stored.keys) EXPECT_FALSE(k.dynamic_index());
  Set(f.declaration.keys[2]);
  Next(f);
  EXPECT_EQ(test::get_long(f, "I:B"), 5);
  EXPECT_EQ(Records(f.declaration.keys[2]), 5);
  Build(f.declaration.keys[1], "-I:A");
  ASSERT_EQ(core::error_code(), 0);
  Set(f.declaration.keys[1]);
  Next(f);
  EXPECT_EQ(test::get_long(f, "I:A"), 5);
  Close(f);
  for (const auto& p : check_file(path)) ADD_FAILURE() << p;
  Open(f);  // the declaration with its index still matches the file
  EXPECT_EQ(core::error_code(), 0);
  Close(f);
}

}  // namespace
}  // namespace vrt::data
