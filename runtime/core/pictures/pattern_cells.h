// The cells a typed text is checked against under a pattern (@P) or key-in
// (@K) picture: one cell per position of the picture, ending in a cell of
// kind 21. Each kind says what the position accepts and what it keeps:
//
//   7   a digit or a blank; a blank (or "0") keeps "0"
//   12  exactly the cell's literal (an input already used up is accepted)
//   16  a letter or a blank, kept as typed
//   17  a letter or a blank, kept in upper case (the case table)
//   18  a letter or a blank, kept in lower case
//   19  no character: where input may end; flag 0x20 set when only blanks
//       remain, and then the rest of the row is left unfilled (a blank
//       typed in its place, as FORMAT shows it, is passed over)
//   20  any character, kept as typed
//   21  the end of the row
//
// Any other kind does not belong in a row: the check traces it and goes on.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/pictures/picture.h"

namespace vrt::core {

enum CellKind : uint32_t {
  kCellDigit = 7,
  kCellLiteral = 12,
  kCellLetter = 16,
  kCellUpper = 17,
  kCellLower = 18,
  kCellMayEnd = 19,
  kCellAny = 20,
  kCellEnd = 21,
};

inline constexpr uint8_t kCellOnlyBlanksLeft = 0x20;

struct PatternCell {
  uint32_t kind = kCellEnd;
  uint8_t flags = 0;
  char ch = ' ';
};

// The row of a pattern or key-in picture (just the end cell for others).
std::vector<PatternCell> pattern_cells(const CompiledPicture& picture);

// Checks the text against the row (which must end in kind 21): 0 and the
// kept characters in `kept`, or a reason code of entry_check.h. Input
// shorter than the row counts as blanks; more input than the row is
// accepted only when it is blank.
int check_cells(std::vector<PatternCell>& cells, std::string_view text, std::string* kept);

// Where a foreign cell kind is reported: the source's name and line. The
// window system sends it to its trace; by default nothing is written.
using CellTrace = void (*)(const char* source, int line);
void set_cell_trace(CellTrace trace);

}  // namespace vrt::core
