// The sample data: every file written, the same on every run, never over
// files that are there.
#include "app/seed/seed_files.h"

#include <gtest/gtest.h>

#include <unordered_set>

#include "app/dictionary/dictionary.h"
#include "app/dictionary/record_fields.h"
#include "app/seed/sample_values.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/statements.h"
#include "tests/test_support.h"

namespace marlock {
namespace {

using vrt::test::TempDir;

SeedSizes small() {
  SeedSizes s;
  s.customers = 60;
  return s;
}

// Every record of a file in its first key's order, one line each.
std::string contents(const std::string& folder, FileId id) {
  vrt::data::FileBlock file;
  make_file_block(file, id, folder);
  vrt::data::Open(file);
  EXPECT_EQ(vrt::core::error_code(), 0) << disk_name(id);
  std::string out;
  vrt::data::Set(*file.key(0));
  for (vrt::data::Next(file); vrt::core::error_code() == 0; vrt::data::Next(file))
    out += std::string(reinterpret_cast<const char*>(file.record.data()), file.record.size()) + "\n";
  vrt::data::Close(file);
  return out;
}

int32_t records(const std::string& folder, FileId id, int key = -1) {
  vrt::data::FileBlock file;
  make_file_block(file, id, folder);
  vrt::data::Open(file);
  int32_t n = key < 0 ? vrt::data::Records(file) : vrt::data::Records(*file.key(static_cast<size_t>(key)));
  vrt::data::Close(file);
  return n;
}

TEST(Seed, WritesEveryFileWithItsSize) {
  TempDir dir;
  std::string message;
  ASSERT_TRUE(seed_data_folder(dir.file("data"), small(), &message)) << message;
  std::string folder = dir.file("data");
  EXPECT_EQ(records(folder, FileId::Customer), 60);
  int32_t goods = records(folder, FileId::Goods);
  EXPECT_GE(goods, 60);
  EXPECT_LE(goods, 300);
  EXPECT_EQ(records(folder, FileId::Students), 300);
  EXPECT_EQ(records(folder, FileId::Teachers), 20);
  EXPECT_EQ(records(folder, FileId::Classes), 120);
  EXPECT_EQ(records(folder, FileId::Members), 500);
  EXPECT_EQ(records(folder, FileId::People), 300);
  EXPECT_EQ(records(folder, FileId::Accounts), 3000);
  // Some customers have no e-mail, so the optional key holds fewer entries.
  int32_t with_email = records(folder, FileId::Customer, 1);
  EXPECT_GT(with_email, 30);
  EXPECT_LT(with_email, 60);
  // Every key of the bulk-loaded files was built.
  for (int k = 0; k < 5; ++k) EXPECT_GT(records(folder, FileId::Customer, k), 0) << k;
  EXPECT_EQ(vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " check " + folder + "/CUSTOMER.BDX").exit_code, 0);
}

TEST(Seed, IsTheSameOnEveryRun) {
  TempDir dir;
  std::string message;
  ASSERT_TRUE(seed_data_folder(dir.file("a"), small(), &message)) << message;
  ASSERT_TRUE(seed_data_folder(dir.file("b"), small(), &message)) << message;
  for (int f = 0; f < kFileCount; ++f)
    EXPECT_EQ(contents(dir.file("a"), static_cast<FileId>(f)), contents(dir.file("b"), static_cast<FileId>(f)))
        << disk_name(static_cast<FileId>(f));
}

TEST(Seed, NeverWritesOverFilesThatAreThere) {
  TempDir dir;
  std::string folder = dir.file("data");
  std::string message;
  ASSERT_TRUE(seed_data_folder(folder, small(), &message)) << message;
  std::string before = vrt::test::read_file(folder + "/PEOPLE.BDX");
  EXPECT_FALSE(seed_data_folder(folder, small(), &message));
  EXPECT_NE(message.find("already holds CUSTOMER.BDX"), std::string::npos) << message;
  EXPECT_EQ(vrt::test::read_file(folder + "/PEOPLE.BDX"), before);
}

TEST(Seed, AFolderThatCannotBeMadeIsAClearError) {
  TempDir dir;
  vrt::test::write_file(dir.file("plain"), "x");
  std::string message;
  EXPECT_FALSE(seed_data_folder(dir.file("plain") + "/data", small(), &message));
  EXPECT_NE(message.find("cannot make the folder"), std::string::npos) << message;
}

TEST(SampleValues, AMillionCustomerNamesAreDistinctAndFitTheirField) {
  std::unordered_set<std::string> seen;
  for (uint32_t i = 0; i < 1000000; ++i) {
    std::string name = SampleValues::customer_name(i);
    ASSERT_LE(name.size(), 20u) << name;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(seen.insert(name).second) << name;  // the key compares without regard to case
  }
}

}  // namespace
}  // namespace marlock
