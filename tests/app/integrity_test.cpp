// Open and check, the integrity procedures and the standard warnings, on
// real files in a folder of their own.
#include "app/integrity/integrity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "app/seed/seed_files.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/statements.h"
#include "tests/data/child_process.h"
#include "tests/test_support.h"

namespace marlock {
namespace {

namespace d = vrt::data;

std::vector<Warning> g_shown;
int g_answer = 0;  // 0: the default button
std::vector<std::string> g_endings;

int record_warning(const Warning& w) {
  g_shown.push_back(w);
  return g_answer ? g_answer : w.default_button;
}
void record_ending(const std::string& text) { g_endings.push_back(text); }

// Each test works in a folder of its own with the sample data, as the
// program does in its data directory.
class Integrity : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    g_endings.clear();
    g_answer = 0;
    set_message_shower(record_warning);
    set_application_ending(record_ending);
    SeedSizes sizes;
    sizes.customers = 20;
    std::string message;
    ASSERT_TRUE(seed_data_folder(dir.file("data"), sizes, &message)) << message;
    ASSERT_EQ(getcwd(before, sizeof before), before);
    ASSERT_EQ(chdir(dir.file("data").c_str()), 0);
  }
  void TearDown() override {
    for (int f = 0; f < kFileCount; ++f)
      while (file_uses(static_cast<FileId>(f)) > 0) release_file(static_cast<FileId>(f));
    EXPECT_EQ(chdir(before), 0);
    set_message_shower(nullptr);
    set_application_ending(nullptr);
  }
  // Reads the first record of the file in its first key's order.
  static void first(d::FileBlock& f) {
    d::Set(*f.key(0));
    d::Next(f);
    ASSERT_EQ(vrt::core::error_code(), 0);
  }
  // Another station (a file block of its own on the same file) gives the
  // first person a new phone number; true when that worked.
  static bool change_elsewhere(const char* phone) {
    d::FileBlock other;
    make_file_block(other, FileId::People);
    d::Open(other);
    first(other);
    RecordFields(other).set_string("PEO:PHONE", phone);
    d::Put(other);
    bool changed = vrt::core::error_code() == 0;
    d::Close(other);
    return changed;
  }
  static int32_t count_children(FileId child, const char* field, int32_t value) {
    FileUse use(child);
    d::FileBlock& c = *use.get();
    int32_t n = 0;
    d::Set(c);
    for (d::Next(c); vrt::core::error_code() == 0; d::Next(c)) n += RecordFields(c).get_long(field) == value;
    return n;
  }
  vrt::test::TempDir dir;
  char before[4096];
};

TEST_F(Integrity, DeletingATeacherWithClassesIsRefusedAndChangesNothing) {
  FileUse teachers(FileId::Teachers);
  first(*teachers.get());
  int32_t number = RecordFields(*teachers.get()).get_long("TEA:NUMBER");
  int32_t classes = count_children(FileId::Classes, "CLA:TEACHERNUMBER", number);
  ASSERT_GT(classes, 0);
  EXPECT_EQ(integrity_delete(FileId::Teachers), kIntegrityFailed);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].title, "Referential Integrity Delete Error");
  EXPECT_EQ(g_shown[0].text,
            "This record is referenced from the file Classes.  This record cannot be deleted while these references "
            "exist.");
  EXPECT_EQ(d::Records(*teachers.get()), 20);
  EXPECT_EQ(count_children(FileId::Classes, "CLA:TEACHERNUMBER", number), classes);
}

TEST_F(Integrity, DeletingAParentWithoutChildrenOrACustomerWithGoods) {
  FileUse teachers(FileId::Teachers);
  RecordFields t(*teachers.get());
  t.clear();
  t.set_long("TEA:NUMBER", 999999999);
  t.set_string("TEA:LASTNAME", "Newcomer");
  d::Add(*teachers.get());
  ASSERT_EQ(vrt::core::error_code(), 0);
  EXPECT_EQ(integrity_delete(FileId::Teachers), kIntegrityDone);
  EXPECT_EQ(d::Records(*teachers.get()), 20);
  // Customers and goods are linked for display only: the goods stay.
  FileUse customers(FileId::Customer);
  first(*customers.get());
  int32_t id = RecordFields(*customers.get()).get_long("CUS:CUSID");
  int32_t goods = count_children(FileId::Goods, "GOD:CUSID", id);
  ASSERT_GT(goods, 0);
  EXPECT_EQ(integrity_delete(FileId::Customer), kIntegrityDone);
  EXPECT_EQ(d::Records(*customers.get()), 19);
  EXPECT_EQ(count_children(FileId::Goods, "GOD:CUSID", id), goods);
  EXPECT_TRUE(g_shown.empty());
}

TEST_F(Integrity, DeletingAPersonWithAccountEntriesIsRefused) {
  FileUse people(FileId::People);
  d::FileBlock& p = *people.get();
  int32_t with_entries = 0;
  d::Set(*p.key(0));
  for (d::Next(p); vrt::core::error_code() == 0; d::Next(p))
    if (count_children(FileId::Accounts, "ACC:PEO::ID", RecordFields(p).get_long("PEO:ID")) > 0) {
      with_entries = RecordFields(p).get_long("PEO:ID");
      break;
    }
  ASSERT_GT(with_entries, 0);
  EXPECT_EQ(integrity_delete(FileId::People), kIntegrityFailed);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text.find("referenced from the file ACCOUNTS."), 15u) << g_shown[0].text;
  EXPECT_EQ(d::Records(p), 300);
}

TEST_F(Integrity, AChangedTeacherNumberCascadesToEveryClass) {
  FileUse teachers(FileId::Teachers);
  d::FileBlock& t = *teachers.get();
  first(t);
  std::vector<uint8_t> before = t.record;
  int32_t old_number = RecordFields(t).get_long("TEA:NUMBER");
  int32_t classes = count_children(FileId::Classes, "CLA:TEACHERNUMBER", old_number);
  ASSERT_GT(classes, 1);
  RecordFields(t).set_long("TEA:NUMBER", 123456789);
  EXPECT_EQ(integrity_update(FileId::Teachers, before, false), kIntegrityDone);
  EXPECT_TRUE(g_shown.empty());
  EXPECT_EQ(count_children(FileId::Classes, "CLA:TEACHERNUMBER", old_number), 0);
  EXPECT_EQ(count_children(FileId::Classes, "CLA:TEACHERNUMBER", 123456789), classes);
  EXPECT_EQ(d::Records(t), 20);
}

TEST_F(Integrity, ARecordChangedByAnotherStationIsShownNotOverwritten) {
  FileUse people(FileId::People);
  d::FileBlock& mine = *people.get();
  first(mine);
  d::Watch(mine);
  d::Reget(mine, d::Position(mine));
  ASSERT_TRUE(change_elsewhere("(555)000-1111"));
  std::vector<uint8_t> before = mine.record;
  RecordFields(mine).set_string("PEO:PHONE", "(555)999-9999");
  EXPECT_EQ(integrity_update(FileId::People, before, true), kIntegrityChangedElsewhere);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].number, 38);
  EXPECT_EQ(RecordFields(mine).get_string("PEO:PHONE"), "(555)000-1111");  // the other station's value
  // Without Ditto the form hears message 15 in its other-station form.
  g_shown.clear();
  d::Watch(mine);
  d::Reget(mine, d::Position(mine));
  ASSERT_TRUE(change_elsewhere("(555)222-3333"));
  EXPECT_EQ(integrity_update(FileId::People, mine.record, false), kIntegrityChangedElsewhere);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text, "This record was changed by another station.");
}

TEST_F(Integrity, AChangeByAnotherProcessIsShownAndNothingIsLost) {
  // The other station is a real process, started before this one opens the
  // file; it changes the record after this one has read it.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t other = vrt::test::start_child([&] {
    char c;
    if (read(go[0], &c, 1) != 1) return 1;
    return change_elsewhere("(555)444-5555") ? 0 : 1;
  });
  FileUse people(FileId::People);
  d::FileBlock& mine = *people.get();
  first(mine);
  d::Watch(mine);
  d::Reget(mine, d::Position(mine));
  std::vector<uint8_t> before = mine.record;
  ASSERT_EQ(write(go[1], "x", 1), 1);
  EXPECT_EQ(vrt::test::child_result_within(other, 30), 0);
  RecordFields(mine).set_string("PEO:PHONE", "(555)999-9999");
  EXPECT_EQ(integrity_update(FileId::People, before, false), kIntegrityChangedElsewhere);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text, "This record was changed by another station.");
  EXPECT_EQ(RecordFields(mine).get_string("PEO:PHONE"), "(555)444-5555");
  EXPECT_EQ(d::Records(mine), 300);
  close(go[0]);
  close(go[1]);
  EXPECT_EQ(vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " check PEOPLE.BDX").exit_code, 0);
}

TEST_F(Integrity, AMissingCustomerFileEndsTheApplication) {
  ASSERT_EQ(unlink("CUSTOMER.BDX"), 0);
  EXPECT_EQ(use_file(FileId::Customer), nullptr);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].title, "File Creation Error");
  EXPECT_EQ(g_shown[0].text, "Error: (File Not Found (2)) creating CUSTOMER.  Press OK to end this application.");
  EXPECT_EQ(g_endings, std::vector<std::string>{"File Creation Error!"});
  // Every other file is created empty on first use.
  ASSERT_EQ(unlink("GOODS.BDX"), 0);
  FileUse goods(FileId::Goods);
  ASSERT_TRUE(goods);
  EXPECT_EQ(d::Records(*goods.get()), 0);
}

TEST_F(Integrity, UnusableFilesEndInTheirMessages) {
  // Not a data file at all: the file access message, then "Disk Error".
  vrt::test::write_file("PEOPLE.BDX", std::string(4096, 'x'));
  EXPECT_EQ(use_file(FileId::People), nullptr);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].number, 30);
  EXPECT_EQ(g_shown[0].text.rfind("File (PEOPLE) could not be opened.  Error: ", 0), 0u) << g_shown[0].text;
  EXPECT_EQ(g_endings, std::vector<std::string>{"Disk Error"});
  // A file of another layout: "Invalid File", and the application ends.
  g_shown.clear();
  g_endings.clear();
  ASSERT_EQ(unlink("ACCOUNTS.BDX"), 0);
  ASSERT_EQ(rename("MEMBERS.BDX", "ACCOUNTS.BDX"), 0);
  EXPECT_EQ(use_file(FileId::Accounts), nullptr);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].number, 1);
  EXPECT_EQ(g_endings, std::vector<std::string>{"Invalid File!"});
}

TEST_F(Integrity, UseCountsOpenOnceAndCloseWithTheLastUse) {
  {
    FileUse a(FileId::Members);
    FileUse b(FileId::Members);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(file_uses(FileId::Members), 2);
  }
  EXPECT_EQ(file_uses(FileId::Members), 0);
  // Closed: the file can be removed (nothing of this thread holds it).
  EXPECT_EQ(unlink("MEMBERS.BDX"), 0);
}

TEST(Warnings, TextsFollowTheCatalogue) {
  EXPECT_EQ(build_warning(24, "CUS:ByName", "", "", 40).text,
            "Adding this record creates a duplicate entry for the key:CUS:ByName");
  Warning w = build_warning(34, "Delete", "Teachers", "Unable To Log Transaction (48)", 48);
  EXPECT_EQ(w.title, "Transaction Framing Error");
  EXPECT_EQ(w.text,
            "Error: (Unable To Log Transaction (48)) attempting to frame the Delete transaction on Teachers.  Delete "
            "transaction cancelled.");
  EXPECT_EQ(build_warning(15, "Classes", "", "Access Denied (5)", 5).text,
            "An error (Access Denied (5)) was experienced when attempting to update a record from the file.  Probable "
            "Cause: Classes.");
  w = build_warning(31, "Delete", "Process:View", "x (1)", 1);
  EXPECT_EQ(w.title, "Process DELETE Error");
  EXPECT_EQ(w.text, "An error was experienced when deleting a record from the Process:View file.  Error: x (1)");
  w = build_warning(2, "STUDENTS", "", "", 0);
  EXPECT_EQ(w.icon, WarningIcon::Question);
  EXPECT_EQ(w.buttons, kButtonYes | kButtonNo);
  EXPECT_EQ(w.default_button, kButtonYes);
  EXPECT_EQ(build_warning(16, "", "", "", 0).default_button, kButtonCancel);
  EXPECT_EQ(build_warning(99, "", "", "", 0).number, 0);
}

TEST(Warnings, TheRebuildQuestionEndsOnlyOnNo) {
  set_message_shower(record_warning);
  set_application_ending(record_ending);
  g_endings.clear();
  g_answer = kButtonYes;
  EXPECT_EQ(standard_warning(2, "STUDENTS"), kButtonYes);
  EXPECT_TRUE(g_endings.empty());
  g_answer = kButtonNo;
  EXPECT_EQ(standard_warning(2, "STUDENTS"), kButtonNo);
  EXPECT_EQ(g_endings, std::vector<std::string>{"Invalid Key!"});
  g_answer = 0;
  set_message_shower(nullptr);
  set_application_ending(nullptr);
}

TEST(Warnings, TheDescriptionOfAFileSystemErrorIsTheSystemsOwn) {
  vrt::core::post_error(90);
  vrt::core::set_file_error_text("Disk Full");
  vrt::core::set_file_error_code(39);
  save_error();
  EXPECT_EQ(error_description(), "Disk Full (39)");
  clear_saved_error();
  vrt::core::post_error(33);
  EXPECT_EQ(error_description(), "Record Not Available (33)");
  vrt::core::clear_error();
}

}  // namespace
}  // namespace marlock
