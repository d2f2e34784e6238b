#include "runtime/core/expression/expression_tokenizer.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/core/expression/expression_names.h"

namespace vrt::core {

namespace {

bool is_letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

Token error_token() { return {TokenKind::Error, {}, {}}; }

int digit_value(char c) {
  if (is_digit(c)) return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

const Token& Tokenizer::peek() {
  if (!peeked_) {
    ahead_ = scan();
    peeked_ = true;
  }
  return ahead_;
}

Token Tokenizer::next() {
  if (peeked_) {
    peeked_ = false;
    return std::move(ahead_);
  }
  return scan();
}

Token Tokenizer::scan() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  if (pos_ >= text_.size()) return {TokenKind::End, {}, {}};
  char c = text_[pos_];
  if (is_letter(c) || c == '_' || c == '?') return identifier();
  if (is_digit(c)) return number();
  if (c == '\'') return string_literal();
  if (c == '@') return picture();
  ++pos_;
  switch (c) {
    case '(': return {TokenKind::Open, "(", {}};
    case ')': return {TokenKind::Close, ")", {}};
    case '[': return {TokenKind::OpenBracket, "[", {}};
    case ']': return {TokenKind::CloseBracket, "]", {}};
    default: break;
  }
  if (std::strchr("+-*/%^&=<>~,:", c)) return {TokenKind::Operator, std::string(1, c), {}};
  return error_token();
}

Token Tokenizer::identifier() {
  size_t start = pos_++;
  while (pos_ < text_.size() &&
         (is_letter(text_[pos_]) || is_digit(text_[pos_]) || text_[pos_] == '_' || text_[pos_] == ':'))
    ++pos_;
  if (pos_ < text_.size() && (text_[pos_] == '#' || text_[pos_] == '$' || text_[pos_] == '"')) ++pos_;
  std::string written(text_.substr(start, pos_ - start));
  std::string name = written;
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (find_keyword(name) != Op::None) return {TokenKind::Keyword, name, {}};
  return {TokenKind::Identifier, name, ExprValue::of_string(std::move(written))};
}

// A real beyond the range of a double is no literal this evaluator can hold
// (it would read as infinity and print as 0).
Token Tokenizer::real_literal(std::string literal) {
  double r = std::strtod(literal.c_str(), nullptr);
  if (!std::isfinite(r)) return error_token();
  return {TokenKind::Literal, std::move(literal), ExprValue::of_real(r)};
}

// Digits with a "." are a real (with an optional exponent); otherwise
// letters may follow and the last character names the base: H, O or B.
Token Tokenizer::number() {
  size_t start = pos_;
  while (pos_ < text_.size() && is_digit(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '.') {
    ++pos_;
    while (pos_ < text_.size() && is_digit(text_[pos_])) ++pos_;
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t e = pos_ + 1;
      if (e < text_.size() && (text_[e] == '+' || text_[e] == '-')) ++e;
      if (e < text_.size() && is_digit(text_[e])) {
        pos_ = e;
        while (pos_ < text_.size() && is_digit(text_[pos_])) ++pos_;
      }
    }
    return real_literal(std::string(text_.substr(start, pos_ - start)));
  }
  while (pos_ < text_.size() && (is_letter(text_[pos_]) || is_digit(text_[pos_]))) ++pos_;
  std::string_view run = text_.substr(start, pos_ - start);
  int base = 10;
  switch (std::toupper(static_cast<unsigned char>(run.back()))) {
    case 'H': base = 16; break;
    case 'O': base = 8; break;
    case 'B': base = 2; break;
    default: break;
  }
  std::string_view digits = base == 10 ? run : run.substr(0, run.size() - 1);
  if (digits.empty()) return error_token();
  // Integers that outgrow 64 bits (decimal) or 32 bits (other bases) are no
  // literal this evaluator can hold.
  uint64_t limit = base == 10 ? uint64_t{INT64_MAX} : uint64_t{UINT32_MAX};
  uint64_t v = 0;
  for (char d : digits) {
    int dv = digit_value(d);
    if (dv >= base) return error_token();
    if (v > (limit - static_cast<uint64_t>(dv)) / static_cast<uint64_t>(base)) {
      if (base != 10) return error_token();
      return real_literal(std::string(run));
    }
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(dv);
  }
  return {TokenKind::Literal, std::string(run), ExprValue::of_integer(static_cast<int64_t>(v))};
}

Token Tokenizer::string_literal() {
  std::string s;
  ++pos_;
  while (pos_ < text_.size()) {
    char c = text_[pos_++];
    if (c != '\'') {
      s += c;
      continue;
    }
    if (pos_ < text_.size() && text_[pos_] == '\'') {
      s += '\'';
      ++pos_;
      continue;
    }
    return {TokenKind::Literal, {}, ExprValue::of_string(std::move(s))};
  }
  return error_token();  // no closing quote
}

// "@" up to a blank, "," or ")" outside parentheses; an @P picture runs to
// its closing P of the same case; in an @N picture "~currency~" is skipped;
// a following "B" (blank when zero) belongs to it.
Token Tokenizer::picture() {
  size_t start = pos_++;
  char kind = pos_ < text_.size() ? text_[pos_] : 0;
  if (kind == 'P' || kind == 'p') {
    size_t close = text_.find(kind, pos_ + 1);
    if (close == std::string_view::npos) return error_token();
    pos_ = close + 1;
  } else {
    int depth = 0;
    bool numeric = kind == 'N' || kind == 'n';
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (numeric && c == '~') {
        size_t close = text_.find('~', pos_ + 1);
        if (close == std::string_view::npos) return error_token();
        pos_ = close + 1;
        continue;
      }
      if (depth == 0 && (c == ' ' || c == '\t' || c == ',' || c == ')')) break;
      if (c == '(') ++depth;
      if (c == ')') --depth;
      ++pos_;
    }
  }
  if (pos_ < text_.size() && (text_[pos_] == 'B' || text_[pos_] == 'b') &&
      (kind == 'P' || kind == 'p'))
    ++pos_;
  return {TokenKind::Picture, std::string(text_.substr(start, pos_ - start)), {}};
}

}  // namespace vrt::core
