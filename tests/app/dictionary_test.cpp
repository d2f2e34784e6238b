// The data dictionary against the driver: every file is created with the
// record size and keys declared, and stores exactly its declaration.
#include "app/dictionary/dictionary.h"

#include <gtest/gtest.h>

#include "app/dictionary/record_fields.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/postgres/postgres_driver.h"
#include "tests/test_support.h"

namespace marlock {
namespace {

using vrt::test::TempDir;

TEST(Dictionary, RecordSizesAndKeysAreThoseDeclared) {
  const uint32_t sizes[kFileCount] = {372, 24, 130, 106, 36, 187, 102, 13};
  const size_t keys[kFileCount] = {5, 1, 5, 3, 3, 3, 4, 1};
  for (int f = 0; f < kFileCount; ++f) {
    vrt::data::FileBlock file;
    make_file_block(file, static_cast<FileId>(f));
    EXPECT_EQ(file.declaration.record_length, sizes[f]) << file_spec(static_cast<FileId>(f)).label;
    EXPECT_EQ(file.declaration.keys.size(), keys[f]) << file_spec(static_cast<FileId>(f)).label;
    EXPECT_EQ(file.record.size(), sizes[f]);
  }
  EXPECT_EQ(disk_name(FileId::Customer), "CUSTOMER.BDX");
  EXPECT_EQ(disk_name(FileId::Members), "MEMBERS.BDX");
  EXPECT_EQ(disk_name(FileId::Accounts), "ACCOUNTS.BDX");
}

TEST(Dictionary, EveryFileStoresExactlyItsDeclaredLayout) {
  TempDir dir;
  for (int f = 0; f < kFileCount; ++f) {
    FileId id = static_cast<FileId>(f);
    vrt::data::FileBlock file;
    make_file_block(file, id, dir.path());
    vrt::data::Create(file);
    ASSERT_EQ(vrt::core::error_code(), 0) << file_spec(id).label;
    // What bdx declare prints is read back and compared field by field and
    // key by key: the file keeps the layout, not the program's labels for
    // the file itself.
    vrt::test::CommandResult r =
        vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " declare " + dir.file(disk_name(id)));
    ASSERT_EQ(r.exit_code, 0) << file_spec(id).label;
    vrt::data::FileDeclaration stored;
    std::string message;
    ASSERT_TRUE(vrt::data::parse_declaration(r.out, &stored, &message)) << message << "\n" << r.out;
    const vrt::data::FileDeclaration& declared = file.declaration;
    EXPECT_EQ(stored.record_length, declared.record_length);
    ASSERT_EQ(stored.fields.size(), declared.fields.size());
    for (size_t i = 0; i < declared.fields.size(); ++i) {
      EXPECT_EQ(stored.fields[i].label, declared.fields[i].label);
      EXPECT_EQ(stored.fields[i].type, declared.fields[i].type) << declared.fields[i].label;
      EXPECT_EQ(stored.fields[i].size, declared.fields[i].size) << declared.fields[i].label;
      EXPECT_EQ(stored.fields[i].places, declared.fields[i].places) << declared.fields[i].label;
      EXPECT_EQ(stored.fields[i].offset, declared.fields[i].offset) << declared.fields[i].label;
    }
    // A dynamic index is the program's own: the file does not keep it.
    std::vector<vrt::data::KeyBlock> kept;
    for (const vrt::data::KeyBlock& k : declared.keys)
      if (!k.dynamic_index()) kept.push_back(k);
    ASSERT_EQ(stored.keys.size(), kept.size());
    for (size_t k = 0; k < kept.size(); ++k) {
      EXPECT_EQ(stored.keys[k].label, kept[k].label);
      EXPECT_EQ(stored.keys[k].components, kept[k].components) << kept[k].label;
      EXPECT_EQ(stored.keys[k].attributes, kept[k].attributes) << kept[k].label;
    }
  }
}

TEST(Dictionary, OptionalKeysLeaveOutBlankValuesAndNoCaseKeysRefuseCaseTwins) {
  TempDir dir;
  vrt::data::FileBlock file;
  make_file_block(file, FileId::Customer, dir.path());
  vrt::data::Create(file);
  vrt::data::Open(file);
  RecordFields r(file);
  r.clear();
  r.set_long("CUS:CUSID", 1);
  r.set_string("CUS:NAME", "Harper, Jane");
  vrt::data::Add(file);
  ASSERT_EQ(vrt::core::error_code(), 0);
  r.clear();
  r.set_long("CUS:CUSID", 2);
  r.set_string("CUS:NAME", "HARPER, JANE");
  vrt::data::Add(file);
  EXPECT_EQ(vrt::core::error_code(), 40);  // CUS:BYNAME is unique without regard to case
  EXPECT_EQ(vrt::data::Records(file), 1);
  EXPECT_EQ(vrt::data::Records(*file.key(1)), 0);  // no e-mail: not in CUS:BYEMAIL
  vrt::data::Close(file);
}

TEST(RecordFields, EveryDeclaredTypeRoundTrips) {
  vrt::data::FileBlock members, accounts;
  make_file_block(members, FileId::Members);
  make_file_block(accounts, FileId::Accounts);
  RecordFields m(members), a(accounts);
  m.clear();
  m.set_byte("MEM:ACTIVE", 1);
  m.set_string("MEM:MIDDLENAME", "Quentin");  // cut to the field
  m.set_long("MEM:MEMBERNUMBER", -42);
  EXPECT_EQ(m.get_byte("MEM:ACTIVE"), 1);
  EXPECT_EQ(m.get_string("MEM:MIDDLENAME"), "Q");
  EXPECT_EQ(m.get_string("MEM:LASTNAME"), "");
  EXPECT_EQ(m.get_long("MEM:MEMBERNUMBER"), -42);
  a.clear();
  EXPECT_EQ(a.get_decimal("ACC:AMOUNT"), "0");
  a.set_decimal("ACC:AMOUNT", "-1234.565");
  EXPECT_EQ(a.get_decimal("ACC:AMOUNT"), "-1234.57");  // rounded half up to the field's places
}

// The profile switches a file to another driver without rebuilding: one
// file by its label, or every file with "*"; an unknown driver leaves the
// file without one, so its statements post 80 instead of touching a file.
TEST(Dictionary, TheProfileChoosesAFilesDriver) {
  TempDir dir;
  const char* before = std::getenv("VORTHAL_WININI");
  std::string saved = before ? before : "";
  setenv("VORTHAL_WININI", dir.file("win.ini").c_str(), 1);
  auto entry_of = [](FileId id) {
    vrt::data::FileBlock file;
    make_file_block(file, id);
    return file.driver_entry;
  };
  vrt::test::write_file(dir.file("win.ini"), "[Vorthal Drivers]\nCUSTOMER=postgresql\n");
  EXPECT_EQ(entry_of(FileId::Customer), &vrt::data::postgres_driver_entry);
  EXPECT_EQ(entry_of(FileId::Goods), &vrt::data::bdx_driver_entry);
  vrt::test::write_file(dir.file("win.ini"), "[Vorthal Drivers]\n*=POSTGRESQL\nGOODS=BRINDLEX\n");
  EXPECT_EQ(entry_of(FileId::Members), &vrt::data::postgres_driver_entry);
  EXPECT_EQ(entry_of(FileId::Goods), &vrt::data::bdx_driver_entry);
  vrt::test::write_file(dir.file("win.ini"), "[Vorthal Drivers]\nCUSTOMER=NOSUCH\n");
  vrt::data::FileBlock file;
  make_file_block(file, FileId::Customer, dir.path());
  vrt::data::Open(file);
  EXPECT_EQ(vrt::core::error_code(), 80);
  if (before) setenv("VORTHAL_WININI", saved.c_str(), 1);
  else unsetenv("VORTHAL_WININI");
}

}  // namespace
}  // namespace marlock
