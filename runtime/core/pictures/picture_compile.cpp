// Compiling a picture text: the common steps, strings, patterns and key-in
// templates. Numbers, dates and times have compilers of their own.
#include "runtime/core/pictures/picture.h"
#include "runtime/core/pictures/picture_builder.h"

namespace vrt::core {

using picture_detail::ElementRow;
using picture_detail::read_number;

namespace {

constexpr int kStringSubKind = 0;
constexpr int kPatternSubKind = 3;

CompiledPicture empty_picture(std::string_view source) {
  CompiledPicture p;
  p.set_header(kPictureString, kStringSubKind, false, kEmptyPictureCount);
  p.source = std::string(source);
  return p;
}

// @S n: only the count, 1-255.
bool compile_string(std::string_view body, CompiledPicture* p) {
  size_t pos = 0;
  int n;
  if (!read_number(body, &pos, kEmptyPictureCount, &n) || pos != body.size() || n < 1) return false;
  p->set_header(kPictureString, kStringSubKind, false, n);
  return true;
}

// @P text P: "#" a digit, "<" a digit with blank fill, all else literal.
bool compile_pattern(std::string_view body, char closing, bool blank, CompiledPicture* p) {
  if (body.size() < 2 || body.back() != closing) return false;
  std::string_view text = body.substr(0, body.size() - 1);
  ElementRow row;
  for (char c : text) {
    if (c == '#')
      row.add('0', kCodeDigit);
    else if (c == '<')
      row.add(' ', kCodeDigitBlank);
    else
      row.add(c, kCodeLiteral);
  }
  if (!row.ok()) return false;
  row.store(p, kPicturePattern, kPatternSubKind, blank);
  return true;
}

// The element of each key-in template character; "\" makes the next one a
// literal.
struct KeyInChar {
  char ch;
  char shown;
  PictureCode code;
};
constexpr KeyInChar kKeyInChars[] = {
    {'#', '0', kCodeDigit},         {'<', ' ', kCodeDigitBlank},          {'@', ' ', kCodeKeyAt},
    {'^', ' ', kCodeKeyCaret},      {'_', ' ', kCodeKeyUnderscore},       {'?', ' ', kCodeKeyQuestion},
    {'|', ' ', kCodeKeyEnd},
};

bool compile_key_in(std::string_view body, char closing, bool blank, CompiledPicture* p) {
  if (body.size() < 2 || body.back() != closing) return false;
  std::string_view text = body.substr(0, body.size() - 1);
  ElementRow row;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      row.add(text[++i], kCodeLiteral);
      continue;
    }
    const KeyInChar* k = nullptr;
    for (const KeyInChar& e : kKeyInChars)
      if (e.ch == c) k = &e;
    if (k)
      row.add(k->shown, k->code);
    else
      row.add(c, kCodeLiteral);
  }
  if (!row.ok()) return false;
  row.store(p, kPictureKeyIn, kStringSubKind, blank);
  return true;
}

// The mantissa of @E ends before "E", its sign and three exponent digits.
constexpr int kScientificTail = 5;

void find_number_positions(CompiledPicture* p) {
  PictureKind kind = p->kind();
  if (kind != kPictureNumber && kind != kPictureScientific && kind != kPicturePattern && kind != kPictureKeyIn)
    return;
  int end = p->count() - (kind == kPictureScientific ? kScientificTail : 0);
  int point = -1, places = 0, digits = 0, groupings = 0;
  for (int i = 0; i < end; ++i) {
    uint8_t code = p->elements[i].code;
    if (code == kCodeDigit || code == kCodeDigitBlank) {
      ++(point < 0 ? digits : places);
    } else if (code == kCodeGrouping) {
      groupings += point < 0;
    } else if (point < 0 && (code == kCodeDecimalPoint || code == kCodeImpliedPoint)) {
      point = i;
      digits += code == kCodeImpliedPoint;  // it holds the units digit
    }
  }
  p->point = static_cast<int16_t>(point);
  p->places = static_cast<uint8_t>(places);
  p->digit_positions = static_cast<uint8_t>(digits);
  p->groupings = static_cast<uint8_t>(groupings);
}

}  // namespace

bool is_empty_picture(const CompiledPicture& p) {
  return p.kind() == kPictureString && p.count() == kEmptyPictureCount;
}

CompiledPicture compile_picture(std::string_view text) {
  // The work text: what follows "@", at most 254 characters.
  if (text.size() < 2 || text[0] != '@' || text.size() - 1 > kMaxPictureElements) return empty_picture(text);
  std::string_view work = text.substr(1);
  bool blank = false;
  if (work.size() >= 2 && (work.back() == 'B' || work.back() == 'b')) {
    blank = true;
    work.remove_suffix(1);
  }
  char letter = work[0];
  std::string_view body = work.substr(1);
  CompiledPicture p;
  bool ok = false;
  switch (letter) {
    case 'N': case 'n': ok = picture_detail::compile_number(body, blank, &p); break;
    case 'E': case 'e': ok = picture_detail::compile_scientific(body, blank, &p); break;
    case 'D': case 'd': ok = picture_detail::compile_date(body, blank, &p); break;
    case 'T': case 't': ok = picture_detail::compile_time(body, blank, &p); break;
    case 'S': case 's': ok = compile_string(body, &p); break;
    case 'P': case 'p': ok = compile_pattern(body, letter, blank, &p); break;
    case 'K': case 'k': ok = compile_key_in(body, letter, blank, &p); break;
    default: break;
  }
  if (!ok) return empty_picture(text);
  p.source = std::string(text);
  find_number_positions(&p);
  return p;
}

}  // namespace vrt::core
