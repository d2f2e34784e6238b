#include "runtime/core/pictures/pattern_cells.h"

#include <atomic>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/entry_check.h"

namespace vrt::core {

namespace {

std::atomic<CellTrace> g_trace{nullptr};

// The cell of each picture code that may stand in a pattern or key-in row.
uint32_t cell_kind(uint8_t code) {
  switch (code) {
    case kCodeDigit:
    case kCodeDigitBlank: return kCellDigit;
    case kCodeKeyAt: return kCellLetter;
    case kCodeKeyCaret: return kCellUpper;
    case kCodeKeyUnderscore: return kCellLower;
    case kCodeKeyQuestion: return kCellAny;
    case kCodeKeyEnd: return kCellMayEnd;
    default: return kCellLiteral;
  }
}

bool is_letter(char c) { return settings().case_kind[static_cast<uint8_t>(c)] & (kCaseUpper | kCaseLower); }
bool only_blanks(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

void set_cell_trace(CellTrace trace) { g_trace.store(trace); }

std::vector<PatternCell> pattern_cells(const CompiledPicture& picture) {
  std::vector<PatternCell> cells;
  if (picture.kind() == kPicturePattern || picture.kind() == kPictureKeyIn)
    for (int i = 0; i < picture.count(); ++i)
      cells.push_back({cell_kind(picture.element(i).code), 0, picture.element(i).ch});
  cells.push_back({});
  return cells;
}

int check_cells(std::vector<PatternCell>& cells, std::string_view text, std::string* kept) {
  kept->clear();
  size_t at = 0;
  for (PatternCell& cell : cells) {
    if (cell.kind == kCellEnd) break;
    bool used_up = at >= text.size();
    char c = used_up ? ' ' : text[at];
    switch (cell.kind) {
      case kCellDigit:
        if (c != ' ' && (c < '0' || c > '9')) return kReasonPatternDigit;
        *kept += c == ' ' ? '0' : c;
        break;
      case kCellLiteral:
        if (!used_up && c != cell.ch) return kReasonPatternLiteral;
        *kept += cell.ch;
        break;
      case kCellLetter:
      case kCellUpper:
      case kCellLower:
        if (c != ' ' && !is_letter(c)) return kReasonPatternLetter;
        *kept += static_cast<char>(cell.kind == kCellUpper   ? to_upper(static_cast<uint8_t>(c))
                                   : cell.kind == kCellLower ? to_lower(static_cast<uint8_t>(c))
                                                             : c);
        break;
      case kCellAny: *kept += c; break;
      case kCellMayEnd:
        if (only_blanks(text.substr(std::min(at, text.size())))) {
          cell.flags |= kCellOnlyBlanksLeft;
          return kEntryAccepted;  // the rest of the row is optional and absent
        }
        cell.flags &= static_cast<uint8_t>(~kCellOnlyBlanksLeft);
        // It takes no character, but keeps the picture's place (FORMAT shows
        // a blank there, which is passed over when typed).
        *kept += ' ';
        if (c == ' ') ++at;
        continue;
      default:
        if (CellTrace trace = g_trace.load()) trace("ctlentry", __LINE__);
        continue;
    }
    ++at;
  }
  if (at < text.size() && !only_blanks(text.substr(at))) return kReasonPatternTooLong;
  return kEntryAccepted;
}

}  // namespace vrt::core
