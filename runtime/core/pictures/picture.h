// Pictures: "@" and a letter with parameters, saying how a value is shown
// and read back. A picture text is compiled once into a header and a row of
// elements; Format and Deformat walk the elements.
//
//   @N numbers   @E scientific   @D dates   @T times
//   @P patterns  @K key-in       @S strings (and the empty picture)
//
// Compiled form (in memory only):
//   header   16 bits: bits 0-2 kind, bits 3-5 sub-kind, bit 6 blank when
//            zero, bits 7-14 element count (0-255)
//   window   the century window for two-digit years (dates; default 80)
//   number   the number after @D or @T
//   elements up to 254 pairs {character, code}
//   source   the picture text as given
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/values/number_text.h"

namespace vrt::core {

enum PictureKind : uint8_t {
  kPictureNumber = 0,      // @N
  kPictureScientific = 1,  // @E
  kPictureDate = 2,        // @D
  kPictureTime = 3,        // @T
  kPicturePattern = 4,     // @P
  kPictureString = 5,      // @S and the empty picture
  kPictureKeyIn = 6,       // @K
};

enum PictureCode : uint8_t {
  kCodeLiteral = 0,        // shown as stored
  kCodeGrouping = 1,       // shown only between significant digits
  kCodeDecimalPoint = 2,   // the character shown
  kCodeDigit = 3,          // a leading zero shows the element's character
  kCodeDigitBlank = 4,     // a leading zero is suppressed
  kCodeSign = 5,           // "-", "(" or ")" for negative values
  kCodeCurrency = 6,
  kCodeMonth = 7,
  kCodeDay = 8,
  kCodeYear = 9,
  kCodeMonthName = 10,
  kCodeHour = 11,
  kCodeMinute = 12,
  kCodeSecond = 13,
  kCodeKeyAt = 14,         // key-in "@"
  kCodeKeyCaret = 15,      // key-in "^"
  kCodeKeyUnderscore = 16, // key-in "_"
  kCodeKeyQuestion = 17,   // key-in "?"
  kCodeSeparator = 19,     // date or time separator
  kCodeAmPm = 20,          // first letter here, second in the next element
  kCodeExponentSign = 21,
  kCodeImpliedPoint = 22,  // "v": takes the units digit, shows no mark
  kCodeKeyEnd = 23,        // key-in "|": input may end here
};

struct PictureElement {
  char ch;
  uint8_t code;
};
static_assert(sizeof(PictureElement) == 2, "an element is a character and a code");

inline constexpr int kMaxPictureElements = 254;
inline constexpr int kEmptyPictureCount = 255;
inline constexpr int kDefaultWindow = 80;

struct CompiledPicture {
  uint16_t header = 0;
  uint8_t window = kDefaultWindow;
  uint8_t number = 0;
  PictureElement elements[kMaxPictureElements] = {};
  std::string source;
  // Found once when a numeric picture (@N, @E, @P, @K) is compiled, so that
  // FORMAT need not search the row: the decimal point or implied point
  // element (-1 for none), the digit positions after it, and the digit and
  // grouping positions before it (the implied point counts as a digit).
  int16_t point = -1;
  uint8_t places = 0;
  uint8_t digit_positions = 0;
  uint8_t groupings = 0;

  PictureKind kind() const { return static_cast<PictureKind>(header & 7); }
  int sub_kind() const { return (header >> 3) & 7; }
  bool blank_when_zero() const { return (header >> 6) & 1; }
  // The width of every formatted text.
  int count() const { return (header >> 7) & 0xFF; }
  // Element i; @S pictures and the empty picture hold no elements.
  const PictureElement& element(int i) const { return elements[i]; }
  bool has_elements() const { return kind() != kPictureString; }

  void set_header(PictureKind kind, int sub_kind, bool blank, int count) {
    header = static_cast<uint16_t>((kind & 7) | ((sub_kind & 7) << 3) | (blank ? 64 : 0) | ((count & 0xFF) << 7));
  }
};

// Compiles a picture text ("@N9.2", "@d6-", "@P###-##-####P"). An invalid
// or absent picture compiles to the empty picture (kind 5, 255 positions).
CompiledPicture compile_picture(std::string_view text);
bool is_empty_picture(const CompiledPicture& picture);

// The Windows short date (@D17), long date (@D18), short time (@T7) and
// long time (@T8), compiled at start-up from the profile's "intl" values.
const CompiledPicture& windows_layout(PictureKind kind, int number);

// --- Format: the text is exactly count() characters -----------------------
// Each writes count() bytes to `out` (no terminating zero) and returns
// count().
int format_number(const CompiledPicture& picture, const DigitString& value, char* out);
int format_date(const CompiledPicture& picture, int32_t date, char* out);
int format_time(const CompiledPicture& picture, int32_t time, char* out);
int format_text(const CompiledPicture& picture, std::string_view text, char* out);

// The language's FORMAT: the value is given as text: a standard date for
// @D, a standard time for @T, the text for @S and @K templates with key-in
// positions, a number in text form for every other picture.
std::string Format(const CompiledPicture& picture, std::string_view value);
std::string Format(std::string_view value, std::string_view picture_text);

// The language's DEFORMAT: a plain decimal number (optional leading "-"),
// or a standard date or time in decimal ("-1" for an invalid one).
std::string Deformat(const CompiledPicture& picture, std::string_view text);
std::string Deformat(std::string_view text, std::string_view picture_text);

}  // namespace vrt::core
