// The update forms, run as a browse runs them and driven by scripts:
// inserting, changing and deleting records, the access modes that refuse a
// request, the duplicate-key warning, the PEOPLE numbering, the frame
// toolbar while a form is open, Ditto, and typed text that is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>

#include "app/form/form_instances.h"
#include "runtime/platform/gui/beep.h"
#include "runtime/window/frame_toolbar.h"
#include "tests/app/form_test_fixture.h"

namespace marlock::test {
namespace {

std::string read(const std::string& path) { return vrt::test::read_file(path); }

// Waits for the form's window and for its procedure to be ready for the user.
std::string ready(const std::string& module) {
  return "wait window \"@" + module + "\"\ndump window /dev/null\n";
}

// Seeded classes are numbered 1000001 + 13 i; teachers' numbers are their
// classes' links.
constexpr int32_t kFirstClass = 1000001;

TEST_F(FormTest, InsertingAClassWritesItAndTheFileStaysSound) {
  int32_t before = records(FileId::Classes);
  std::string dump = file("form.txt");
  FormRun r = run(FileId::Classes, kInsertRecord,
                  ready("marlo029") +
                  "dump window " + dump + "\n"
                  "click field 4\n"
                  "type \"{Home}{Shift+End}12-34567\"\n"
                  "key Tab\n"
                  "type \"42\"\n"
                  "key Tab\n"
                  "type \"Mon 9:00\"\n"
                  "click \"OK\"\n"
                  "wait closed \"@marlo029\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  EXPECT_EQ(r.navigation, 0);
  // The mode's title and colour, the focused entry's message and the action in the status bar.
  EXPECT_TRUE(read(dump).starts_with("window\tDirector's mode\ncolor\t00D7D7FF\nstatus\t1\tClass Number\nstatus\t2\tAdding a Classes Record\n"))
      << read(dump);
  std::vector<uint8_t> record;
  ASSERT_TRUE(find(FileId::Classes, "CLA:CLASSNUMBER", 1234567, &record));
  RecordFields fields = fields_of(FileId::Classes, record);
  EXPECT_EQ(fields.get_long("CLA:ROOMNUMBER"), 42);
  EXPECT_EQ(fields.get_string("CLA:SCHEDULEDTIME"), "Mon 9:00");
  EXPECT_EQ(records(FileId::Classes), before + 1);
  EXPECT_EQ(bdx_check(FileId::Classes), "");
}

TEST_F(FormTest, ADuplicateClassNumberIsToldAndTheFormStaysOpen) {
  int32_t before = records(FileId::Classes);
  // The list of a teacher's classes primes the record; this one primes a number in use.
  FormRun r = run(FileId::Classes, kInsertRecord,
                  ready("marlo029") +
                  "click \"OK\"\n"
                  "expect message \"Adding this record creates a duplicate entry for the key:by Class Number\"\n"
                  "answer \"OK\"\n" +
                  ready("marlo029") +
                  "click \"Cancel\"\n"
                  "wait closed \"@marlo029\"\n",
                  [](d::FileBlock& f) { RecordFields(f).set_long("CLA:CLASSNUMBER", kFirstClass); });
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  EXPECT_EQ(records(FileId::Classes), before);
}

TEST_F(FormTest, ADuplicateOnAKeyNotNamedLeavesTheUserInTheFormWithoutAMessage) {
  // Customer names the CUS:ByName key only; a second customer of an ID in use
  // duplicates CUS:ByID.
  std::vector<uint8_t> first;
  ASSERT_TRUE(find(FileId::Customer, "CUS:CUSID", 1, &first));
  FormRun r = run(FileId::Customer, kInsertRecord,
                  ready("marlo026") +
                  "click \"OK\"\n" +
                  ready("marlo026") +
                  "expect window \"@marlo026\"\n"
                  "click \"Cancel\"\n"
                  "wait closed \"@marlo026\"\n",
                  [](d::FileBlock& f) {
                    RecordFields(f).set_long("CUS:CUSID", 1);
                    RecordFields(f).set_string("CUS:NAME", "A Name Nobody Has");
                  });
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
}

TEST_F(FormTest, ChangingWithoutEditingWritesNothingAndCompletes) {
  std::string before = read(file("data/CLASSES.BDX"));
  std::string dump = file("form.txt");
  FormRun r = run(FileId::Classes, kChangeRecord,
                  ready("marlo029") +
                  "dump window " + dump + "\n"
                  "click \"OK\"\n"
                  "wait closed \"@marlo029\"\n",
                  read_where("CLA:CLASSNUMBER", kFirstClass));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  EXPECT_EQ(read(file("data/CLASSES.BDX")), before);
  EXPECT_NE(read(dump).find("status\t2\tChanging a Classes Record\n"), std::string::npos) << read(dump);
  EXPECT_NE(read(dump).find("\t10-00001\n"), std::string::npos) << read(dump);
}

TEST_F(FormTest, ASavedChangeWithANavigationButtonHandsTheButtonBack) {
  FormRun r = run(FileId::Classes, kChangeRecord,
                  ready("marlo029") +
                  "key Tab\n"
                  "type \"77\"\n"
                  "key Tab\n"
                  "click field 2008\n"
                  "wait closed \"@marlo029\"\n",
                  read_where("CLA:CLASSNUMBER", kFirstClass));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  EXPECT_EQ(r.navigation, frame::kNextRecord);
  std::vector<uint8_t> record;
  ASSERT_TRUE(find(FileId::Classes, "CLA:CLASSNUMBER", kFirstClass, &record));
  EXPECT_EQ(fields_of(FileId::Classes, record).get_long("CLA:ROOMNUMBER"), 77);
  EXPECT_EQ(bdx_check(FileId::Classes), "");
}

TEST_F(FormTest, RequestsTheModeRefusesEndAtOnceWithoutAWindowOrAMessage) {
  std::vector<Warning> shown;
  static std::vector<Warning>* s_shown = &shown;
  set_message_shower([](const Warning& warning) {
    s_shown->push_back(warning);
    return warning.default_button;
  });
  std::string before = read(file("data/CLASSES.BDX"));
  struct Refusal {
    int32_t mode, request;
  };
  for (Refusal refused : {Refusal{kClerk, kChangeRecord}, Refusal{kClerk, kDeleteRecord},
                          Refusal{kManager, kDeleteRecord}, Refusal{kVisitor, kInsertRecord},
                          Refusal{kVisitor, kChangeRecord}, Refusal{kVisitor, kDeleteRecord}}) {
    SCOPED_TRACE(std::to_string(refused.mode) + " asking " + std::to_string(refused.request));
    set_access_mode(refused.mode);
    EXPECT_TRUE(run_without_window(FileId::Classes, refused.request, read_where("CLA:CLASSNUMBER", kFirstClass)));
    EXPECT_EQ(global_request().response, kRequestCancelled);
    EXPECT_EQ(global_request().request, kNoRequest);
    EXPECT_EQ(global_request().navigation, 0);
  }
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(read(file("data/CLASSES.BDX")), before);
}

TEST_F(FormTest, ADeleteIsConfirmedAndATeacherWithClassesIsRefused) {
  int32_t classes = records(FileId::Classes);
  FormRun r = run(FileId::Classes, kDeleteRecord,
                  "expect message \"You've selected to delete the highlighted record.  Press OK to confirm deletion "
                  "of this record.\"\n"
                  "answer \"OK\"\n",
                  read_where("CLA:CLASSNUMBER", kFirstClass));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  EXPECT_FALSE(find(FileId::Classes, "CLA:CLASSNUMBER", kFirstClass));
  EXPECT_EQ(records(FileId::Classes), classes - 1);

  // The second class's teacher still holds classes.
  std::vector<uint8_t> second;
  ASSERT_TRUE(find(FileId::Classes, "CLA:CLASSNUMBER", kFirstClass + 13, &second));
  d::FileBlock c;
  make_file_block(c, FileId::Classes);
  int32_t teacher = RecordFields(c.declaration, second.data()).get_long("CLA:TEACHERNUMBER");
  int32_t teachers = records(FileId::Teachers);
  r = run(FileId::Teachers, kDeleteRecord,
          "expect message \"You've selected to delete the highlighted record.  Press OK to confirm deletion of this "
          "record.\"\n"
          "answer \"OK\"\n"
          "expect message \"This record is referenced from the file Classes.  This record cannot be deleted while "
          "these references exist.\"\n"
          "answer \"OK\"\n"
          "expect message \"An error was experienced deleting this record.  Do you want to try to save again?\"\n"
          "answer \"No\"\n",
          read_where("TEA:NUMBER", teacher));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  EXPECT_TRUE(find(FileId::Teachers, "TEA:NUMBER", teacher));
  EXPECT_EQ(records(FileId::Teachers), teachers);
  EXPECT_EQ(records(FileId::Classes), classes - 1);

  // Cancel in the confirmation deletes nothing.
  r = run(FileId::Classes, kDeleteRecord, "expect message \"You've selected to delete the highlighted record.  Press OK "
          "to confirm deletion of this record.\"\nanswer \"Cancel\"\n",
          read_where("CLA:CLASSNUMBER", kFirstClass + 13));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  EXPECT_EQ(records(FileId::Classes), classes - 1);
}

// The PEOPLE file emptied, as a new installation has it.
void empty_people() {
  d::FileBlock f;
  make_file_block(f, FileId::People);
  d::Open(f, d::kReadWrite | d::kDenyAll);
  d::Empty(f);
  ASSERT_EQ(vrt::core::error_code(), 0) << vrt::core::error_text();
  d::Close(f);
}

TEST_F(FormTest, TheFirstPersonInAnEmptyFileIsNumberOne) {
  empty_people();
  FormRun r = run(FileId::People, kInsertRecord,
                  ready("marlo031") +
                  "type \"Ada\"\n"
                  "click \"OK\"\n"
                  "wait closed \"@marlo031\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  std::vector<uint8_t> record;
  ASSERT_TRUE(find(FileId::People, "PEO:ID", 1, &record));
  EXPECT_EQ(fields_of(FileId::People, record).get_string("PEO:NAME"), "Ada");
  EXPECT_EQ(records(FileId::People), 1);
  EXPECT_EQ(bdx_check(FileId::People), "");
}

TEST_F(FormTest, ANewPersonTakesTheNextNumberAndACancelledOneLeavesTheFileAsItWas) {
  int32_t people = records(FileId::People);
  FormRun r = run(FileId::People, kInsertRecord,
                  ready("marlo031") +
                  "type \"Grace\"\n"
                  "click \"Cancel\"\n"
                  "wait closed \"@marlo031\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  EXPECT_EQ(records(FileId::People), people);
  EXPECT_FALSE(find(FileId::People, "PEO:ID", people + 1));
  EXPECT_EQ(bdx_check(FileId::People), "");

  r = run(FileId::People, kInsertRecord,
          ready("marlo031") + "type \"Grace\"\nclick \"OK\"\nwait closed \"@marlo031\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  EXPECT_TRUE(find(FileId::People, "PEO:ID", people + 1));
  EXPECT_EQ(records(FileId::People), people + 1);
}

// A person's accounts are booked from the form's own list, which calls the
// Accounts form inside the People form; cancelling the new person then
// cannot take the person away from the accounts.
TEST_F(FormTest, ACancelledPersonWithAccountsBookedIsKept) {
  int32_t people = records(FileId::People), accounts = records(FileId::Accounts);
  std::string list = file("list.txt");
  FormRun r = run(FileId::People, kInsertRecord,
                  ready("marlo031") +
                  "type \"Grace\"\n"
                  "click \"Accounts\"\n"
                  "click \"Insert\"\n" +
                  ready("marlo032") +
                  "click field 6\n"
                  "type \"{Home}{Shift+End}12.50\"\n"
                  "click \"OK\"\n"
                  "wait closed \"@marlo032\"\n" +
                  ready("marlo031") +
                  "dump window " + list + "\n"
                  "click \"Cancel\"\n"
                  "expect message \"This record is referenced from the file ACCOUNTS.  This record cannot be deleted "
                  "while these references exist.\"\n"
                  "answer \"OK\"\n"
                  "wait closed \"@marlo031\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  EXPECT_NE(read(list).find("12.50"), std::string::npos) << read(list);
  EXPECT_EQ(records(FileId::Accounts), accounts + 1);
  EXPECT_EQ(records(FileId::People), people + 1);
  EXPECT_TRUE(find(FileId::Accounts, "ACC:PEO::ID", people + 1));
  EXPECT_TRUE(find(FileId::People, "PEO:ID", people + 1));
}

// With the highest number taken there is none to give: after three
// attempts the user is told, and cancelling adds nothing.
TEST_F(FormTest, NoNumberLeftForANewPersonIsToldAndNothingIsAdded) {
  static std::vector<std::string> s_titles;
  s_titles.clear();
  set_message_shower([](const Warning& warning) {
    s_titles.push_back(warning.title);
    return static_cast<int>(kButtonCancel);
  });
  {
    d::FileBlock f;
    make_file_block(f, FileId::People);
    d::Open(f);
    RecordFields(f).clear();
    RecordFields(f).set_long("PEO:ID", INT32_MAX);
    RecordFields(f).set_string("PEO:NAME", "Last");
    d::Add(f);
    ASSERT_EQ(vrt::core::error_code(), 0);
    d::Close(f);
  }
  int32_t people = records(FileId::People);
  EXPECT_TRUE(run_without_window(FileId::People, kInsertRecord, [](d::FileBlock& f) { RecordFields(f).clear(); }));
  EXPECT_EQ(global_request().response, kRequestCancelled);
  EXPECT_EQ(s_titles, std::vector<std::string>{"Auto Increment Error"});
  EXPECT_EQ(records(FileId::People), people);
}

TEST_F(FormTest, TextThatIsNoNumberIsRejectedAndNothingIsWritten) {
  int32_t before = records(FileId::Classes);
  uint64_t beeps = vrt::platform::beeps_sounded();
  std::string dump = file("form.txt");
  FormRun r = run(FileId::Classes, kInsertRecord,
                  ready("marlo029") +
                  "click field 4\n"
                  "type \"{Home}{Shift+End}76-54321\"\n"
                  "key Tab\n"
                  "type \"4x\"\n"
                  "key Tab\n"
                  "click \"OK\"\n"
                  "dump window " + dump + "\n"
                  "click \"Cancel\"\n"
                  "wait closed \"@marlo029\"\n");
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  // The refused text stays for the user to mend, after a beep.
  EXPECT_NE(read(dump).find("\t4x\n"), std::string::npos) << read(dump);
  EXPECT_GT(vrt::platform::beeps_sounded(), beeps);
  EXPECT_EQ(records(FileId::Classes), before);
  EXPECT_FALSE(find(FileId::Classes, "CLA:CLASSNUMBER", 7654321));
}

TEST_F(FormTest, TheToolbarOffersTheModesButtonsWhileTheFormIsOpenAndIsRestoredAfter) {
  auto toolbar = [] {
    std::vector<std::pair<bool, std::string>> buttons;
    for (int32_t b = frame::kFirstToolbarButton; b <= frame::kLastToolbarButton; ++b)
      buttons.push_back({vrt::window::FrameButtonEnabled(b), vrt::window::FrameButtonTip(b)});
    return buttons;
  };
  auto before = toolbar();
  struct Case {
    int32_t request;
    std::vector<std::pair<int32_t, std::string>> offered;
  };
  const Case cases[] = {
      {kInsertRecord,
       {{2000, "Save this record and add a new one"}, {2008, "Save record and add another"},
        {2011, "Previous value"}, {2012, "Get Help"}}},
      {kChangeRecord,
       {{2000, "Save this record and add a new one"}, {2004, "Save changes and go to last record"},
        {2005, "Save changes and go to first record"}, {2006, "Save changes and page down to record"},
        {2007, "Save changes and page up to record"}, {2008, "Save changes and go to next record"},
        {2009, "Save changes and go to previous record"}, {2011, "Previous value"}, {2012, "Get Help"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    std::vector<std::pair<bool, std::string>> open;
    FormRun r = run(FileId::Classes, c.request,
                    ready("marlo029") +
                    "#look\n"
                    "click \"Cancel\"\n"
                    "wait closed \"@marlo029\"\n",
                    c.request == kChangeRecord ? read_where("CLA:CLASSNUMBER", kFirstClass) : Prepare(),
                    [&] { open = toolbar(); });
    ASSERT_TRUE(r.script.ok) << r.script.message;
    ASSERT_EQ(open.size(), before.size());
    for (int32_t b = frame::kFirstToolbarButton; b <= frame::kLastToolbarButton; ++b) {
      const auto& [enabled, tip] = open[static_cast<size_t>(b - frame::kFirstToolbarButton)];
      auto offer = std::ranges::find_if(c.offered, [&](const auto& o) { return o.first == b; });
      EXPECT_EQ(enabled, offer != c.offered.end()) << b;
      if (offer != c.offered.end()) {
        EXPECT_EQ(tip, offer->second) << b;
      }
    }
    // After the form every button is as it was.
    EXPECT_EQ(toolbar(), before);
  }
}

// The Customer form lists the customer's goods (a view limited by the
// customer's number) in its second tab.
TEST_F(FormTest, TheCustomerFormListsTheCustomersGoods) {
  std::string dump = file("form.txt");
  FormRun r = run(FileId::Customer, kChangeRecord,
                  ready("marlo026") +
                  "click \"Goods\"\n"
                  "dump window " + dump + "\n"
                  "click \"Cancel\"\n"
                  "wait closed \"@marlo026\"\n",
                  read_where("CUS:CUSID", 2));
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCancelled);
  int rows = 0, others = 0;
  std::istringstream lines(read(dump));
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("row\t")) continue;
    ++rows;
    others += line.find("\t2\t") == std::string::npos;  // the Cus ID column
  }
  EXPECT_GT(rows, 0) << read(dump);
  EXPECT_EQ(others, 0) << read(dump);
}

// Another station writes the record while the user edits it: saving shows
// that station's values and keeps the user in the form; Ditto recalls what
// the user typed, and saving again writes it.
TEST_F(FormTest, ARecordChangedElsewhereIsShownAndDittoRecallsTheUsersValue) {
  std::string shown = file("shown.txt"), recalled = file("recalled.txt");
  FormRun r = run(FileId::Classes, kChangeRecord,
                  ready("marlo029") +
                  "#look\n"
                  "key Tab\n"
                  "key Tab\n"
                  "type \"Mine\"\n"
                  "click field 2008\n"
                  "expect message \"This record was changed by another station. Those changes will now be displayed. "
                  "Use the Ditto Button or Ctrl+' to recall your changes.\"\n"
                  "answer \"OK\"\n" +
                  ready("marlo029") +
                  "dump window " + shown + "\n"
                  "click field 8\n"
                  "click field 2011\n"
                  "dump window " + recalled + "\n"
                  "click \"OK\"\n"
                  "wait closed \"@marlo029\"\n",
                  read_where("CLA:CLASSNUMBER", kFirstClass), [] {
                    d::FileBlock other;
                    make_file_block(other, FileId::Classes);
                    d::Open(other);
                    d::Set(*other.key(0));
                    d::Next(other);
                    RecordFields(other).set_string("CLA:SCHEDULEDTIME", "Theirs");
                    d::Put(other);
                    EXPECT_EQ(vrt::core::error_code(), 0);
                    d::Close(other);
                  });
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(r.response, kRequestCompleted);
  // The navigation of the failed save is gone: the second save was OK's.
  EXPECT_EQ(r.navigation, 0);
  EXPECT_NE(read(shown).find("\tTheirs\n"), std::string::npos) << read(shown);
  EXPECT_NE(read(recalled).find("\tMine\n"), std::string::npos) << read(recalled);
  std::vector<uint8_t> record;
  ASSERT_TRUE(find(FileId::Classes, "CLA:CLASSNUMBER", kFirstClass, &record));
  EXPECT_EQ(fields_of(FileId::Classes, record).get_string("CLA:SCHEDULEDTIME"), "Mine");
}

TEST_F(FormTest, AFormOpensWhereTheUserLastMovedIt) {
  namespace p = vrt::platform;
  p::HWND client = frame_.client;
  auto form = [client] {
    std::vector<p::HWND> children = p::GetChildren(client);
    return children.empty() ? nullptr : children.front();
  };
  auto place = [client, form] {
    p::RECT r = p::GetWindowRect(form());
    return p::ScreenToClient(client, {r.left, r.top});
  };
  const std::string script = ready("marlo032") + "#look\n" + ready("marlo032") +
                             "click \"Cancel\"\nwait closed \"@marlo032\"\n";
  FormRun r = run(FileId::Accounts, kInsertRecord, script, {}, [&] {
    p::SetWindowPos(form(), nullptr, 40, 30, 0, 0, p::SWP_NOSIZE | p::SWP_NOZORDER);
  });
  ASSERT_TRUE(r.script.ok) << r.script.message;
  p::POINT at{};
  r = run(FileId::Accounts, kInsertRecord, script, {}, [&] { at = place(); });
  ASSERT_TRUE(r.script.ok) << r.script.message;
  EXPECT_EQ(at.x, 40);
  EXPECT_EQ(at.y, 30);
}

TEST_F(FormTest, DittoGivesTheFocusedFieldItsValueBack) {
  // By the toolbar's "Previous value" and by Ctrl+'.
  for (const char* ditto : {"click field 2011\n", "type \"{Ctrl+'}\"\n"}) {
    SCOPED_TRACE(ditto);
    std::string dump = file("form.txt");
    FormRun r = run(FileId::Classes, kChangeRecord,
                    ready("marlo029") +
                    "key Tab\n"
                    "key Tab\n"
                    "type \"Never\"\n" +
                    ditto +
                    "dump window " + dump + "\n"
                    "click \"OK\"\n"
                    "wait closed \"@marlo029\"\n",
                    read_where("CLA:CLASSNUMBER", kFirstClass));
    ASSERT_TRUE(r.script.ok) << r.script.message;
    EXPECT_EQ(r.response, kRequestCompleted);
    EXPECT_NE(read(dump).find("field\t8\tENTRY\tenabled\tshown\t-\tMon Wed 16:00\n"), std::string::npos) << read(dump);
    std::vector<uint8_t> record;
    ASSERT_TRUE(find(FileId::Classes, "CLA:CLASSNUMBER", kFirstClass, &record));
    EXPECT_EQ(fields_of(FileId::Classes, record).get_string("CLA:SCHEDULEDTIME"), "Mon Wed 16:00");
  }
}

}  // namespace
}  // namespace marlock::test
