// Reading declarations line by line. Each line is checked against the
// record's shape at once, so every mistake is reported with its line.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <deque>
#include <string>

#include "runtime/core/values/type_codes.h"
#include "runtime/window/controls/list_format.h"
#include "tools/rescomp/declaration_tree.h"

namespace vrt::window {

namespace {

struct Token {
  std::string name;               // attribute name, or "" for the positional text / a flag word
  std::vector<DeclValue> values;  // one for positional text and flag words
};

// Flag words and the bits they set in the record's flag word.
struct FlagWord {
  const char* word;
  uint32_t bit;
};
constexpr FlagWord kFlagWords[] = {
    {"right", kFlagRight}, {"center", kFlagCenter}, {"disabled", kFlagDisabled}, {"hidden", kFlagHidden},
    {"default", kFlagDefault}, {"report", kFlagReport}, {"checkvar", kFlagCheckVariable},
    {"together", kFlagBandTogether}, {"withprior", kFlagBandWithPrior},
};

bool is_word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '$'; }

class LineReader {
 public:
  LineReader(std::string_view line, std::string& error) : s_(line), error_(error) {}

  bool at_end() {
    skip_spaces();
    return pos_ >= s_.size() || s_[pos_] == '#';
  }
  std::string word() {
    size_t start = pos_;
    while (pos_ < s_.size() && is_word_char(s_[pos_])) ++pos_;
    return std::string(s_.substr(start, pos_ - start));
  }
  bool token(Token& t) {
    skip_spaces();
    if (s_[pos_] == '"') {
      t.values.push_back(value());
      return error_.empty();
    }
    std::string w = word();
    if (w.empty()) return fail(std::string("unexpected '") + s_[pos_] + "'");
    if (pos_ < s_.size() && s_[pos_] == '=') {
      ++pos_;
      t.name = w;
      do {
        skip_spaces();
        t.values.push_back(value());
        if (!error_.empty()) return false;
        skip_spaces();
      } while (pos_ < s_.size() && s_[pos_] == ',' && ++pos_);
      return true;
    }
    t.values.push_back({DeclValue::Word, 0, w});
    return true;
  }

 private:
  void skip_spaces() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r')) ++pos_;
  }
  bool fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    return false;
  }
  DeclValue value() {
    DeclValue v;
    if (pos_ < s_.size() && s_[pos_] == '"') return quoted();
    std::string w = word();
    if (w.empty()) {
      fail("a value is missing");
      return v;
    }
    bool negative = w[0] == '-';
    std::string_view digits = std::string_view(w).substr(negative);
    int base = 10;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
      base = 16;
      digits.remove_prefix(2);
    }
    uint64_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
    if (!digits.empty() && ec == std::errc() && end == digits.data() + digits.size()) {
      if (n > (negative ? 0x80000000ull : 0xFFFFFFFFull)) fail("number " + w + " does not fit in 32 bits");
      v.number = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
      return v;
    }
    if (negative || std::isdigit(static_cast<unsigned char>(w[0]))) fail("bad number " + w);
    return {DeclValue::Word, 0, w};
  }
  DeclValue quoted() {
    DeclValue v{DeclValue::Text, 0, ""};
    for (++pos_; pos_ < s_.size(); ++pos_) {
      char c = s_[pos_];
      if (c == '"') {
        ++pos_;
        return v;
      }
      if (c == '\0') fail("a NUL character cannot stand in a text");
      if (c == '\\' && pos_ + 1 < s_.size()) {
        char e = s_[++pos_];
        c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
        if (e != 'n' && e != 't' && e != '"' && e != '\\') fail(std::string("unknown escape \\") + e);
      }
      v.text += c;
    }
    fail("text not closed by a quote");
    return v;
  }

  std::string_view s_;
  size_t pos_ = 0;
  std::string& error_;
};

// Checks an attribute's values against what its field holds.
std::string check_values(const FieldShape& f, const std::vector<DeclValue>& v) {
  auto all_numbers = [&](size_t from) {
    for (size_t i = from; i < v.size(); ++i)
      if (v[i].kind != DeclValue::Number && !(f.kind == FieldKind::Int && v[i].text == "default"))
        return false;
    return true;
  };
  std::string name = f.name;
  switch (f.kind) {
    case FieldKind::Int:
    case FieldKind::Unsigned:
    case FieldKind::Word10:
      if (v.size() != f.count || !all_numbers(0))
        return name + " takes " + std::to_string(f.count) + (f.count == 1 ? " number" : " numbers");
      if (f.kind == FieldKind::Word10 && (v[0].number < 0 || v[0].number > 0xFFFF))
        return name + " must be 0 to 65535";
      return "";
    case FieldKind::Text:
      return v.size() == 1 && v[0].kind == DeclValue::Text ? "" : name + " takes one quoted text";
    case FieldKind::Descriptor:
      if (v.size() < 2 || v.size() > 3 || v[0].kind != DeclValue::Word || !all_numbers(1))
        return "var takes TYPE,size or TYPE,size,places";
      return type_code_of(v[0].text) < 0 ? "unknown type " + v[0].text : "";
    case FieldKind::Font:
      if (v.size() < 2 || v.size() > 4 || v[0].kind != DeclValue::Text || !all_numbers(1))
        return "font takes \"typeface\",points[,colour,style]";
      return "";
    case FieldKind::Pen:
      return !v.empty() && v.size() <= 3 && all_numbers(0) ? "" : "pen takes width[,colour,style]";
    case FieldKind::Widths:
      if (v.empty() || v.size() > kMaxStatusSegments || !all_numbers(0)) return "status takes 1 to 32 widths";
      for (const DeclValue& d : v)
        if (d.number == 0) return "a status-bar width of 0 would end the list";
      return "";
    case FieldKind::Children:
      return name + " is not an attribute";
  }
  return "";
}

// The field the positional text goes to: a structure's label, else the text.
const FieldShape* positional_field(const RecordShape& shape) {
  for (const char* name : {"label", "text"})
    for (const FieldShape& f : shape.fields)
      if (f.name == std::string_view(name)) return &f;
  return nullptr;
}

bool may_hold(const DeclNode* parent, const RecordShape& child) {
  RecordType pt = parent ? parent->shape->type : RecordType{};
  switch (child.placement) {
    case Placement::TopLevel: return parent == nullptr;
    case Placement::MenuBarSlot:
    case Placement::ToolBarSlot: return parent && pt == RecordType::Window;
    case Placement::MenuEntry: return parent && (pt == RecordType::MenuBar || pt == RecordType::Menu);
    case Placement::Band: return parent && pt == RecordType::Report;
    case Placement::Control:
      if (!parent || pt == RecordType::MenuBar || pt == RecordType::Menu || pt == RecordType::Report) return false;
      if (pt == RecordType::Sheet) return child.type == RecordType::Tab;
      return child.type != RecordType::Tab;
  }
  return false;
}

bool is_container(const RecordShape& shape) {
  for (const FieldShape& f : shape.fields)
    if (f.kind == FieldKind::Children) return true;
  return false;
}

class Parser {
 public:
  Parser(std::string_view file, std::vector<std::string>& errors) : file_(file), errors_(errors) {}

  void line(std::string_view text, int number) {
    line_ = number;
    std::string error;
    LineReader r(text, error);
    if (r.at_end()) return;
    std::string keyword = r.word();
    std::vector<Token> tokens;
    while (error.empty() && !r.at_end()) {
      Token t;
      if (r.token(t)) tokens.push_back(std::move(t));
    }
    if (!error.empty()) return report(error);
    if (keyword == "module") return module_line(tokens);
    if (keyword == "end") return end_line(tokens);
    record_line(keyword, tokens);
  }

  DeclModule finish(int last_line) {
    line_ = last_line;
    if (!open_.empty()) {
      line_ = open_.back()->line;
      report(std::string(open_.back()->shape->keyword) + " is not closed by end");
    }
    if (module_.module.empty() && errors_.empty()) report("no module line");
    return std::move(module_);
  }

 private:
  void report(const std::string& message) {
    errors_.push_back(std::string(file_) + ":" + std::to_string(line_) + ": " + message);
  }

  // `module "a$x" "a$y" ...`: several modules whose resources hold the same
  // structures (reports that differ only in what the program binds).
  void module_line(const std::vector<Token>& tokens) {
    if (!module_.module.empty()) return report("module given twice");
    if (tokens.empty()) return report("module takes one quoted name or more");
    for (const Token& t : tokens) {
      if (!t.name.empty() || t.values.size() != 1 || t.values[0].kind != DeclValue::Text)
        return report("module takes one quoted name or more");
      const std::string& name = t.values[0].text;
      if (name.find('$') == std::string::npos) return report("module name needs a '$' (\"program$module\")");
      if (name == module_.module || std::find(module_.also.begin(), module_.also.end(), name) != module_.also.end())
        return report("module " + name + " named twice");
      (module_.module.empty() ? module_.module : module_.also.emplace_back()) = name;
    }
  }

  void end_line(const std::vector<Token>& tokens) {
    if (!tokens.empty()) return report("end takes nothing");
    if (open_.empty()) return report("end without an open record");
    open_.pop_back();
  }

  // A refused record that holds others still opens a block, so that its
  // own `end` does not report a second, misleading mistake.
  void record_line(const std::string& keyword, const std::vector<Token>& tokens) {
    size_t errors_before = errors_.size();
    size_t open_before = open_.size();
    add_record(keyword, tokens);
    const RecordShape* shape = record_shape(keyword == "application" ? "window" : keyword);
    if (errors_.size() != errors_before && open_.size() == open_before && shape && is_container(*shape)) {
      refused_.push_back(DeclNode{});
      refused_.back().shape = shape;
      refused_.back().line = line_;
      open_.push_back(&refused_.back());
    }
  }

  void add_record(const std::string& keyword, const std::vector<Token>& tokens) {
    bool application = keyword == "application";
    bool separator = keyword == "separator";
    const RecordShape* shape = record_shape(application ? "window" : separator ? "item" : keyword);
    if (!shape) return report("unknown record '" + keyword + "'");
    if (module_.module.empty()) return report("the module line must come first");
    DeclNode* parent = open_.empty() ? nullptr : open_.back();
    if (open_.size() > kMaxNesting) return report("records nested more than " + std::to_string(kMaxNesting) + " deep");
    if (!may_hold(parent, *shape))
      return report(keyword + " cannot stand " + (parent ? std::string("in ") + parent->shape->keyword : "at the top"));
    DeclNode node;
    node.shape = shape;
    node.line = line_;
    node.application = application;
    if (separator) node.flags |= kFlagSeparator;
    for (const Token& t : tokens)
      if (!attribute(node, t, separator)) return;
    if (shape->placement == Placement::TopLevel && node.values.count("label") == 0)
      return report(keyword + " needs a quoted label");
    for (const DeclNode& s : module_.structures)
      if (parent == nullptr && s.values.at("label")[0].text == node.values["label"][0].text)
        return report("label " + s.values.at("label")[0].text + " declared twice");
    std::vector<DeclNode>* list = &module_.structures;
    if (parent) {
      list = shape->placement == Placement::MenuBarSlot ? &parent->menubar
             : shape->placement == Placement::ToolBarSlot ? &parent->toolbar
                                                          : &parent->children;
      if (list != &parent->children && !list->empty()) return report(keyword + " given twice");
    }
    list->push_back(std::move(node));
    if (is_container(*shape)) open_.push_back(&list->back());
  }

  bool attribute(DeclNode& node, const Token& t, bool separator) {
    const RecordShape& shape = *node.shape;
    if (t.name.empty() && t.values[0].kind == DeclValue::Text) {
      const FieldShape* f = positional_field(shape);
      if (!f || separator) return report(std::string(shape.keyword) + " takes no text"), false;
      return set(node, *f, t.values);
    }
    if (t.name.empty()) {
      for (const FlagWord& w : kFlagWords)
        if (t.values[0].text == w.word) return node.flags |= w.bit, true;
      if (t.values[0].text == "modal" && shape.type == RecordType::Window)
        return node.values["modal"] = {}, true;
      return report("unknown flag word '" + t.values[0].text + "'"), false;
    }
    if (t.name == "flags" || t.name == "field") {
      if (t.values.size() != 1 || t.values[0].kind != DeclValue::Number)
        return report(t.name + " takes one number"), false;
      if (t.name == "flags") node.flags |= static_cast<uint32_t>(t.values[0].number);
      else if (shape.numbered) node.field = static_cast<int32_t>(t.values[0].number);
      else return report(std::string(shape.keyword) + " has no field number"), false;
      return true;
    }
    for (const FieldShape& f : shape.fields)
      if (t.name == f.name && t.name != "label" && t.name != "text") return set(node, f, t.values);
    return report(std::string(shape.keyword) + " has no attribute '" + t.name + "'"), false;
  }

  bool set(DeclNode& node, const FieldShape& f, const std::vector<DeclValue>& values) {
    if (std::string e = check_values(f, values); !e.empty()) return report(e), false;
    // The runtime puts the "@" before a stored picture itself.
    if (f.name == std::string_view("picture") && values[0].text.starts_with("@"))
      return report("picture=\"" + values[0].text + "\" is written without its \"@\": picture=\"" +
                    values[0].text.substr(1) + "\""), false;
    if (f.name == std::string_view("format") && node.shape->type == RecordType::List)
      if (size_t at = validate_list_format(values[0].text))
        return report("format \"" + values[0].text + "\" is malformed at position " + std::to_string(at)), false;
    if (!node.values.emplace(f.name, values).second) return report(std::string(f.name) + " given twice"), false;
    return true;
  }

  std::string_view file_;
  std::vector<std::string>& errors_;
  DeclModule module_;
  std::deque<DeclNode> refused_;  // stand-ins for refused blocks
  std::vector<DeclNode*> open_;  // records waiting for their end (stable: children only grow at the back)
  int line_ = 0;
};

// A line that starts with an attribute ("font=...") continues the record
// above it, so long records can be spread over several lines.
// The line without its comment: a '#' outside quotes starts one.
std::string_view strip_comment(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (quoted && line[i] == '\\') ++i;
    else if (line[i] == '"') quoted = !quoted;
    else if (!quoted && line[i] == '#') return line.substr(0, i);
  }
  return line;
}

bool continues_record(std::string_view line) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return false;
  size_t j = i;
  while (j < line.size() && is_word_char(line[j])) ++j;
  return j > i && j < line.size() && line[j] == '=';
}

}  // namespace

int type_code_of(const std::string& name) {
  for (int code = 1; code <= core::kLastTypeCode; ++code)
    if (name == core::type_name(code)) return code;
  return -1;
}

DeclModule parse_declarations(std::string_view text, std::string_view file_name, std::vector<std::string>& errors) {
  Parser parser(file_name, errors);
  std::string pending;
  int pending_line = 0, number = 0;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = strip_comment(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++number;
    if (pending_line != 0 && continues_record(line)) {
      pending += ' ';
      pending += line;
      continue;
    }
    if (pending_line != 0) parser.line(pending, pending_line);
    pending = line;
    pending_line = number;
  }
  if (pending_line != 0) parser.line(pending, pending_line);
  return parser.finish(number);
}

}  // namespace vrt::window
