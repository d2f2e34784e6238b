// marlock itself with every file on the server, switched there by the
// profile alone: the sample data seeded into tables, the Manager's time
// stamp writing every customer, the Director adding, changing and deleting
// a class through the browse and its form, a change by a second station
// seen by the first, and Browse Customer showing its first page in name
// order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/postgres/pg_test_support.h"

namespace vrt::test {
namespace {

class MarlockOnTheServer : public ::testing::Test {
 protected:
  void SetUp() override {
    use_test_database();
    // The profile names the server; libpq's own environment points nowhere,
    // so nothing but the profile can have found it.
    std::ofstream(dir.file("win.ini")) << "[Vorthal Drivers]\n*=POSTGRESQL\n[Vorthal PostgreSQL]\nServer="
                                       << VRT_PG_SOCKET_DIR << "\nDatabase=" << std::getenv("PGDATABASE")
                                       << "\nUser=vrt\n";
    CommandResult seeded = marlock("--seed " + dir.file("data") + " --customers 30");
    ASSERT_EQ(seeded.exit_code, 0) << seeded.out;
  }
  // The command line of marlock with this test's profile.
  std::string marlock_command(const std::string& arguments) {
    return "VORTHAL_WININI=" + dir.file("win.ini") + " VORTHAL_DISPLAY=headless PGHOST=/nonexistent " +
           built_tool("app/marlock") + " " + arguments;
  }
  CommandResult marlock(const std::string& arguments) { return run_command(marlock_command(arguments) + " 2>&1"); }
  CommandResult script(const std::string& steps) {
    std::ofstream(dir.file("run.script")) << steps;
    return marlock("--data " + dir.file("data") + " --script " + dir.file("run.script"));
  }
  std::string rows_of(const std::string& dump) {
    std::istringstream in(read_file(dir.file(dump)));
    std::string rows;
    for (std::string line; std::getline(in, line);)
      if (line.starts_with("row\t")) rows += line + "\n";
    return rows;
  }
  TempDir dir;
};

TEST_F(MarlockOnTheServer, SeedsTimeStampsAndAddsAClassOnTheServer) {
  EXPECT_EQ(sql_value("SELECT count(*) FROM customer"), "30");
  EXPECT_NE(sql_value("SELECT count(*) FROM classes"), "0");
  CommandResult stamp = script("wait window \"Login\"\nclick \"Manager\"\nwait closed \"@marlo036\"\n"
                               "menu \"&Source\"\nwait window \"@marlo001\"\n");
  ASSERT_EQ(stamp.exit_code, 0) << stamp.out;
  EXPECT_EQ(sql_value("SELECT count(*) FROM customer WHERE vrt_version > 1"), "30");
  CommandResult insert = script(
      "wait window \"Login\"\nclick \"Director\"\nwait closed \"@marlo036\"\nmenu \"&Browse|Browse Classes\"\n"
      "wait window \"@marlo015\"\nclick \"&Insert\"\nwait window \"@marlo029\"\nclick field 4\n"
      "type \"{Home}{Shift+End}99-00001\"\nkey Tab\ntype \"7\"\nkey Tab\ntype \"Gym at noon\"\nclick \"OK\"\n"
      "wait closed \"@marlo029\"\ndump window " + dir.file("after.txt") + "\n");
  ASSERT_EQ(insert.exit_code, 0) << insert.out;
  EXPECT_EQ(sql_value("SELECT roomnumber || ' ' || scheduledtime FROM classes WHERE classnumber = 9900001"),
            "7 Gym at noon");
  EXPECT_NE(rows_of("after.txt").find("selected\t99-00001\t7\tGym at noon"), std::string::npos) << rows_of("after.txt");
}

constexpr const char* kDirectorAtClasses =
    "wait window \"Login\"\nclick \"Director\"\nwait closed \"@marlo036\"\nmenu \"&Browse|Browse Classes\"\n"
    "wait window \"@marlo015\"\n";

TEST_F(MarlockOnTheServer, TheDirectorChangesAndDeletesAClassOnTheServer) {
  // Classes are browsed in record order: a new class is the last row.
  CommandResult r = script(std::string(kDirectorAtClasses) +
                           "click \"&Insert\"\nwait window \"@marlo029\"\nclick field 4\n"
                           "type \"{Home}{Shift+End}99-00001\"\nkey Tab\ntype \"7\"\nkey Tab\ntype \"Gym at noon\"\n"
                           "click \"OK\"\nwait closed \"@marlo029\"\nclick field 1\nkey End\nclick \"&Change\"\n"
                           "wait window \"@marlo029\"\nclick field 8\ntype \"{Home}{Shift+End}Lab at one\"\nclick \"OK\"\n"
                           "wait closed \"@marlo029\"\n");
  ASSERT_EQ(r.exit_code, 0) << r.out;
  EXPECT_EQ(sql_value("SELECT scheduledtime FROM classes WHERE classnumber = 9900001"), "Lab at one");
  std::string before = sql_value("SELECT count(*) FROM classes");
  r = script(std::string(kDirectorAtClasses) +
             "click field 1\nkey End\nkey Delete\nexpect message \"You've selected to delete the highlighted "
             "record.  Press OK to confirm deletion of this record.\"\nanswer \"OK\"\n");
  ASSERT_EQ(r.exit_code, 0) << r.out;
  EXPECT_EQ(sql_value("SELECT count(*) FROM classes WHERE classnumber = 9900001"), "0");
  EXPECT_EQ(std::stoi(sql_value("SELECT count(*) FROM classes")), std::stoi(before) - 1);
}

TEST_F(MarlockOnTheServer, AChangeFromAnotherStationIsShownAndNothingIsLost) {
  // This station opens the first class; a second station, another marlock
  // on the same server, changes it and saves; this one's save then finds
  // the row changed (its version moved on), says so and shows the other's
  // values.
  std::ofstream(dir.file("other.script")) << kDirectorAtClasses
                                          << "click \"&Change\"\nwait window \"@marlo029\"\nclick field 8\n"
                                             "type \"{Home}{Shift+End}Gym elsewhere\"\nclick \"OK\"\n"
                                             "wait closed \"@marlo029\"\n";
  std::string other = "run \"" + marlock_command("--data " + dir.file("data") + " --script " +
                                                 dir.file("other.script") + " 2>" + dir.file("other.errors")) +
                      "\"\n";
  std::string before = sql_value("SELECT count(*) FROM classes");
  CommandResult r = script(std::string(kDirectorAtClasses) + "click \"&Change\"\nwait window \"@marlo029\"\n" +
                           other +
                           "click field 8\ntype \"{Home}{Shift+End}Lab here\"\nclick \"OK\"\n"
                           "expect message \"This record was changed by another station. Those changes will now be "
                           "displayed. Use the Ditto Button or Ctrl+' to recall your changes.\"\nanswer \"OK\"\n"
                           "expect text field 8 \"Gym elsewhere\"\nclick \"Cancel\"\nwait closed \"@marlo029\"\n");
  EXPECT_EQ(r.exit_code, 0) << r.out << read_file(dir.file("other.errors"));
  EXPECT_EQ(sql_value("SELECT count(*) FROM classes WHERE scheduledtime = 'Gym elsewhere'"), "1");
  EXPECT_EQ(sql_value("SELECT count(*) FROM classes WHERE scheduledtime = 'Lab here'"), "0");
  EXPECT_EQ(sql_value("SELECT count(*) FROM classes"), before);
}

TEST_F(MarlockOnTheServer, BrowseCustomerShowsItsFirstPageInNameOrder) {
  CommandResult browse = script("wait window \"Login\"\nclick \"Clerk\"\nwait closed \"@marlo036\"\n"
                                "menu \"&Browse|Browse Customer\"\nwait window \"@marlo002\"\n"
                                "dump window " + dir.file("customers.txt") + "\n");
  ASSERT_EQ(browse.exit_code, 0) << browse.out;
  std::string rows = rows_of("customers.txt");
  ASSERT_FALSE(rows.empty());
  std::string first = sql_value("SELECT name FROM customer ORDER BY upper(name), vrt_record LIMIT 1");
  EXPECT_NE(rows.substr(0, rows.find('\n')).find(first), std::string::npos) << rows << "\nfirst: " << first;
}

TEST_F(MarlockOnTheServer, ASecondSeedLeavesTheTablesAlone) {
  CommandResult again = marlock("--seed " + dir.file("other") + " --customers 5");
  EXPECT_NE(again.exit_code, 0);
  EXPECT_NE(again.out.find("the server already holds the table of CUSTOMER.BDX; nothing was written"),
            std::string::npos)
      << again.out;
  EXPECT_EQ(sql_value("SELECT count(*) FROM customer"), "30");
}

TEST_F(MarlockOnTheServer, AMissingCustomerTableEndsTheProgramAsAMissingFileDoes) {
  EXPECT_EQ(sql_value("DROP TABLE customer"), "");
  CommandResult r = script("wait window \"Login\"\nclick \"Manager\"\nmenu \"&Source\"\n"
                           "expect message \"Error: (File Not Found (2)) creating CUSTOMER.  Press OK to end this "
                           "application.\"\nanswer \"OK\"\nwait window \"Never\"\n");
  EXPECT_EQ(r.exit_code, 1) << r.out;
  EXPECT_EQ(sql_value("SELECT count(*) FROM pg_tables WHERE tablename = 'customer'"), "0");
}

}  // namespace
}  // namespace vrt::test
