// Reading dates and times as users type them into entry controls: looser
// than DEFORMAT (any separators, one or two digits, month names), stricter
// about what cannot be a date or a time (those are refused with a reason
// code of entry_check.h rather than read as something else).
//
// A date is read as up to three numbers in the order of day, month and year
// the picture fixes; the Windows layouts (@D17, @D18) take it from the
// profile's "iDate" (0 month-day-year, 1 day-month-year, 2 year-month-day).
// Two digits are taken as the month only up to 12, as the day only up to
// the month's length (29 for February, 31 while the month is unknown);
// otherwise the first digit is the number and the second begins the next.
// A year of four digits in a row is taken whole (where the digits run on
// into the next fields, as in "591031", the picture's year width holds);
// one or two digits go through the picture's century window. The month may be written as a name.
#pragma once
#include <cstdint>
#include <string_view>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {

enum class DateOrder { MonthDayYear = 0, DayMonthYear = 1, YearMonthDay = 2 };

// 0 and the standard date (0 for a text without digits or letters), or a
// reason code.
int read_typed_date(const CompiledPicture& picture, std::string_view text, DateOrder profile_order, int32_t* date);

// 0 and the standard time (0 for an empty text or midnight, as DEFORMAT),
// or a reason code. Hours, minutes and optional seconds of one or two
// digits, any separators, and the AM/PM text (its first letter is enough).
int read_typed_time(const CompiledPicture& picture, std::string_view text, int32_t* time);

}  // namespace vrt::core
