// The check of typed entry texts: pattern cells, typed dates and times,
// numbers the picture can show, and plain text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/entry_check.h"
#include "runtime/core/pictures/pattern_cells.h"
#include "runtime/core/values/dates.h"

namespace vrt::core {
namespace {

std::string N(int32_t v) { return std::to_string(v); }

// "0 VALUE" or the reason alone, as vrt prints it.
std::string C(const char* picture, const std::string& text) {
  EntryCheck c = check_entry_text(picture, text);
  return c.reason ? std::to_string(c.reason) : "0 " + c.value;
}

class EntryCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_settings(); }
  void TearDown() override {
    reset_settings();
    set_cell_trace(nullptr);
  }
};

TEST_F(EntryCheckTest, PatternTakesDigitsWithTheHyphensInPlace) {
  EXPECT_EQ(C("@P###-##-####P", "123-45-6789"), "0 123456789");
  EXPECT_EQ(C("@P###-##-####P", "123-4A-6789"), N(kReasonPatternDigit));
  EXPECT_EQ(C("@P###-##-####P", "123 45-6789"), N(kReasonPatternLiteral));
  EXPECT_EQ(C("@P###-##-####P", "123456789"), N(kReasonPatternLiteral));
  EXPECT_EQ(C("@P###-##-####P", "123-45-67890"), N(kReasonPatternTooLong));
  EXPECT_EQ(C("@P###-##-####P", "123-45-6789   "), "0 123456789");  // trailing blanks are no text
}

TEST_F(EntryCheckTest, ABlankInADigitPositionKeepsZero) {
  EXPECT_EQ(C("@P###-##-####P", "1 3-45-678 "), "0 103456780");
  // Input that runs out counts as blanks; the literals are accepted then.
  EXPECT_EQ(C("@P###-##-####P", "123"), "0 123000000");
  EXPECT_EQ(C("@P###-##-####P", ""), "0 000000000");
}

TEST_F(EntryCheckTest, KeyInCellsKeepCaseAsTheirKindSays) {
  std::vector<PatternCell> cells = {{kCellLetter, 0, '@'}, {kCellUpper, 0, '^'}, {kCellLower, 0, '_'},
                                    {kCellAny, 0, '?'},    {kCellEnd, 0, ' '}};
  std::string kept;
  EXPECT_EQ(check_cells(cells, "aBC!", &kept), 0);
  EXPECT_EQ(kept, "aBc!");
  EXPECT_EQ(check_cells(cells, "abc#", &kept), 0);
  EXPECT_EQ(kept, "aBc#");
  EXPECT_EQ(check_cells(cells, "a1c", &kept), kReasonPatternLetter);
  EXPECT_EQ(check_cells(cells, "1bc", &kept), kReasonPatternLetter);
  EXPECT_EQ(check_cells(cells, "a b", &kept), 0);  // blanks stand for letters
  EXPECT_EQ(C("@K^^-##K", "ab-12"), "0 AB12");
  EXPECT_EQ(C("@K__K", "AB"), "0 ab");
}

TEST_F(EntryCheckTest, InputMayEndWhereTheRowSaysSo) {
  std::vector<PatternCell> cells = {{kCellDigit, 0, '#'}, {kCellMayEnd, 0, '|'}, {kCellLiteral, 0, '-'},
                                    {kCellDigit, 0, '#'}, {kCellEnd, 0, ' '}};
  std::string kept;
  EXPECT_EQ(check_cells(cells, "5  ", &kept), 0);
  EXPECT_EQ(kept, "5");
  EXPECT_TRUE(cells[1].flags & kCellOnlyBlanksLeft);
  EXPECT_EQ(check_cells(cells, "5-7", &kept), 0);
  EXPECT_EQ(kept, "5 -7");  // the place of the end mark stays, as FORMAT shows it
  EXPECT_FALSE(cells[1].flags & kCellOnlyBlanksLeft);
  EXPECT_EQ(C("@K###|-####K", "123"), "0 123");
  EXPECT_EQ(C("@K###|-####K", "123-4567"), "0 1234567");
  EXPECT_EQ(C("@K###|-####K", "123 -4567"), "0 1234567");  // as FORMAT shows it
  EXPECT_EQ(C("@K###|-####K", "123 4567"), N(kReasonPatternLiteral));
}

std::vector<std::pair<std::string, int>> g_traced;

TEST_F(EntryCheckTest, AForeignCellIsTracedAndPassedOver) {
  g_traced.clear();
  set_cell_trace([](const char* source, int line) { g_traced.emplace_back(source, line); });
  std::vector<PatternCell> cells = {{kCellDigit, 0, '#'}, {3, 0, 'x'}, {kCellDigit, 0, '#'}, {kCellEnd, 0, ' '}};
  std::string kept;
  EXPECT_EQ(check_cells(cells, "12", &kept), 0);
  EXPECT_EQ(kept, "12");
  ASSERT_EQ(g_traced.size(), 1u);
  EXPECT_EQ(g_traced[0].first, "ctlentry");
  EXPECT_GT(g_traced[0].second, 0);
}

TEST_F(EntryCheckTest, DatesFollowTheProfilesOrderForTheWindowsLayout) {
  int32_t y99 = expand_year(99, kDefaultWindow);
  settings().intl.idate = 0;
  EXPECT_EQ(C("@D17", "5/4/99"), "0 " + N(date_from_ymd(y99, 5, 4)));
  settings().intl.idate = 1;
  EXPECT_EQ(C("@D17", "5/4/99"), "0 " + N(date_from_ymd(y99, 4, 5)));
  settings().intl.idate = 2;
  EXPECT_EQ(C("@D17", "99/5/4"), "0 " + N(date_from_ymd(y99, 5, 4)));
  EXPECT_EQ(C("@D17", "5/4/99"), N(kReasonDateExtra));  // day 9, then a 9 too many
  settings().intl.idate = 7;  // not an order: month first
  EXPECT_EQ(C("@D17", "5/4/99"), "0 " + N(date_from_ymd(y99, 5, 4)));
}

TEST_F(EntryCheckTest, APictureWithItsOwnOrderReadsInIt) {
  settings().intl.idate = 0;
  EXPECT_EQ(C("@D6", "31/12/1999"), "0 " + N(date_from_ymd(1999, 12, 31)));
  EXPECT_EQ(C("@D10", "1999/12/31"), "0 " + N(date_from_ymd(1999, 12, 31)));
  EXPECT_EQ(C("@D11", "591031"), "0 " + N(date_from_ymd(expand_year(59), 10, 31)));  // the year's width holds
  EXPECT_EQ(C("@D12", "19591031"), "0 " + N(date_from_ymd(1959, 10, 31)));
  EXPECT_EQ(C("@D14", "10/1959"), "0 " + N(date_from_ymd(1959, 10, 1)));
  EXPECT_EQ(C("@D3", "OCT 31,1959"), "0 " + N(date_from_ymd(1959, 10, 31)));
  EXPECT_EQ(C("@D7", "31 oct 1959"), "0 " + N(date_from_ymd(1959, 10, 31)));
  EXPECT_EQ(C("@D4", "October 31, 1959"), "0 " + N(date_from_ymd(1959, 10, 31)));
}

TEST_F(EntryCheckTest, TwoDigitMonthAndDayRules) {
  // A month of two digits only up to 12: "13" is month 1 and day 3...
  EXPECT_EQ(C("@D2", "1311959"), "0 " + N(date_from_ymd(1959, 1, 31)));
  EXPECT_EQ(C("@D2", "12311959"), "0 " + N(date_from_ymd(1959, 12, 31)));
  // ...a day only up to the month's length: "30" in February is day 3.
  EXPECT_EQ(C("@D2", "0231959"), "0 " + N(date_from_ymd(1959, 2, 3)));
  EXPECT_EQ(C("@D2", "2/29/1960"), "0 " + N(date_from_ymd(1960, 2, 29)));
  EXPECT_EQ(C("@D2", "2/29/1959"), N(kReasonDateInvalid));  // no 29 February that year
  EXPECT_EQ(C("@D6", "3112/1999"), "0 " + N(date_from_ymd(1999, 12, 31)));  // day first: 31 while the month is unknown
  EXPECT_EQ(C("@D6", "3213/1999"), N(kReasonDateExtra));  // day 3, month 21 is month 2, then 13/1999 too many
  EXPECT_EQ(C("@D2", "4/31/1999"), N(kReasonDateExtra));  // April: day 3, and 1/1999 left over
  EXPECT_EQ(C("@D2", "0/10/1999"), N(kReasonDateInvalid));
}

TEST_F(EntryCheckTest, DateFaultsAreRefusedNotReadAsNoDate) {
  EXPECT_EQ(C("@D2", ""), "0 0");
  EXPECT_EQ(C("@D2", "  /  /    "), "0 0");
  EXPECT_EQ(C("@D2", "5/x/1999"), N(kReasonDateLetter));
  EXPECT_EQ(C("@D2", "May 4 1999"), "0 " + N(date_from_ymd(1999, 5, 4)));  // a month name in the month's place
  EXPECT_EQ(C("@D2", "Xyz 4 1999"), N(kReasonDateLetter));
  EXPECT_EQ(C("@D2", "5/4"), N(kReasonDateIncomplete));
  EXPECT_EQ(C("@D2", "5/4/1999 x"), N(kReasonDateExtra));
  EXPECT_EQ(C("@D2", "5/4/1700"), N(kReasonDateInvalid));
  // Two-digit years go through the picture's window.
  EXPECT_EQ(C("@D1<10", "5/4/" + std::to_string((current_year() - 5) % 100)),
            "0 " + N(date_from_ymd(current_year() - 5, 5, 4)));
}

TEST_F(EntryCheckTest, TimesWithAmAndPm) {
  EXPECT_EQ(C("@T3", " 5:30PM"), "0 " + N(time_from_parts(17, 30, 0, 0)));
  EXPECT_EQ(C("@T3", "5:30 pm"), "0 " + N(time_from_parts(17, 30, 0, 0)));
  EXPECT_EQ(C("@T3", "12:15AM"), "0 " + N(time_from_parts(0, 15, 0, 0)));
  EXPECT_EQ(C("@T3", "12:15P"), "0 " + N(time_from_parts(12, 15, 0, 0)));
  EXPECT_EQ(C("@T3", "13:15PM"), N(kReasonTimeRange));
  EXPECT_EQ(C("@T3", "0:15AM"), N(kReasonTimeRange));
  EXPECT_EQ(C("@T3", "5:30XM"), N(kReasonTimeCharacter));
  EXPECT_EQ(C("@T4", "23:59:59"), "0 " + N(time_from_parts(23, 59, 59, 0)));
  EXPECT_EQ(C("@T4", "24:00:00"), N(kReasonTimeRange));
  EXPECT_EQ(C("@T1", "10:60"), N(kReasonTimeRange));
  EXPECT_EQ(C("@T2", "0930"), "0 " + N(time_from_parts(9, 30, 0, 0)));
  EXPECT_EQ(C("@T1", "9"), "0 " + N(time_from_parts(9, 0, 0, 0)));
  EXPECT_EQ(C("@T1", ""), "0 0");
  EXPECT_EQ(C("@T1", "ab"), N(kReasonTimeCharacter));
}

TEST_F(EntryCheckTest, NumbersThePictureCanShow) {
  EXPECT_EQ(C("@n-14", "-1234"), "0 -1234");
  EXPECT_EQ(C("@N9.2", "1,234.50"), "0 1234.50");
  EXPECT_EQ(C("@N9.2", "12a"), N(kReasonNumberCharacter));
  EXPECT_EQ(C("@N9.2", "1234567"), N(kReasonNumberTooLarge));
  EXPECT_EQ(C("@N9.2", "123456"), "0 123456");  // the grouping place gives way to a digit
  EXPECT_EQ(C("@N9.2", "-5"), N(kReasonNumberSign));
  EXPECT_EQ(C("@N$10.2", "$1,234.50"), "0 1234.50");
  EXPECT_EQ(C("@N~No#~8", "12"), "0 12");  // a "#" of the picture's own is no overflow
  EXPECT_EQ(C("@N~No#~8", "123456789"), N(kReasonNumberTooLarge));
  EXPECT_EQ(C("@N-11.2", " -1,234.50"), "0 -1234.50");
  EXPECT_EQ(C("@N-11.2", ""), "0 0");
}

TEST_F(EntryCheckTest, WithoutAPictureTheTextItselfAtMost599Characters) {
  EXPECT_EQ(C("", "any text: 12/x"), "0 any text: 12/x");
  EXPECT_EQ(C("@s20", "Smith"), "0 Smith");
  EXPECT_EQ(check_entry_text("", std::string(700, 'a')).value.size(), kEntryTextLimit);
}

}  // namespace
}  // namespace vrt::core
