// Compiling @N (numbers) and @E (scientific numbers).
//
//   @N [currency] [sign] [fill] width [grouping] [mark decimals] [sign] [currency]
//   @E width [grouping] [mark decimals]
//
// The row is laid out right to left: trailing currency, trailing sign,
// decimals, the decimal mark, then the integer positions with a grouping
// element at every fourth position, then the leading sign and currency.
#include "runtime/core/pictures/picture.h"
#include "runtime/core/pictures/picture_builder.h"

namespace vrt::core::picture_detail {

namespace {

constexpr int kNumberSubKind = 3;
constexpr int kScientificSubKind = 2;
constexpr int kScientificMinWidth = 7;
constexpr int kScientificTail = 5;  // "E", sign, three digits

struct NumberSyntax {
  std::string_view lead_currency, trail_currency;
  char lead_sign = 0, trail_sign = 0;  // "-", "(" / "-", ")"
  char fill = 0;                       // "0", "_", "*" or none
  int width = 0;
  char grouping = 0;  // as written: ".", "`", "_"
  char mark = 0;      // as written: ".", "`", "v", "V"
  int decimals = 0;
};

// "$" or text between two "~".
bool read_currency(std::string_view s, size_t* pos, std::string_view* currency) {
  if (*pos >= s.size()) return true;
  if (s[*pos] == '$') {
    *currency = s.substr((*pos)++, 1);
    return true;
  }
  if (s[*pos] != '~') return true;
  size_t end = s.find('~', *pos + 1);
  if (end == std::string_view::npos) return false;
  *currency = s.substr(*pos + 1, end - *pos - 1);
  *pos = end + 1;
  return true;
}

bool is_grouping_char(char c) { return c == '.' || c == '`' || c == '_'; }
bool is_mark_char(char c) { return c == '.' || c == '`' || c == 'v' || c == 'V'; }

// [grouping] [mark decimals] after the width. A separator with no decimals
// after it is the grouping character.
bool read_separators(std::string_view s, size_t* pos, NumberSyntax* n) {
  size_t& i = *pos;
  auto digits_at = [&](size_t at) { return at < s.size() && is_digit(s[at]); };
  if (i >= s.size()) return true;
  char c1 = s[i];
  if (is_mark_char(c1) && digits_at(i + 1)) {
    n->mark = c1;
    ++i;
    return read_number(s, &i, kMaxPictureElements, &n->decimals);
  }
  if (!is_grouping_char(c1)) {
    if (c1 == 'v' || c1 == 'V') {  // an implied mark with no decimals
      n->mark = c1;
      ++i;
    }
    return true;
  }
  n->grouping = c1;
  ++i;
  if (i < s.size() && is_mark_char(s[i])) {
    n->mark = s[i++];
    if (digits_at(i)) return read_number(s, &i, kMaxPictureElements, &n->decimals);
    return n->mark == 'v' || n->mark == 'V';
  }
  return true;
}

bool parse_number(std::string_view s, NumberSyntax* n) {
  size_t i = 0;
  if (!read_currency(s, &i, &n->lead_currency)) return false;
  if (i < s.size() && (s[i] == '-' || s[i] == '(')) n->lead_sign = s[i++];
  if (i < s.size() && (s[i] == '0' || s[i] == '_' || s[i] == '*')) n->fill = s[i++];
  if (!read_number(s, &i, kMaxPictureElements, &n->width) || n->width < 1) return false;
  if (!read_separators(s, &i, n)) return false;
  if (i < s.size()) {
    if (s[i] == '-' && n->lead_sign == 0) n->trail_sign = s[i++];
    else if (s[i] == ')' && n->lead_sign == '(') n->trail_sign = s[i++];
  }
  if ((n->lead_sign == '(') != (n->trail_sign == ')')) return false;
  if (n->lead_currency.empty() && !read_currency(s, &i, &n->trail_currency)) return false;
  return i == s.size();
}

char shown_separator(char c) { return c == '`' ? ',' : (c == '_' ? ' ' : c); }

// The grouping character that applies, or 0: one given, or by default ","
// ("." with a comma mark) when there is no fill.
char grouping_of(const NumberSyntax& n) {
  if (n.grouping) return shown_separator(n.grouping);
  if (n.fill) return 0;
  return n.mark == '`' ? '.' : ',';
}

// Integer positions right to left; the units digit always shows unless
// `units_shows` is false (the implied mark takes the units digit).
void add_integer_positions(ElementRow* row, int positions, char grouping, char digit_ch, uint8_t digit_code,
                           bool units_shows) {
  for (int i = 1; i <= positions; ++i) {
    if (grouping && i % 4 == 0)
      row->add(grouping, kCodeGrouping);
    else if (i == 1 && units_shows)
      row->add('0', kCodeDigit);
    else
      row->add(digit_ch, digit_code);
  }
}

}  // namespace

bool compile_number(std::string_view body, bool blank, CompiledPicture* p) {
  NumberSyntax n;
  if (!parse_number(body, &n)) return false;
  int signs = (n.lead_sign ? 1 : 0) + (n.trail_sign ? 1 : 0);
  int currency = static_cast<int>(n.lead_currency.size() + n.trail_currency.size());
  int mark = n.mark ? 1 : 0;
  int integer_positions = n.width - signs - currency - n.decimals - mark;
  if (integer_positions < 0) return false;
  bool implied = n.mark == 'v' || n.mark == 'V';

  ElementRow row;
  // Right to left: texts go in backwards so that reverse() turns them round.
  for (size_t k = n.trail_currency.size(); k-- > 0;) row.add(n.trail_currency[k], kCodeCurrency);
  if (n.trail_sign) row.add(n.trail_sign, kCodeSign);
  row.add('0', kCodeDigit, n.decimals);
  if (implied)
    row.add('0', kCodeImpliedPoint);
  else if (n.mark)
    row.add(shown_separator(n.mark), kCodeDecimalPoint);
  bool blank_fill = n.fill == 0 || n.fill == '_';
  add_integer_positions(&row, integer_positions, grouping_of(n), blank_fill ? ' ' : n.fill,
                        blank_fill ? kCodeDigitBlank : kCodeDigit, !implied);
  if (n.lead_sign) row.add(n.lead_sign, kCodeSign);
  for (size_t k = n.lead_currency.size(); k-- > 0;) row.add(n.lead_currency[k], kCodeCurrency);
  if (!row.ok()) return false;
  row.reverse();
  row.store(p, kPictureNumber, kNumberSubKind, blank);
  return true;
}

bool compile_scientific(std::string_view body, bool blank, CompiledPicture* p) {
  NumberSyntax n;
  size_t i = 0;
  if (!read_number(body, &i, kMaxPictureElements, &n.width) || !read_separators(body, &i, &n) || i != body.size())
    return false;
  if (n.width < kScientificMinWidth || n.mark == 'v' || n.mark == 'V') return false;
  int integer_positions = n.width - 1 - 1 - n.decimals - kScientificTail;
  if (integer_positions < 0) return false;
  char grouping = n.grouping ? shown_separator(n.grouping) : (n.mark == '`' ? '.' : ',');

  ElementRow row;
  row.add('0', kCodeDigit, 3);
  row.add('+', kCodeExponentSign);
  row.add('E', kCodeLiteral);
  row.add('0', kCodeDigit, n.decimals);
  row.add(n.mark ? shown_separator(n.mark) : '.', kCodeDecimalPoint);
  add_integer_positions(&row, integer_positions, grouping, '0', kCodeDigitBlank, false);
  row.add('-', kCodeSign);
  if (!row.ok()) return false;
  row.reverse();
  row.store(p, kPictureScientific, kScientificSubKind, blank);
  return true;
}

}  // namespace vrt::core::picture_detail
