#include "runtime/window/controls/list_format.h"

#include <cctype>
#include <algorithm>

namespace vrt::window {

namespace {

// One cursor over the text; every read checks the end first.
class FormatReader {
 public:
  explicit FormatReader(std::string_view s) : s_(s) {}

  ListFormat read() {
    ListFormat out;
    while (!failed() && !at_end()) {
      if (peek() == '[') group(out.columns);
      else column(out.columns);
    }
    out.error = error_;
    return out;
  }

 private:
  bool at_end() const { return pos_ >= s_.size(); }
  char peek() const { return at_end() ? '\0' : s_[pos_]; }
  char upper() const { return static_cast<char>(std::toupper(static_cast<unsigned char>(peek()))); }
  bool failed() const { return error_ != 0; }
  bool fail() {
    if (!error_) error_ = pos_ + 1;
    return false;
  }
  bool is_digit() const { return !at_end() && std::isdigit(static_cast<unsigned char>(s_[pos_])); }

  // An optional "-" and one or more digits.
  bool number(int* value) {
    bool negative = peek() == '-';
    if (negative) ++pos_;
    if (!is_digit()) return fail();
    long long n = 0;
    while (is_digit()) {
      n = std::min<long long>(n * 10 + (s_[pos_++] - '0'), kMaxListUnits);
    }
    *value = static_cast<int>(negative ? -n : n);
    return true;
  }
  // "(" number ")" when the text has "(" here; `*given` says whether it had.
  bool optional_count(int* value, bool* given = nullptr) {
    if (given) *given = peek() == '(';
    if (peek() != '(') return true;
    ++pos_;
    if (!number(value)) return false;
    if (peek() != ')') return fail();
    ++pos_;
    return true;
  }
  bool justification(Justify* j) {
    switch (upper()) {
      case 'L': *j = Justify::Left; break;
      case 'R': *j = Justify::Right; break;
      case 'C': *j = Justify::Centre; break;
      case 'D': *j = Justify::Decimal; break;
      default: return false;
    }
    ++pos_;
    return true;
  }
  // Text up to the closing character, which is passed over.
  bool up_to(char close, std::string* text) {
    size_t end = s_.find(close, pos_);
    if (end == std::string_view::npos) {
      pos_ = s_.size();
      return fail();
    }
    if (text) *text = std::string(s_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return true;
  }

  void column(std::vector<ListColumn>& columns) {
    ListColumn c;
    if (!number(&c.width)) return;
    if (!justification(&c.justify)) return void(fail());
    if (!optional_count(&c.offset)) return;
    modifiers(c);
    columns.push_back(std::move(c));
  }

  void group(std::vector<ListColumn>& columns) {
    ++pos_;  // "["
    size_t first = columns.size();
    while (!failed() && peek() != ']') {
      if (at_end()) return void(fail());
      column(columns);
    }
    if (failed()) return;
    if (columns.size() == first) return void(fail());  // "[]"
    ++pos_;
    // The group's own modifiers: its line and its resizing belong to its last column.
    ListColumn g;
    if (!optional_count(&g.offset)) return;
    modifiers(g);
    columns.back().line |= g.line;
    columns.back().resizable |= g.resizable;
  }

  // Modifiers until a character that begins none of them.
  void modifiers(ListColumn& c) {
    bool seen_e = false, seen_z = false, seen_q = false;
    int scratch = 0;
    while (!failed() && !at_end()) {
      char m = upper();
      switch (m) {
        case '~': {
          ++pos_;
          if (!up_to('~', &c.header)) return;
          justification(&c.header_justify);
          optional_count(&c.header_offset);
          break;
        }
        case '@': {
          size_t start = pos_++;
          if (!up_to('@', nullptr)) return;
          c.picture = std::string(s_.substr(start, pos_ - 1 - start));
          break;
        }
        case '|': ++pos_, c.line = true; break;
        case 'M': ++pos_, c.resizable = true; break;
        case '#':
          ++pos_;
          if (!number(&scratch)) return;
          if (peek() != '#') return void(fail());
          ++pos_;
          break;
        case 'E': {
          if (seen_e) return void(fail());
          seen_e = true;
          ++pos_;
          if (peek() != '(') return void(fail());
          ++pos_;
          for (int n = 0;; ++n) {
            if (!number(&scratch)) return;
            if (peek() == ')') break;
            if (peek() != ',' || n == 3) return void(fail());
            ++pos_;
          }
          ++pos_;
          break;
        }
        case 'Z':
          if (seen_z) return void(fail());
          seen_z = true;
          ++pos_;
          if (peek() != '(') return void(fail());
          if (!optional_count(&scratch)) return;
          break;
        case 'Q': {
          if (seen_q) return void(fail());
          seen_q = true;
          ++pos_;
          char quote = peek();
          if (quote != '\'' && quote != '"') return void(fail());
          for (++pos_;; ++pos_) {
            if (at_end()) return void(fail());
            if (s_[pos_] != quote) continue;
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == quote) ++pos_;  // a doubled quote stands for one
            else break;
          }
          ++pos_;
          break;
        }
        case 'H':
        case 'S':
          ++pos_;
          if (!optional_count(&scratch)) return;
          break;
        case 'T':
          ++pos_;
          if (peek() != '(') break;
          ++pos_;
          if (peek() == ')') return void(fail());
          while (peek() != ')') {
            char t = upper();
            if (t != '1' && t != 'B' && t != 'I' && t != 'L' && t != 'R') return void(fail());
            ++pos_;
          }
          ++pos_;
          break;
        case '*': case 'F': case 'I': case 'J': case 'P': case 'Y': case '_': case '/': case '?':
          ++pos_;
          break;
        default: return;
      }
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
  size_t error_ = 0;
};

}  // namespace

ListFormat parse_list_format(std::string_view format) { return FormatReader(format).read(); }

size_t validate_list_format(std::string_view format) { return parse_list_format(format).error; }

}  // namespace vrt::window
