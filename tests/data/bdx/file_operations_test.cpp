// Operations the native driver carries out on whole files and on fields of
// the buffer, which it once answered with 80: COPY, RENAME, PACK, NULL,
// SETNULL, SETNONULL, BLOB_SIZE, BUFFER, and BUILD's progress report with
// its "in progress" bit and its cancellation.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/dispatcher.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/platform/os/file.h"
#include "tests/data/bdx_test_support.h"

namespace vrt::data {
namespace {

class FileOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.file("C.BDX");
    test::create_customers(path, 30);
    test::make_file(cus, test::kCustomerDeclaration, path);
  }
  int records_at(const std::string& name) {
    FileBlock f;
    test::make_file(f, test::kCustomerDeclaration, name);
    Open(f);
    if (core::error_code() != 0) return -core::error_code();
    int n = Records(f);
    Close(f);
    return n;
  }
  test::TempDir dir;
  test::QuietBoxes boxes;
  std::string path;
  FileBlock cus;
};

TEST_F(FileOperations, CopyMakesAWholeFileAndLeavesAnOpenOneAlone) {
  std::string copy = dir.file("COPY.BDX");
  Copy(cus, copy);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(records_at(copy), 30);
  EXPECT_TRUE(check_file(copy).empty());
  // Over a file another block has open: refused, the file untouched.
  FileBlock open;
  test::make_file(open, test::kCustomerDeclaration, copy);
  Open(open);
  FileBlock other;
  test::create_customers(dir.file("OTHER.BDX"), 2);
  test::make_file(other, test::kCustomerDeclaration, dir.file("OTHER.BDX"));
  Copy(other, copy);
  EXPECT_EQ(core::error_code(), kAccessDenied);
  EXPECT_EQ(Records(open), 30);
  Close(open);
  FileBlock missing;
  test::make_file(missing, test::kCustomerDeclaration, dir.file("NONE.BDX"));
  Copy(missing, dir.file("ANY.BDX"));
  EXPECT_EQ(core::error_code(), kFileNotFound);
}

TEST_F(FileOperations, RenameMovesOnlyAClosedFileToAFreeName) {
  std::string moved = dir.file("MOVED.BDX");
  FileBlock open;
  test::make_file(open, test::kCustomerDeclaration, path);
  Open(open);
  Rename(cus, moved);
  EXPECT_EQ(core::error_code(), kAccessDenied);
  Close(open);
  test::create_customers(dir.file("TAKEN.BDX"), 1);
  Rename(cus, dir.file("TAKEN.BDX"));
  EXPECT_EQ(core::error_code(), 380);  // "File Already Exists"
  EXPECT_EQ(records_at(dir.file("TAKEN.BDX")), 1);
  Rename(cus, moved);
  ASSERT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(records_at(moved), 30);
  EXPECT_FALSE(platform::file_exists(path));
}

TEST_F(FileOperations, PackKeepsEveryRecordAndKey) {
  Open(cus, kReadWrite | kDenyAll);
  Set(cus);
  for (int i = 0; i < 15; ++i) {
    Next(cus);
    Delete(cus);
  }
  Pack(cus);
  EXPECT_EQ(core::error_code(), 0) << core::error_text();
  EXPECT_EQ(Records(cus), 15);
  Close(cus);
  EXPECT_TRUE(check_file(path).empty());
  Open(cus);  // shared: PACK needs exclusive access
  Pack(cus);
  EXPECT_EQ(core::error_code(), kExclusiveRequired);
  Close(cus);
}

TEST_F(FileOperations, NullFieldsLastUntilTheNextRead) {
  Open(cus);
  Set(cus);
  Next(cus);
  int name = find_field(cus.declaration, "CUS:NAME");
  EXPECT_FALSE(Null(cus, name));
  SetNull(cus, name);
  EXPECT_TRUE(Null(cus, name));
  EXPECT_EQ(test::get_string(cus, "CUS:NAME"), "");
  SetNonull(cus, name);
  EXPECT_FALSE(Null(cus, name));
  SetNull(cus, name);
  Next(cus);
  EXPECT_FALSE(Null(cus, name));
  Null(cus, 999);
  EXPECT_EQ(core::error_code(), kRecordNotAvailable);
  // BUFFER on a file is a hint the page cache already serves.
  DriverArg none[3] = {10, 0, 0};
  dispatch(kOpBuffer, &cus, none);
  EXPECT_EQ(core::error_code(), 0);
  Close(cus);
}

TEST_F(FileOperations, BlobSizeIsTheBytesOfTheBlob) {
  FileBlock f;
  test::make_file(f, "FILE,DRIVER('BRINDLEX')\nBLOB,NAME('B:DATA')\nRECORD\nB:ID LONG\nEND\nEND\n", dir.file("B.BDX"));
  Create(f);
  Open(f);
  f.declaration.memos[0].value = std::string(1000, 'b');
  Add(f);
  f.declaration.memos[0].value.clear();
  Set(f);
  Next(f);
  EXPECT_EQ(BlobSize(f, 0), 1000);
  BlobSize(f, 1);
  EXPECT_EQ(core::error_code(), kRecordNotAvailable);
  Close(f);
}

struct Progress {
  FileBlock* file;
  int calls = 0;
  uint32_t last_done = 0, total = 0;
  int during = -1;  // the error an operation on the file got while building
  bool cancel = false;
  bool close = false;
  static bool report(void* context, uint32_t done, uint32_t total) {
    auto* p = static_cast<Progress*>(context);
    ++p->calls;
    p->last_done = done;
    p->total = total;
    if (p->calls == 1) {
      Records(*p->file);
      p->during = core::error_code();
      if (p->close) Close(*p->file);
    }
    return !p->cancel;
  }
};

TEST_F(FileOperations, BuildReportsItsProgressAndCanBeCancelled) {
  Open(cus, kReadWrite | kDenyAll);
  Stream(cus);
  for (int i = 30; i < 2500; ++i) {
    test::customer(cus, i + 1, "Name" + std::to_string(i), "Suburb");
    Add(cus);
  }
  Flush(cus);
  Progress p{&cus};
  BuildEvent(cus, Progress::report, &p);
  ASSERT_EQ(core::error_code(), 0);
  Build(cus);
  EXPECT_EQ(core::error_code(), 0);
  EXPECT_EQ(p.during, kBuildInProgress);
  EXPECT_EQ(p.total, 2500u);
  EXPECT_EQ(p.last_done, 2500u);
  EXPECT_EQ(cus.state & kStateBuilding, 0u);

  p = Progress{&cus};
  p.cancel = true;
  Build(cus.declaration.keys[0]);
  EXPECT_EQ(core::error_code(), kBuildCancelled);
  EXPECT_EQ(p.calls, 1);
  EXPECT_EQ(Records(cus.declaration.keys[0]), 2500);  // the key as it was
  // CLOSE from the callback stops the build, then closes the file.
  p = Progress{&cus};
  p.close = true;
  Build(cus);
  EXPECT_EQ(core::error_code(), kBuildCancelled);
  Records(cus);
  EXPECT_EQ(core::error_code(), kFileNotOpen);
  EXPECT_TRUE(check_file(path).empty());
}

}  // namespace
}  // namespace vrt::data
