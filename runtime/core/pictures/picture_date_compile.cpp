// Compiling @D (dates) and @T (times).
//
//   @D [fill] number [("<" or ">") window] [separator]
//   @T [fill] number [separator]          (the separator only as the last character)
//
// Pictures 17 and 18 (dates) and 7 and 8 (times) are the layouts of the
// system's settings, compiled at start-up and copied whole.
#include <cstring>

#include "runtime/core/pictures/picture.h"
#include "runtime/core/pictures/picture_builder.h"

namespace vrt::core::picture_detail {

namespace {

constexpr int kDateTimeSubKind = 1;
constexpr int kShortDate = 17, kLongDate = 18;
constexpr int kShortTime = 7, kLongTime = 8;

// A layout as text: each element is its character followed by its code as
// a letter ('a' + code), so "/t" is "/" with code 19.
struct Layout {
  int number;
  const char* elements;
};

// Codes: h=7 month, i=8 day, j=9 year, k=10 month name, l=11 hour,
// m=12 minute, n=13 second, t=19 separator, u=20 AM/PM, a=0 literal.
constexpr Layout kDateLayouts[] = {
    {1, " h0h/t0i0i/t0j0j"},
    {2, " h0h/t0i0i/t0j0j0j0j"},
    {3, " k k k a i0i,t0j0j0j0j"},
    {4, " k k k k k k k k k k k k a i0i,t a0j0j0j0j"},
    {5, " i0i/t0h0h/t0j0j"},
    {6, " i0i/t0h0h/t0j0j0j0j"},
    {7, " i0i t k k k t0j0j"},
    {8, " i0i t k k k t0j0j0j0j"},
    {9, "0j0j/t0h0h/t0i0i"},
    {10, "0j0j0j0j/t0h0h/t0i0i"},
    {11, "0j0j0h0h0i0i"},
    {12, "0j0j0j0j0h0h0i0i"},
    {13, "0h0h/t0j0j"},
    {14, "0h0h/t0j0j0j0j"},
    {15, "0j0j/t0h0h"},
    {16, "0j0j0j0j/t0h0h"},
};

constexpr Layout kTimeLayouts[] = {
    {1, " l0l:t0m0m"},
    {2, " l0l0m0m"},
    {3, " l0l:t0m0mXuMa"},
    {4, " l0l:t0m0m:t0n0n"},
    {5, " l0l0m0m0n0n"},
    {6, " l0l:t0m0m:t0n0nXuMa"},
};

bool add_layout(const Layout* table, size_t size, int number, ElementRow* row) {
  for (size_t i = 0; i < size; ++i)
    if (table[i].number == number) {
      for (const char* e = table[i].elements; *e; e += 2) row->add(e[0], static_cast<uint8_t>(e[1] - 'a'));
      return true;
    }
  return false;
}

bool is_separator_char(char c) { return c == '.' || c == '-' || c == '_' || c == '`'; }
char shown_separator(char c) { return c == '`' ? ',' : (c == '_' ? ' ' : c); }

// Fill and separator given with the picture, applied to its elements.
void apply_modifiers(char fill, char separator, uint8_t first_code, uint8_t last_code, CompiledPicture* p) {
  for (int i = 0; i < p->count(); ++i) {
    PictureElement& e = p->elements[i];
    if (fill && e.code >= first_code && e.code <= last_code) e.ch = fill == '_' ? ' ' : fill;
    if (separator && e.code == kCodeSeparator) e.ch = shown_separator(separator);
  }
}

void read_fill(std::string_view s, size_t* i, char* fill) {
  if (*i < s.size() && (s[*i] == '0' || s[*i] == '_' || s[*i] == '*')) *fill = s[(*i)++];
}

// The picture's own layout, or the copy of a settings layout.
bool layout_of(PictureKind kind, int number, CompiledPicture* p) {
  if ((kind == kPictureDate && (number == kShortDate || number == kLongDate)) ||
      (kind == kPictureTime && (number == kShortTime || number == kLongTime))) {
    *p = windows_layout(kind, number);
    return true;
  }
  ElementRow row;
  bool found = kind == kPictureDate
                   ? add_layout(kDateLayouts, std::size(kDateLayouts), number, &row)
                   : add_layout(kTimeLayouts, std::size(kTimeLayouts), number, &row);
  if (!found) return false;
  row.store(p, kind, kDateTimeSubKind, false);
  p->number = static_cast<uint8_t>(number);
  return true;
}

}  // namespace

bool compile_date(std::string_view body, bool blank, CompiledPicture* p) {
  size_t i = 0;
  char fill = 0, separator = 0;
  int number, window = kDefaultWindow;
  read_fill(body, &i, &fill);
  if (!read_number(body, &i, 99, &number)) return false;
  if (i < body.size() && (body[i] == '<' || body[i] == '>')) {
    char side = body[i++];
    int nn = 0;
    if (i < body.size() && is_digit(body[i]) && !read_number(body, &i, 99, &nn)) return false;
    if (side == '<')
      window = nn == 0 ? kDefaultWindow : nn;
    else
      window = nn == 0 ? 19 : 99 - nn;
  }
  if (i < body.size() && is_separator_char(body[i])) separator = body[i++];
  if (i != body.size()) return false;
  if (!layout_of(kPictureDate, number, p)) return false;
  apply_modifiers(fill, separator, kCodeMonth, kCodeMonthName, p);
  p->window = static_cast<uint8_t>(window);
  p->set_header(kPictureDate, kDateTimeSubKind, blank, p->count());
  return true;
}

bool compile_time(std::string_view body, bool blank, CompiledPicture* p) {
  char separator = 0;
  if (!body.empty() && is_separator_char(body.back())) {
    separator = body.back();
    body.remove_suffix(1);
  }
  size_t i = 0;
  char fill = 0;
  int number;
  read_fill(body, &i, &fill);
  if (!read_number(body, &i, 99, &number) || i != body.size()) return false;
  if (!layout_of(kPictureTime, number, p)) return false;
  apply_modifiers(fill, separator, kCodeHour, kCodeSecond, p);
  p->set_header(kPictureTime, kDateTimeSubKind, blank, p->count());
  return true;
}

}  // namespace vrt::core::picture_detail
