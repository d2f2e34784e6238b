// The browses of the marlock program, driven by scripts on seeded data:
// the first page in key order (against `bdx dump --key`), the tabs, paging
// to the ends and back, the thumb, the locator, the rights of the modes.
#include "tests/app/browse_fixture.h"

namespace marlock {
namespace {

TEST_F(Browse, EachTabShowsTheFirstPageInItsKeysOrder) {
  auto r = run("Clerk", "Browse Customer",
               dump_to("name.txt") + "click \"CUS:ByID\"\nclick field 1\nkey Home\n" + dump_to("id.txt") +
                   "click \"CUS:BySuburb\"\n" +
                   dump_to("suburb.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  std::vector<std::string> ids = cells("id.txt", 0);
  ASSERT_GE(ids.size(), 5u);
  auto expected = in_key_order("CUSTOMER.BDX", "CUS:BYID", 0, ids.size());
  EXPECT_EQ(ids, expected);
  // By name and by suburb: the rows come in the key's order.
  std::vector<std::string> names = cells("name.txt", 1), dumped = in_key_order("CUSTOMER.BDX", "CUS:BYNAME", 1, 1);
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), dumped.front());
  // A change of order keeps the selected record: the page starts at it.
  std::vector<std::string> suburbs = cells("suburb.txt", 4);
  EXPECT_TRUE(std::is_sorted(suburbs.begin(), suburbs.end())) << suburbs.front();
  EXPECT_EQ(cells("suburb.txt", 0).front(), ids.front());
}

TEST_F(Browse, PagingReachesBothEndsAndTheSelectionStaysOnTheRows) {
  std::string steps = "click field 1\nkey End\n" + dump_to("end.txt") + "key Down\n" + dump_to("past.txt") +
                      "key PgDn\n" + dump_to("pgdn.txt") + "key Home\n" + dump_to("home.txt") + "key PgDn\nkey PgUp\n" +
                      dump_to("back.txt");
  auto r = run("Clerk", "Browse Customer", steps);
  ASSERT_EQ(r.first, 0) << r.second;
  int end_selected = 0, past_selected = 0, pgdn_selected = 0, home_selected = 0;
  std::vector<std::string> end = cells("end.txt", 1, &end_selected);
  ASSERT_FALSE(end.empty());
  EXPECT_TRUE(std::is_sorted(end.begin(), end.end()));
  EXPECT_EQ(end_selected, static_cast<int>(end.size()));
  // Down and PgDn on the last row of the last page change nothing.
  EXPECT_EQ(cells("past.txt", 1, &past_selected), end);
  EXPECT_EQ(past_selected, end_selected);
  EXPECT_EQ(cells("pgdn.txt", 1, &pgdn_selected), end);
  EXPECT_EQ(pgdn_selected, end_selected);
  std::vector<std::string> home = cells("home.txt", 1, &home_selected);
  EXPECT_EQ(home_selected, 1);
  EXPECT_EQ(cells("back.txt", 1), home);
}

TEST_F(Browse, TheThumbChoosesWhereTheListStarts) {
  auto r = run("Clerk", "Browse Customer",
               "thumb field 1 0\n" + dump_to("t0.txt") + "thumb field 1 50\n" + dump_to("t50.txt") +
                   "thumb field 1 100\n" + dump_to("t100.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  std::vector<std::string> first = cells("t0.txt", 1), middle = cells("t50.txt", 1), last = cells("t100.txt", 1);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.front(), in_key_order("CUSTOMER.BDX", "CUS:BYNAME", 1, 1).front());
  ASSERT_FALSE(middle.empty());
  EXPECT_GT(middle.front(), first.back());
  EXPECT_LT(middle.front(), last.front());
}

TEST_F(Browse, TheFramesToolbarMovesTheActiveBrowseAndTheDirectorHasVcrButtons) {
  // 2004 is the last page, 2009 the prior record, 2005 the first page.
  auto r = run("Director", "Browse Customer",
               "click field 2004\n" + dump_to("last.txt") + "click field 2009\n" + dump_to("prior.txt") +
                   "click field 2005\n" + dump_to("first.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  int last_selected = 0, prior_selected = 0, first_selected = 0;
  std::vector<std::string> last = cells("last.txt", 1, &last_selected);
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last_selected, static_cast<int>(last.size()));
  EXPECT_EQ(cells("prior.txt", 1, &prior_selected), last);
  EXPECT_EQ(prior_selected, last_selected - 1);
  std::vector<std::string> first = cells("first.txt", 1, &first_selected);
  EXPECT_EQ(first_selected, 1);
  EXPECT_LT(first.back(), last.front());
  EXPECT_NE(vrt::test::read_file(file("last.txt")).find("vcr\t1\ton"), std::string::npos);
}

TEST_F(Browse, TheLocatorFindsTheFirstRecordOfALetter) {
  auto r = run("Clerk", "Browse Customer", "click field 1\ntype \"w\"\n" + dump_to("w.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  int selected = 0;
  std::vector<std::string> names = cells("w.txt", 1, &selected);
  ASSERT_GE(selected, 1);
  EXPECT_EQ(names[static_cast<size_t>(selected - 1)].substr(0, 1), "W");
}

TEST_F(Browse, CustomersWithoutEmailAreMissingFromTheEmailOrder) {
  auto r = run("Clerk", "Browse Customer", "click \"CUS:ByEmail\"\nclick field 1\nkey End\n" + dump_to("mail.txt"));
  ASSERT_EQ(r.first, 0) << r.second;
  for (const std::string& mail : cells("mail.txt", 6)) EXPECT_FALSE(mail.empty());
}

TEST_F(Browse, TheModesRightsDisableTheButtonsAndTheVcrIsTheDirectorsOnly) {
  struct Case {
    const char* user;
    const char* insert;
    const char* change;
    const char* remove;
  };
  for (const Case& c : {Case{"Clerk", "enabled", "disabled", "disabled"},
                        Case{"Visitor", "disabled", "disabled", "disabled"},
                        Case{"Manager", "enabled", "enabled", "disabled"}}) {
    SCOPED_TRACE(c.user);
    auto r = run(c.user, "Browse Members", dump_to("rights.txt"));
    ASSERT_EQ(r.first, 0) << r.second;
    std::string dump = vrt::test::read_file(file("rights.txt"));
    EXPECT_NE(dump.find(std::string("field\t2\tBUTTON\t") + c.insert), std::string::npos) << dump;
    EXPECT_NE(dump.find(std::string("field\t3\tBUTTON\t") + c.change), std::string::npos) << dump;
    EXPECT_NE(dump.find(std::string("field\t4\tBUTTON\t") + c.remove), std::string::npos) << dump;
    EXPECT_NE(dump.find("vcr\t1\toff"), std::string::npos);
  }
}

TEST_F(Browse, EveryBrowseOpensWithItsTitleAndRows) {
  for (const char* browse : {"Browse Students", "Browse Teachers", "Browse Classes", "Browse Members", "Browse People"}) {
    SCOPED_TRACE(browse);
    auto r = run("Clerk", browse, dump_to("b.txt"));
    ASSERT_EQ(r.first, 0) << r.second;
    EXPECT_FALSE(cells("b.txt", 0).empty());
  }
}

TEST_F(Browse, AnEmptyFileShowsAnEmptyListThatScrollsNowhere) {
  std::remove((data() + "/MEMBERS.BDX").c_str());  // created empty when the browse opens it
  auto r = run("Clerk", "Browse Members", "click field 1\nkey End\nkey PgUp\n" + dump_to("empty.txt"));
  EXPECT_EQ(r.first, 0) << r.second;
  EXPECT_TRUE(cells("empty.txt", 0).empty());
}

}  // namespace
}  // namespace marlock
