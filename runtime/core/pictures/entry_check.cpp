#include "runtime/core/pictures/entry_check.h"

#include <algorithm>

#include "runtime/core/base/settings.h"
#include "runtime/core/pictures/pattern_cells.h"
#include "runtime/core/pictures/typed_date_time.h"
#include "runtime/core/values/number_text.h"

namespace vrt::core {

namespace {

// The characters a number of the picture may be typed with: digits, blanks,
// signs, and the picture's own marks (decimal point, grouping, currency).
bool number_character(const CompiledPicture& p, char c) {
  if ((c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '+' || c == '(' || c == ')') return true;
  if (p.kind() == kPictureScientific && (c == 'E' || c == 'e')) return true;
  for (int i = 0; i < p.count(); ++i) {
    uint8_t code = p.element(i).code;
    if (p.element(i).ch == c && (code == kCodeDecimalPoint || code == kCodeGrouping || code == kCodeCurrency))
      return true;
  }
  return false;
}

bool has_code(const CompiledPicture& p, uint8_t wanted) {
  for (int i = 0; i < p.count(); ++i)
    if (p.element(i).code == wanted) return true;
  return false;
}

EntryCheck check_number(const CompiledPicture& p, std::string_view text) {
  for (char c : text)
    if (!number_character(p, c)) return {kReasonNumberCharacter, {}};
  std::string value = Deformat(p, text);
  if (!value.empty() && value[0] == '-' && !has_code(p, kCodeSign)) return {kReasonNumberSign, {}};
  // What the picture cannot show comes back as "#" in its digit places
  // (more of them than the picture shows of its own, in a currency text).
  auto hashes = [&](std::string_view number) { return std::ranges::count(Format(p, number), '#'); };
  if (p.kind() == kPictureNumber && hashes(value) > hashes("0")) return {kReasonNumberTooLarge, {}};
  return {kEntryAccepted, value};
}

EntryCheck check_pattern(const CompiledPicture& p, std::string_view text) {
  std::vector<PatternCell> cells = pattern_cells(p);
  std::string kept;
  if (int reason = check_cells(cells, text, &kept)) return {static_cast<uint16_t>(reason), {}};
  return {kEntryAccepted, Deformat(p, kept)};
}

}  // namespace

EntryCheck check_entry_text(const CompiledPicture& p, std::string_view text) {
  text = text.substr(0, kEntryTextLimit);
  int32_t v = 0;
  int reason = 0;
  switch (p.kind()) {
    case kPictureString: return {kEntryAccepted, std::string(text)};
    case kPicturePattern:
    case kPictureKeyIn: return check_pattern(p, text);
    case kPictureNumber:
    case kPictureScientific: return check_number(p, text);
    case kPictureDate:
      reason = read_typed_date(p, text, static_cast<DateOrder>(settings().intl.idate == 1 || settings().intl.idate == 2
                                                                   ? settings().intl.idate
                                                                   : 0),
                               &v);
      break;
    case kPictureTime: reason = read_typed_time(p, text, &v); break;
  }
  if (reason) return {static_cast<uint16_t>(reason), {}};
  return {kEntryAccepted, long_to_text(v)};
}

EntryCheck check_entry_text(std::string_view picture_text, std::string_view text) {
  return check_entry_text(compile_picture(picture_text), text);
}

}  // namespace vrt::core
