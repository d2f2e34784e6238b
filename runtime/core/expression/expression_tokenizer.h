// Splits expression text into tokens. Blanks and tabs between tokens are
// skipped; identifiers may hold ":" (CUS:NAME is one name).
#pragma once
#include <string>
#include <string_view>

#include "runtime/core/expression/expression_value.h"

namespace vrt::core {

enum class TokenKind {
  Operator,     // text holds the one character: + - * / % ^ & = < > ~ , :
  Keyword,      // AND, NOT, OR, XOR (text holds the name)
  Open,         // (
  Close,        // )
  OpenBracket,  // [
  CloseBracket, // ]
  Literal,      // value holds the number or string
  Picture,      // text holds the picture
  Identifier,   // text holds the upper-cased name, value the name as written
  End,
  Error,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  ExprValue value;
};

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : text_(text) {}
  Token next();
  // The next token without taking it.
  const Token& peek();

 private:
  Token scan();
  Token number();
  Token real_literal(std::string literal);
  Token string_literal();
  Token picture();
  Token identifier();

  std::string_view text_;
  size_t pos_ = 0;
  bool peeked_ = false;
  Token ahead_;
};

}  // namespace vrt::core
