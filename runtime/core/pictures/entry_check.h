// The check of a text typed into an entry control, before its value is
// stored: 0 and the value when the text is acceptable, else a reason code
// saying what is wrong with it. The value is the form DEFORMAT gives (a
// number, a standard date or a standard time), or the text itself for
// string pictures and entries without a picture.
//
//   pattern and key-in   the pattern cells (pattern_cells.h)
//   dates                the typed date reading (typed_date_time.h)
//   times                the typed time reading, with AM/PM
//   numbers              DEFORMAT, refusing what the picture cannot show
//   strings, no picture  the text itself
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {

// The reason codes (0: accepted). Programs test them only for zero; the
// values are distinct per fault so that a trace or a test can tell them
// apart.
enum EntryReason : uint16_t {
  kEntryAccepted = 0,
  kReasonPatternDigit = 1,     // a digit position holds another character
  kReasonPatternLetter = 2,    // a letter position holds another character
  kReasonPatternLiteral = 3,   // a fixed character of the pattern is missing
  kReasonPatternTooLong = 4,   // characters beyond the pattern's end
  kReasonDateLetter = 10,      // a letter where a number is expected
  kReasonDateIncomplete = 11,  // fewer numbers than the date needs
  kReasonDateInvalid = 12,     // no such date (month 13, 31 April, year 1700)
  kReasonDateExtra = 13,       // characters after the date
  kReasonTimeCharacter = 20,   // a character a time cannot hold
  kReasonTimeRange = 21,       // hour, minute or second out of range
  kReasonNumberCharacter = 30, // a character a number of the picture cannot hold
  kReasonNumberTooLarge = 31,  // more integer digits than the picture shows
  kReasonNumberSign = 32,      // a negative number where the picture has no sign
};

// At most this many characters are read from an entry.
inline constexpr size_t kEntryTextLimit = 599;

struct EntryCheck {
  uint16_t reason = kEntryAccepted;
  std::string value;  // when accepted
};

// `picture` empty for an entry without a picture. Dates read in the order of
// the profile's "iDate" where the picture does not fix one.
EntryCheck check_entry_text(const CompiledPicture& picture, std::string_view text);
EntryCheck check_entry_text(std::string_view picture_text, std::string_view text);

}  // namespace vrt::core
