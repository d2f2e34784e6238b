// Date and time edit masks: the table by picture number, values written
// into them, and typing that fills the places and passes literals over.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/edit_mask.h"
#include "runtime/core/pictures/entry_check.h"
#include "runtime/core/values/dates.h"

namespace vrt::core {
namespace {

std::string M(const char* picture) { return std::string(edit_mask(compile_picture(picture))); }

TEST(EditMask, EveryPictureNumberHasItsMask) {
  const char* times[] = {"hh:mm", "hhmm", "Hh:mmPP", "hh:mm:ss", "hhmmss", "Hh:mm:ssPP"};
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(M(("@T" + std::to_string(n)).c_str()), times[n - 1]) << n;
  const char* dates[] = {"Mm/dd/yy",  "Mm/dd/yyyy", "NNN Dd, yyyy", "NNNNNNNNN Dd, yyyy", "Dd/mm/yy",
                         "Dd/mm/yyyy", "Dd NNN yy",  "Dd NNN yyyy",  "yy/mm/dd",           "yyyy/mm/dd",
                         "yymmdd",     "yyyymmdd",   "Mm/yy",        "Mm/yyyy",            "yy/mm",
                         "yyyy/mm"};
  for (int n = 1; n <= 16; ++n) EXPECT_EQ(M(("@D" + std::to_string(n)).c_str()), dates[n - 1]) << n;
  EXPECT_EQ(edit_mask(kPictureDate, 19), "Dd NNNNNNNNN yyyy");
  EXPECT_EQ(edit_mask(kPictureDate, 20), "NNNNNNNNN Dd yyyy");
  EXPECT_EQ(edit_mask(kPictureDate, 17), "");
  EXPECT_EQ(edit_mask(kPictureDate, 21), "");
  for (const char* none : {"@T7", "@T8", "@D17", "@D18", "@N9.2", "@S10", "@P##P"}) EXPECT_EQ(M(none), "") << none;
}

TEST(EditMask, TheValueWrittenIntoTheMaskReadsBack) {
  reset_settings();
  int32_t oct31 = date_from_ymd(1959, 10, 31), may4 = date_from_ymd(1999, 5, 4);
  EXPECT_EQ(mask_text("Mm/dd/yyyy", may4), " 5/04/1999");
  EXPECT_EQ(mask_text("Dd/mm/yy", may4), " 4/05/99");
  EXPECT_EQ(mask_text("NNN Dd, yyyy", oct31), "OCT 31, 1959");
  EXPECT_EQ(mask_text("NNNNNNNNN Dd, yyyy", oct31), "October   31, 1959");
  EXPECT_EQ(mask_text("yyyymmdd", oct31), "19591031");
  EXPECT_EQ(mask_text("Mm/dd/yy", 0), "  /  /  ");
  int32_t t = time_from_parts(17, 5, 9, 0);
  EXPECT_EQ(mask_text("Hh:mmPP", t), " 5:05PM");
  EXPECT_EQ(mask_text("hh:mm:ss", t), "17:05:09");
  EXPECT_EQ(mask_text("hhmmss", t), "170509");
  // Every mask's text is accepted by the check as the same value.
  for (int n = 1; n <= 12; ++n) {
    CompiledPicture p = compile_picture("@D" + std::to_string(n));
    EXPECT_EQ(check_entry_text(p, mask_text(edit_mask(p), oct31)).value, std::to_string(oct31)) << n;
  }
  for (int n = 13; n <= 16; ++n) {  // month and year: the first of the month
    CompiledPicture p = compile_picture("@D" + std::to_string(n));
    EXPECT_EQ(check_entry_text(p, mask_text(edit_mask(p), oct31)).value, std::to_string(oct31 - 30)) << n;
  }
  for (int n = 1; n <= 6; ++n) {  // the first three show no seconds
    CompiledPicture p = compile_picture("@T" + std::to_string(n));
    int32_t shown = n == 1 || n == 2 || n == 3 ? time_from_parts(17, 5, 0, 0) : t;
    EXPECT_EQ(check_entry_text(p, mask_text(edit_mask(p), t)).value, std::to_string(shown)) << n;
  }
}

TEST(EditMask, TypingFillsDigitPlacesAndPassesLiteralsOver) {
  std::string_view mask = "Mm/dd/yyyy";
  std::string text = mask_text(mask, 0);
  size_t caret = 0;
  for (char c : std::string("05041999")) EXPECT_TRUE(type_in_mask(mask, &text, &caret, c));
  EXPECT_EQ(text, "05/04/1999");
  EXPECT_EQ(caret, mask.size());
  EXPECT_FALSE(type_in_mask(mask, &text, &caret, '1'));  // full
  caret = 0;
  EXPECT_FALSE(type_in_mask(mask, &text, &caret, 'x'));  // a letter in a digit place
  EXPECT_EQ(text, "05/04/1999");
  // Backspace over a literal blanks the digit before it.
  caret = 3;
  EXPECT_TRUE(erase_in_mask(mask, &text, &caret, true));
  EXPECT_EQ(text, "0 /04/1999");
  EXPECT_EQ(caret, 1u);
  caret = 2;
  EXPECT_TRUE(erase_in_mask(mask, &text, &caret, false));  // Delete: the next place
  EXPECT_EQ(text, "0 / 4/1999");
}

TEST(EditMask, ASeparatorTypedEarlyJumpsToTheNextField) {
  std::string_view mask = "Mm/dd/yy";
  std::string text = mask_text(mask, 0);
  size_t caret = 0;
  for (char c : std::string("5/4/99")) EXPECT_TRUE(type_in_mask(mask, &text, &caret, c));
  EXPECT_EQ(text, "5 /4 /99");
  reset_settings();
  EXPECT_EQ(check_entry_text("@D1", text).value, std::to_string(date_from_ymd(expand_year(99), 5, 4)));
}

TEST(EditMask, NamesAndMarkersTakeLetters) {
  reset_settings();
  std::string_view mask = "Hh:mmPP";
  std::string text = mask_text(mask, 0);
  size_t caret = 0;
  for (char c : std::string("0530pm")) EXPECT_TRUE(type_in_mask(mask, &text, &caret, c));
  EXPECT_EQ(text, "05:30PM");
  EXPECT_EQ(check_entry_text("@T3", text).value, std::to_string(time_from_parts(17, 30, 0, 0)));
  std::string_view date = "NNN Dd, yyyy";
  text = mask_text(date, 0);
  caret = 0;
  EXPECT_FALSE(type_in_mask(date, &text, &caret, '1'));
  for (char c : std::string("oct311959")) EXPECT_TRUE(type_in_mask(date, &text, &caret, c));
  EXPECT_EQ(text, "OCT 31, 1959");
}

}  // namespace
}  // namespace vrt::core
