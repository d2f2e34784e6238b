// Recursive descent over the grammar, lowest precedence first:
//
//   expression    := and-term { (OR | XOR) and-term }
//   and-term      := not-term { AND not-term }
//   not-term      := { NOT | ~ } comparison
//   comparison    := concatenation { relation concatenation }
//   concatenation := sum { & sum }
//   sum           := product { (+ | -) product }
//   product       := power { (* | / | %) power }
//   power         := unary { ^ unary }
//   unary         := { + | - } primary
//   primary       := ( expression ) | literal | picture | function ( args )
//                    | name [ "[" subscript or slice "]" ]
//
// Every binary level is left-associative. Nesting and tree depth are
// bounded so that hostile text ends in error 800, not in a stack overflow.
#include <algorithm>

#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/expression_tokenizer.h"
#include "runtime/core/expression/expression_tree.h"

namespace vrt::core {

namespace {

// Each level of parentheses or arguments costs about ten frames of the
// recursive descent, and as many again in evaluation: 64 levels keep the
// deepest text within a 256 KB procedure thread, sanitizers included.
constexpr int kMaxNesting = 64;
constexpr int kMaxTreeDepth = 1000;

class Parser {
 public:
  explicit Parser(const std::string& text) : tokens_(text) {}

  ExprTree whole() {
    ExprTree t = expression();
    if (t && tokens_.peek().kind != TokenKind::End) t.reset();
    return t;
  }

  bool list(std::vector<ExprTree>* items) {
    for (;;) {
      ExprTree t = expression();
      if (!t) return false;
      items->push_back(std::move(t));
      const Token& p = tokens_.peek();
      if (p.kind == TokenKind::End) return true;
      if (!is_operator(p, ',')) return false;
      tokens_.next();
    }
  }

  bool unbound_name() const { return unbound_; }

 private:
  static bool is_operator(const Token& t, char c) {
    return t.kind == TokenKind::Operator && t.text.size() == 1 && t.text[0] == c;
  }
  static bool is_keyword(const Token& t, const char* name) {
    return t.kind == TokenKind::Keyword && t.text == name;
  }

  // Builds a node and keeps track of the deepest chain.
  ExprTree make(ExprNode::Kind kind, Op op, ExprType type, ExprTree a, ExprTree b = nullptr) {
    auto n = std::make_unique<ExprNode>();
    n->kind = kind;
    n->op = op;
    n->type = type;
    // A chain's left side adds no depth: the walkers loop along chains.
    bool chained = kind == ExprNode::Kind::Binary && a->kind == ExprNode::Kind::Binary;
    n->depth = chained ? a->depth : a->depth + 1;
    if (b) n->depth = std::max(n->depth, b->depth + 1);
    n->kids.push_back(std::move(a));
    if (b) n->kids.push_back(std::move(b));
    if (n->depth > kMaxTreeDepth) {
      failed_ = true;
      return nullptr;
    }
    return n;
  }

  ExprTree expression() {
    if (++nesting_ > kMaxNesting) return fail();
    ExprTree left = and_term();
    while (left) {
      const Token& p = tokens_.peek();
      Op op = is_keyword(p, "OR") ? Op::Or : is_keyword(p, "XOR") ? Op::Xor : Op::None;
      if (op == Op::None) break;
      tokens_.next();
      ExprTree right = and_term();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, op, ExprType::Integer, std::move(left), std::move(right));
    }
    --nesting_;
    return left;
  }

  ExprTree and_term() {
    ExprTree left = not_term();
    while (left && is_keyword(tokens_.peek(), "AND")) {
      tokens_.next();
      ExprTree right = not_term();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, Op::And, ExprType::Integer, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree not_term() {
    bool negate = false;
    while (is_keyword(tokens_.peek(), "NOT") || is_operator(tokens_.peek(), '~')) {
      tokens_.next();
      negate = !negate;
    }
    ExprTree t = comparison();
    if (t && negate) {
      t = make(ExprNode::Kind::Unary, Op::Not, ExprType::Integer, std::move(t));
    }
    return t;
  }

  // A relation written with one or two characters.
  Op relation() {
    const Token& p = tokens_.peek();
    if (p.kind != TokenKind::Operator) return Op::None;
    char first = p.text[0];
    if (first != '=' && first != '<' && first != '>' && first != '~') return Op::None;
    tokens_.next();
    const Token& q = tokens_.peek();
    char second = q.kind == TokenKind::Operator ? q.text[0] : 0;
    Op op = Op::None;
    switch (first) {
      case '<': op = second == '>' ? Op::NotEqual : second == '=' ? Op::LessEqual : Op::None; break;
      case '>': op = second == '=' ? Op::GreaterEqual : Op::None; break;
      case '=': op = second == '<' ? Op::LessEqual : second == '>' ? Op::GreaterEqual : Op::None; break;
      case '~': op = second == '=' ? Op::NotEqual : second == '<' ? Op::GreaterEqual
                   : second == '>' ? Op::LessEqual : Op::None; break;
    }
    if (op != Op::None) {
      tokens_.next();
      return op;
    }
    switch (first) {
      case '<': return Op::Less;
      case '>': return Op::Greater;
      case '=': return Op::Equal;
      default: failed_ = true; return Op::None;  // "~" alone is no relation
    }
  }

  ExprTree comparison() {
    ExprTree left = concatenation();
    while (left) {
      Op op = relation();
      if (failed_) return fail();
      if (op == Op::None) break;
      ExprTree right = concatenation();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, op, ExprType::Integer, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree concatenation() {
    ExprTree left = sum();
    while (left && is_operator(tokens_.peek(), '&')) {
      tokens_.next();
      ExprTree right = sum();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, Op::Concat, ExprType::String, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree sum() {
    ExprTree left = product();
    while (left) {
      const Token& p = tokens_.peek();
      Op op = is_operator(p, '+') ? Op::Add : is_operator(p, '-') ? Op::Subtract : Op::None;
      if (op == Op::None) break;
      tokens_.next();
      ExprTree right = product();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, op, ExprType::Real, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree product() {
    ExprTree left = power();
    while (left) {
      const Token& p = tokens_.peek();
      Op op = is_operator(p, '*')   ? Op::Multiply
              : is_operator(p, '/') ? Op::Divide
              : is_operator(p, '%') ? Op::Modulus
                                    : Op::None;
      if (op == Op::None) break;
      tokens_.next();
      ExprTree right = power();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, op, ExprType::Real, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree power() {
    ExprTree left = unary();
    while (left && is_operator(tokens_.peek(), '^')) {
      tokens_.next();
      ExprTree right = unary();
      if (!right) return fail();
      left = make(ExprNode::Kind::Binary, Op::Power, ExprType::Real, std::move(left), std::move(right));
    }
    return left;
  }

  ExprTree unary() {
    bool negate = false;
    for (;;) {
      const Token& p = tokens_.peek();
      if (is_operator(p, '-'))
        negate = !negate;
      else if (!is_operator(p, '+'))
        break;
      tokens_.next();
    }
    ExprTree t = primary();
    if (t && negate) {
      t = make(ExprNode::Kind::Unary, Op::Negate, ExprType::Real, std::move(t));
    }
    return t;
  }

  ExprTree primary() {
    Token t = tokens_.next();
    switch (t.kind) {
      case TokenKind::Open: {
        ExprTree inner = expression();
        if (!inner || tokens_.next().kind != TokenKind::Close) return fail();
        return inner;
      }
      case TokenKind::Literal: {
        auto n = std::make_unique<ExprNode>();
        n->kind = ExprNode::Kind::Literal;
        n->type = t.value.type;
        n->value = std::move(t.value);
        n->text = std::move(t.text);
        return n;
      }
      case TokenKind::Picture: {
        auto n = std::make_unique<ExprNode>();
        n->kind = ExprNode::Kind::Picture;
        n->type = ExprType::String;
        n->text = std::move(t.text);
        n->value = ExprValue::of_string(n->text);
        return n;
      }
      case TokenKind::Identifier: return name(std::move(t.text), t.value.text);
      default: return fail();
    }
  }

  // Arguments between the parentheses, the "(" already taken.
  bool arguments(ExprNode* n) {
    if (tokens_.peek().kind == TokenKind::Close) {
      tokens_.next();
      return true;
    }
    for (;;) {
      ExprTree a = expression();
      if (!a) return false;
      n->kids.push_back(std::move(a));
      Token sep = tokens_.next();
      if (sep.kind == TokenKind::Close) return true;
      if (!is_operator(sep, ',')) return false;
    }
  }

  ExprTree name(std::string id, const std::string& written) {
    auto n = std::make_unique<ExprNode>();
    if (const BuiltinInfo* b = find_builtin(id)) {
      n->kind = ExprNode::Kind::Function;
      n->builtin = b;
      n->type = b->result;
      n->text = id;
      if (tokens_.peek().kind == TokenKind::Open) {
        tokens_.next();
        if (!arguments(n.get())) return fail();
      } else if (b->min_arguments > 0) {
        return fail();
      }
      int count = static_cast<int>(n->kids.size());
      if (count < b->min_arguments || (b->max_arguments != kListArguments && count > b->max_arguments))
        return fail();
      return finish(std::move(n));
    }
    std::shared_ptr<const Binding> binding = find_binding(id);
    if (!binding) {
      unbound_ = true;
      post_error_with_text(801, "No BIND on variable (" + written + ")");
      return fail();
    }
    n->binding = std::move(binding);
    n->text = std::move(id);
    if (n->binding->procedure) {
      n->kind = ExprNode::Kind::Procedure;
      n->type = ExprType::String;
      if (tokens_.peek().kind == TokenKind::Open) {
        tokens_.next();
        if (!arguments(n.get())) return fail();
      }
      return finish(std::move(n));
    }
    n->kind = ExprNode::Kind::Variable;
    n->type = ExprType::String;
    if (n->binding->variable) n->type = n->binding->variable().type;
    if (tokens_.peek().kind == TokenKind::OpenBracket) {
      tokens_.next();
      ExprTree first = expression();
      if (!first) return fail();
      n->kids.push_back(std::move(first));
      if (is_operator(tokens_.peek(), ':')) {
        tokens_.next();
        ExprTree second = expression();
        if (!second) return fail();
        n->kids.push_back(std::move(second));
        n->slice = true;
      }
      if (tokens_.next().kind != TokenKind::CloseBracket) return fail();
      n->type = ExprType::String;
    }
    return finish(std::move(n));
  }

  // A function or a subscripted name is as deep as its deepest argument.
  ExprTree finish(ExprTree n) {
    for (const auto& k : n->kids) n->depth = std::max(n->depth, k->depth + 1);
    if (n->depth > kMaxTreeDepth) return fail();
    return n;
  }

  ExprTree fail() {
    failed_ = true;
    return nullptr;
  }

  Tokenizer tokens_;
  int nesting_ = 0;
  bool failed_ = false;
  bool unbound_ = false;
};

}  // namespace

ExprTree parse_expression(const std::string& text) {
  Parser p(text);
  ExprTree t = p.whole();
  if (!t && !p.unbound_name()) post_error(800);
  return t;
}

bool parse_expression_list(const std::string& text, std::vector<ExprTree>* items) {
  Parser p(text);
  if (p.list(items)) return true;
  items->clear();
  if (!p.unbound_name()) post_error(800);
  return false;
}

}  // namespace vrt::core
