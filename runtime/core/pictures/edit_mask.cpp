#include "runtime/core/pictures/edit_mask.h"

#include <cctype>
#include <cstring>
#include <iterator>

#include "runtime/core/base/settings.h"
#include "runtime/core/values/dates.h"

namespace vrt::core {

namespace {

constexpr std::string_view kTimeMasks[] = {"", "hh:mm", "hhmm", "Hh:mmPP", "hh:mm:ss", "hhmmss", "Hh:mm:ssPP"};
constexpr std::string_view kDateMasks[] = {
    "",           "Mm/dd/yy",   "Mm/dd/yyyy", "NNN Dd, yyyy", "NNNNNNNNN Dd, yyyy", "Dd/mm/yy", "Dd/mm/yyyy",
    "Dd NNN yy",  "Dd NNN yyyy", "yy/mm/dd",  "yyyy/mm/dd",   "yymmdd",             "yyyymmdd", "Mm/yy",
    "Mm/yyyy",    "yy/mm",      "yyyy/mm",    "",             "",                   "Dd NNNNNNNNN yyyy",
    "NNNNNNNNN Dd yyyy"};

bool is_time_mask(std::string_view mask) { return mask.find('h') != std::string_view::npos || mask.find('H') != std::string_view::npos; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return settings().case_kind[static_cast<uint8_t>(c)] & (kCaseUpper | kCaseLower); }

// Writes `value` right-aligned into the run [at, at + n); a capital first
// letter shows a leading zero as a blank.
void put_number(std::string* text, std::string_view mask, size_t at, size_t n, int value) {
  for (size_t k = n; k-- > 0;) {
    (*text)[at + k] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  if (n == 2 && (*text)[at] == '0' && (mask[at] == 'M' || mask[at] == 'D' || mask[at] == 'H')) (*text)[at] = ' ';
}

void put_letters(std::string* text, size_t at, size_t n, std::string_view letters) {
  for (size_t k = 0; k < n; ++k) (*text)[at + k] = k < letters.size() ? letters[k] : ' ';
}

}  // namespace

std::string_view edit_mask(PictureKind kind, int number) {
  if (number < 0) return {};
  auto n = static_cast<size_t>(number);
  if (kind == kPictureTime && n < std::size(kTimeMasks)) return kTimeMasks[n];
  if (kind == kPictureDate && n < std::size(kDateMasks)) return kDateMasks[n];
  return {};
}

std::string_view edit_mask(const CompiledPicture& p) { return edit_mask(p.kind(), p.number); }

MaskPlace mask_place(std::string_view mask, size_t at) {
  if (at >= mask.size()) return MaskPlace::Literal;
  switch (mask[at]) {
    case 'M': case 'm': case 'D': case 'd': case 'y': case 'H': case 'h': case 's': return MaskPlace::Digit;
    case 'N': case 'P': return MaskPlace::Letter;
    default: return MaskPlace::Literal;
  }
}

std::string mask_text(std::string_view mask, int32_t value) {
  std::string text(mask);
  for (size_t i = 0; i < text.size(); ++i)
    if (mask_place(mask, i) != MaskPlace::Literal) text[i] = ' ';
  bool time = is_time_mask(mask);
  DateParts d{};
  TimeParts t{};
  if (value == 0 || (time ? !time_parts(value, &t) : !date_parts(value, &d))) return text;
  const Settings& s = settings();
  bool twelve = mask.find('P') != std::string_view::npos;
  for (size_t i = 0; i < mask.size();) {
    size_t n = 1;
    char c = mask[i];
    auto same = [&](char a) { return a == c || (c != 'N' && c != 'P' && c != 'y' && std::tolower(a) == std::tolower(c)); };
    while (i + n < mask.size() && same(mask[i + n])) ++n;
    switch (std::tolower(c)) {
      case 'm':
        if (time) put_number(&text, mask, i, n, t.minute);
        else put_number(&text, mask, i, n, d.month);
        break;
      case 'd': put_number(&text, mask, i, n, d.day); break;
      case 'y': put_number(&text, mask, i, n, n == 4 ? d.year : d.year % 100); break;
      case 'h': put_number(&text, mask, i, n, twelve ? (t.hour % 12 == 0 ? 12 : t.hour % 12) : t.hour); break;
      case 's': put_number(&text, mask, i, n, t.second); break;
      case 'n': {
        const char* name = n == 3 ? s.month_abbrevs[d.month - 1] : s.month_names[d.month - 1];
        std::string upper(name, strnlen(name, 13));
        if (n == 3)
          for (char& ch : upper) ch = static_cast<char>(to_upper(static_cast<uint8_t>(ch)));
        put_letters(&text, i, n, upper);
        break;
      }
      case 'p': put_letters(&text, i, n, s.am_pm[t.hour >= 12 ? 1 : 0]); break;
      default: break;
    }
    i += n;
  }
  return text;
}

size_t next_mask_place(std::string_view mask, size_t at) {
  while (at < mask.size() && mask_place(mask, at) == MaskPlace::Literal) ++at;
  return at;
}

bool type_in_mask(std::string_view mask, std::string* text, size_t* caret, char c) {
  size_t at = next_mask_place(mask, *caret);
  if (at >= mask.size()) return false;
  MaskPlace place = mask_place(mask, at);
  bool fits = place == MaskPlace::Digit ? (is_digit(c) || c == ' ') : is_letter(c);
  if (!fits) {
    // A separator typed early: on past the next literal.
    if (is_digit(c) || is_letter(c)) return false;
    size_t literal = mask.find(c, *caret);
    if (literal == std::string_view::npos || mask_place(mask, literal) != MaskPlace::Literal) return false;
    *caret = next_mask_place(mask, literal + 1);
    return true;
  }
  (*text)[at] = place == MaskPlace::Letter ? static_cast<char>(to_upper(static_cast<uint8_t>(c))) : c;
  *caret = next_mask_place(mask, at + 1);
  return true;
}

bool erase_in_mask(std::string_view mask, std::string* text, size_t* caret, bool backwards) {
  if (backwards) {
    size_t at = *caret;
    while (at > 0 && mask_place(mask, at - 1) == MaskPlace::Literal) --at;
    if (at == 0) return false;
    (*text)[at - 1] = ' ';
    *caret = at - 1;
    return true;
  }
  size_t at = next_mask_place(mask, *caret);
  if (at >= mask.size()) return false;
  (*text)[at] = ' ';
  *caret = at;
  return true;
}

void clear_mask_places(std::string_view mask, std::string* text, size_t from, size_t to) {
  for (size_t i = from; i < to && i < mask.size(); ++i)
    if (mask_place(mask, i) != MaskPlace::Literal) (*text)[i] = ' ';
}

}  // namespace vrt::core
