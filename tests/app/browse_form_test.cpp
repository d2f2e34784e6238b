// Records inserted, changed and deleted through a browse and its form, as
// the users whose mode allows it and refused to those it does not; and two
// stations, each a marlock process of its own, at the same record.
#include "tests/app/browse_fixture.h"

namespace marlock {
namespace {

// The Classes form: its entries are fields 4 (class number), 6 (room) and
// 8 (scheduled time), then OK and Cancel.
constexpr const char* kClassForm = "@marlo029";

std::string class_rows(const std::string& dump) {
  std::string out;
  std::istringstream in(dump);
  for (std::string line; std::getline(in, line);)
    if (line.find("Gym") != std::string::npos || line.find("Lab") != std::string::npos) out += line + "\n";
  return out;
}

class BrowseAndForm : public Browse {
 protected:
  std::string classes() {
    return vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " dump " + data() +
                                  "/CLASSES.BDX --key CLA:KEYCLASSNUMBER --csv")
        .out;
  }
  std::string check(const char* table) {
    return vrt::test::run_command(vrt::test::built_tool("tools/bdx") + " check " + data() + "/" + table).out;
  }
  // A second station: marlock in its own process on the same folder.
  std::string station(const std::string& name, const std::string& steps) {
    std::string path = file(name + ".script");
    std::ofstream(path) << "wait window \"Login\"\nclick \"Director\"\nwait closed \"@marlo036\"\n"
                           "menu \"&Browse|Browse Classes\"\nwait window \"@marlo015\"\n"
                        << steps;
    return "run \"" + vrt::test::built_tool("app/marlock") + " --data " + data() + " --script " + path + " 2>" +
           file(name + ".errors") + "\"\n";
  }
};

TEST_F(BrowseAndForm, TheDirectorInsertsChangesAndDeletesAClass) {
  auto r = run("Director", "Browse Classes",
               "click \"&Insert\"\nwait window \"" + std::string(kClassForm) +
                   "\"\nclick field 4\ntype \"{Home}{Shift+End}99-00001\"\nkey Tab\ntype \"7\"\nkey Tab\n"
                   "type \"Gym at noon\"\nclick \"OK\"\nwait closed \"" + kClassForm + "\"\n");
  ASSERT_EQ(r.first, 0) << r.second;
  EXPECT_NE(classes().find("9900001,0,0,7,Gym at noon"), std::string::npos) << classes();
  EXPECT_EQ(check("CLASSES.BDX"), "");
  // Classes are browsed in record order: the new class is the last row of
  // the last page.
  r = run("Director", "Browse Classes",
          "click field 1\nkey End\nclick \"&Change\"\nwait window \"" + std::string(kClassForm) +
              "\"\nclick field 8\ntype \"{Home}{Shift+End}Lab at one\"\nclick \"OK\"\nwait closed \"" + kClassForm + "\"\n");
  ASSERT_EQ(r.first, 0) << r.second;
  EXPECT_EQ(class_rows(classes()), "9900001,0,0,7,Lab at one\n");
  r = run("Director", "Browse Classes",
          "click field 1\nkey End\nkey Delete\nexpect message \"You've selected to delete the highlighted record.  "
          "Press OK to confirm deletion of this record.\"\nanswer \"OK\"\n" + dump_to("after.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  EXPECT_EQ(class_rows(classes()), "");
  EXPECT_EQ(check("CLASSES.BDX"), "");
}

TEST_F(BrowseAndForm, ADuplicateClassNumberIsNamedAndTheFormStaysOpen) {
  std::string first = csv_fields(classes().substr(classes().find('\n') + 1)).front();
  auto r = run("Director", "Browse Classes",
               "click \"&Insert\"\nwait window \"" + std::string(kClassForm) + "\"\nclick field 4\ntype \"{Home}{Shift+End}" + first.substr(0, 2) + "-" + first.substr(2) +
                   "\"\nclick \"OK\"\nexpect message \"Adding this record creates a duplicate entry for the key:by "
                   "Class Number\"\nanswer \"OK\"\nexpect window \"" + kClassForm + "\"\nclick \"Cancel\"\n");
  EXPECT_EQ(r.first, 0) << r.second;
  EXPECT_EQ(check("CLASSES.BDX"), "");
}

// The text of an entry in a window dump.
std::string entry_text(const std::string& dump, int field) {
  std::istringstream in(dump);
  std::string prefix = "field\t" + std::to_string(field) + "\tENTRY\t";
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(prefix)) return line.substr(line.rfind('\t') + 1);
  return "";
}

TEST_F(BrowseAndForm, SavingWithANavigationButtonOpensTheFormForTheNextRecord) {
  // 2008 saves and goes to the next record; on the last record it stays.
  auto r = run("Director", "Browse Classes",
               "click field 1\nkey Home\nclick \"&Change\"\nwait window \"@marlo029\"\n" + dump_to("n1.txt") +
                   "click field 2008\nwait window \"@marlo029\"\n" + dump_to("n2.txt") +
                   "click \"Cancel\"\nwait closed \"@marlo029\"\nclick field 1\nkey End\nclick \"&Change\"\n"
                   "wait window \"@marlo029\"\n" + dump_to("l1.txt") + "click field 2008\nwait window \"@marlo029\"\n" +
                   dump_to("l2.txt") + "click \"Cancel\"\nwait closed \"@marlo029\"\n" + dump_to("browse.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  std::vector<std::string> rows = cells("browse.txt", 0);
  std::string first = entry_text(vrt::test::read_file(file("n1.txt")), 4);
  std::string second = entry_text(vrt::test::read_file(file("n2.txt")), 4);
  EXPECT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(entry_text(vrt::test::read_file(file("l1.txt")), 4), entry_text(vrt::test::read_file(file("l2.txt")), 4));
  EXPECT_EQ(entry_text(vrt::test::read_file(file("l1.txt")), 4), rows.back());
  EXPECT_EQ(check("CLASSES.BDX"), "");
}

TEST_F(BrowseAndForm, ANewTeacherNumberCarriesHisClassesAlong) {
  auto r = run("Director", "Browse Teachers",
               "click \"&Change\"\nwait window \"@marlo028\"\n" + dump_to("t1.txt") +
                   "click field 4\ntype \"{Home}{Shift+End}999-99-9999\"\nclick \"OK\"\nwait closed \"@marlo028\"\n"
                   "click \"&Change\"\nwait window \"@marlo028\"\nclick \"Classes\"\n" + dump_to("t2.txt") +
                   "click \"Cancel\"\nwait closed \"@marlo028\"\n");
  ASSERT_EQ(r.first, 0) << r.second;
  std::string old_number;
  for (char c : entry_text(vrt::test::read_file(file("t1.txt")), 4))
    if (c >= '0' && c <= '9') old_number += c;
  ASSERT_FALSE(old_number.empty());
  int with_old = 0, with_new = 0;
  std::istringstream in(classes());
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> f = csv_fields(line);
    with_old += f[2] == old_number;
    with_new += f[2] == "999999999";
  }
  EXPECT_EQ(with_old, 0);
  EXPECT_GT(with_new, 0);
  // The teacher's form lists them on its Classes tab (list 20).
  std::istringstream dump(vrt::test::read_file(file("t2.txt")));
  int listed = 0;
  while (std::getline(dump, line)) listed += line.starts_with("row\t20\t");
  EXPECT_EQ(listed, with_new);
  EXPECT_EQ(check("CLASSES.BDX"), "");
  EXPECT_EQ(check("TEACHERS.BDX"), "");
}

TEST_F(BrowseAndForm, TheFocusedControlsMessageShowsInTheStatusBar) {
  // The browse has no status bar of its own: its list's message shows in
  // the frame's. The form shows its entries' messages in its own.
  auto r = run("Clerk", "Browse Customer",
               "click field 1\nwait window \"@marlo001\"\n" + dump_to("frame.txt") +
                   "wait window \"@marlo002\"\nclick \"&Insert\"\nwait window \"@marlo026\"\nclick field 6\n" +
                   dump_to("name.txt") + "click field 18\n" + dump_to("web.txt") + "click \"Cancel\"\n");
  ASSERT_EQ(r.first, 0) << r.second;
  EXPECT_NE(vrt::test::read_file(file("frame.txt")).find("status\t1\tBrowsing Records\n"), std::string::npos);
  EXPECT_NE(vrt::test::read_file(file("name.txt")).find("status\t1\tCustomer Name\n"), std::string::npos);
  EXPECT_NE(vrt::test::read_file(file("web.txt")).find("status\t1\tCustomet Site\n"), std::string::npos);
}

TEST_F(BrowseAndForm, HelpSaysThereIsNoHelpFileAndNamesTheTopic) {
  auto r = run("Clerk", "Browse Classes",
               "click \"Help\"\nexpect message \"There is no help file for this program.|Topic: BrowseClasses\"\n"
               "answer \"OK\"\nclick \"&Insert\"\nwait window \"@marlo029\"\nclick field 2012\n"
               "expect message \"There is no help file for this program.|Topic: UpdateClasses\"\nanswer \"OK\"\n"
               "click \"Cancel\"\nwait closed \"@marlo029\"\n");
  EXPECT_EQ(r.first, 0) << r.second;
}

TEST_F(BrowseAndForm, ClerksAndVisitorsAreRefusedWithoutAMessage) {
  std::string before = classes();
  // A Clerk's double click on a row asks for a change: no form opens.
  auto r = run("Clerk", "Browse Classes", "click field 1\nkey Delete\nexpect window \"" + std::string(kClassForm) + "\"\n");
  EXPECT_NE(r.first, 0);
  EXPECT_NE(r.second.find("no window \"@marlo029\""), std::string::npos) << r.second;
  r = run("Visitor", "Browse Classes", "popup field 1 \"Insert\"\nexpect window \"" + std::string(kClassForm) + "\"\n");
  EXPECT_NE(r.first, 0);
  EXPECT_EQ(classes(), before);
}

TEST_F(BrowseAndForm, AChangeFromAnotherStationIsShownAndNothingIsLost) {
  // This station opens the first class; the other changes it and saves;
  // this one's save then finds the record changed, says so and shows the
  // other station's values.
  std::string before = classes();
  std::string other = station("other", "click \"&Change\"\nwait window \"@marlo029\"\nclick field 8\n"
                                       "type \"{Home}{Shift+End}Gym elsewhere\"\nclick \"OK\"\nwait closed \"@marlo029\"\n");
  auto r = run("Director", "Browse Classes",
               "click \"&Change\"\nwait window \"" + std::string(kClassForm) + "\"\n" + other +
                   "click field 8\ntype \"{Home}{Shift+End}Lab here\"\nclick \"OK\"\n"
                   "expect message \"This record was changed by another station. Those changes will now be "
                   "displayed. Use the Ditto Button or Ctrl+' to recall your changes.\"\nanswer \"OK\"\n"
                   "expect text field 8 \"Gym elsewhere\"\nclick \"Cancel\"\nwait closed \"" + kClassForm + "\"\n");
  EXPECT_EQ(r.first, 0) << r.second << vrt::test::read_file(file("other.errors"));
  std::string after = classes();
  EXPECT_NE(after.find("Gym elsewhere"), std::string::npos);
  EXPECT_EQ(after.find("Lab here"), std::string::npos);
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
  EXPECT_EQ(check("CLASSES.BDX"), "");
}

TEST_F(BrowseAndForm, ARecordDeletedByAnotherStationWhileShownIsHandled) {
  std::string other = station("other", "click field 1\nkey Home\nkey Delete\nexpect message \"You've selected to delete the highlighted "
                                       "record.  Press OK to confirm deletion of this record.\"\nanswer \"OK\"\n");
  auto r = run("Director", "Browse Classes",
               "click field 1\nkey Home\n" + dump_to("before.txt") + other + "click \"&Change\"\n" +
                   dump_to("after.txt"));
  EXPECT_EQ(r.first, 0) << r.second << vrt::test::read_file(file("other.errors"));
  std::vector<std::string> before = cells("before.txt", 0), after = cells("after.txt", 0);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(after.empty());
  EXPECT_NE(after.front(), before.front());  // the deleted class is gone from the page
  EXPECT_EQ(check("CLASSES.BDX"), "");
}

}  // namespace
}  // namespace marlock
