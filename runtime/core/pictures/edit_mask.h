// The edit masks of date and time pictures: the form a date or time takes
// while it is typed, by the picture's number. In a mask "M"/"m" stand for
// month digits, "D"/"d" day digits, "y" year digits, "N" letters of the
// month name, "H"/"h" hour digits, "mm" after a colon minutes, "ss"
// seconds and "PP" the AM/PM marker; every other character is a literal.
// A capital digit letter shows a leading zero as a blank.
//
// Typing overwrites: a character goes into the next place at or after the
// caret that takes it (digits into digit places, letters into name and
// marker places), literals are passed over, and the caret moves on to the
// next place. A separator typed early ("5/") jumps past the next literal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {

// The mask of a date or time picture, or "" (other kinds, @T7, @T8, @D17,
// @D18, and numbers outside the table).
std::string_view edit_mask(const CompiledPicture& picture);
// By kind and number (the table holds @D19 and @D20 as well).
std::string_view edit_mask(PictureKind kind, int number);

enum class MaskPlace { Literal, Digit, Letter };
MaskPlace mask_place(std::string_view mask, size_t at);

// The value (a standard date or time, 0 for none) written into the mask:
// places blank for 0, literals always shown.
std::string mask_text(std::string_view mask, int32_t value);

// Typing into a mask's text. `text` is as long as the mask; `caret` is a
// position in it. Each returns false when nothing changed (a character no
// place takes, the caret at the end).
bool type_in_mask(std::string_view mask, std::string* text, size_t* caret, char c);
// Backspace blanks the place before the caret and moves onto it; Delete
// blanks the place at or after the caret.
bool erase_in_mask(std::string_view mask, std::string* text, size_t* caret, bool backwards);
// Blanks the places in [from, to) (a selection typed over).
void clear_mask_places(std::string_view mask, std::string* text, size_t from, size_t to);
// The first place at or after `at` (the mask's size when none).
size_t next_mask_place(std::string_view mask, size_t at);

}  // namespace vrt::core
