#include "runtime/data/driver/declaration_text.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/record_layout.h"

namespace vrt::data {

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// Splits "A(x,'y,z'),B,C('q')" at top-level commas, keeping quotes and
// parentheses together.
std::vector<std::string> split_items(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  int depth = 0;
  bool quoted = false;
  for (char c : s) {
    if (c == '\'') quoted = !quoted;
    if (!quoted) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == ',' && depth == 0) {
        out.push_back(trim(cur));
        cur.clear();
        continue;
      }
    }
    cur += c;
  }
  out.push_back(trim(cur));
  return out;
}

// "WORD(args)" -> word and the text inside the parentheses.
bool split_call(const std::string& item, std::string* word, std::string* args, bool* has_args) {
  size_t p = item.find('(');
  *has_args = p != std::string::npos;
  if (!*has_args) {
    *word = upper(trim(item));
    args->clear();
    return true;
  }
  if (item.back() != ')') return false;
  *word = upper(trim(item.substr(0, p)));
  *args = item.substr(p + 1, item.size() - p - 2);
  return true;
}

bool unquote(const std::string& s, std::string* out) {
  std::string t = trim(s);
  if (t.size() < 2 || t.front() != '\'' || t.back() != '\'') return false;
  *out = t.substr(1, t.size() - 2);
  return true;
}

bool parse_number(const std::string& s, uint32_t* value) {
  std::string t = trim(s);
  if (t.empty() || t.size() > 9) return false;
  for (char c : t)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  *value = static_cast<uint32_t>(std::strtoul(t.c_str(), nullptr, 10));
  return true;
}

bool is_keyword_start(const std::string& rest) {
  std::string u = upper(rest);
  for (const char* w : {"FILE", "KEY(", "INDEX(", "MEMO(", "BLOB"})
    if (u.rfind(w, 0) == 0) return true;
  return false;
}

class Parser {
 public:
  Parser(FileDeclaration* d, std::string* message) : d_(d), message_(message) {}

  bool run(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    enum { kHead, kKeys, kRecord, kAfterRecord, kDone } where = kHead;
    std::vector<size_t> groups;  // open GROUP fields
    while (std::getline(in, raw)) {
      ++line_;
      std::string s = trim(raw);
      if (s.empty() || s[0] == '!') continue;
      if (where == kDone) return fail("text after the final END");
      if (upper(s) == "END") {
        if (where == kRecord && !groups.empty()) {
          close_group(groups);
          continue;
        }
        if (where == kRecord) where = kAfterRecord;
        else if (where == kAfterRecord) where = kDone;
        else return fail("END without RECORD");
        continue;
      }
      if (where == kHead) {
        if (!file_line(s)) return false;
        where = kKeys;
      } else if (where == kKeys) {
        if (upper(s) == "RECORD") {
          where = kRecord;
          continue;
        }
        if (!key_or_memo_line(s)) return false;
      } else if (where == kRecord) {
        if (!field_line(s, groups)) return false;
      } else {
        return fail("expected END");
      }
    }
    if (where != kDone) return fail("the declaration does not end with END and END");
    return finish();
  }

 private:
  bool fail(const std::string& what) {
    *message_ = "line " + std::to_string(line_) + ": " + what;
    return false;
  }

  // Splits an optional leading label off a line.
  static void take_label(const std::string& s, std::string* label, std::string* rest) {
    label->clear();
    *rest = s;
    if (is_keyword_start(s)) return;
    size_t sp = s.find_first_of(" \t");
    if (sp == std::string::npos) return;
    *label = s.substr(0, sp);
    *rest = trim(s.substr(sp));
  }

  bool file_line(const std::string& s) {
    std::string label, rest;
    take_label(s, &label, &rest);
    d_->label = upper(label);
    auto items = split_items(rest);
    if (upper(items[0]) != "FILE") return fail("the first line must be the FILE line");
    for (size_t i = 1; i < items.size(); ++i) {
      std::string word, args;
      bool has;
      if (!split_call(items[i], &word, &args, &has)) return fail("bad item " + items[i]);
      if (word == "DRIVER") {
        auto parts = split_items(args);
        if (!unquote(parts[0], &d_->driver)) return fail("DRIVER needs a quoted name");
        if (parts.size() > 1 && !unquote(parts[1], &d_->options)) return fail("DRIVER options must be quoted");
      } else if (word == "NAME") {
        if (!unquote(args, &d_->name)) return fail("NAME needs a quoted text");
      } else if (word == "OWNER") {
        d_->has_owner = true;
        if (!unquote(args, &d_->owner)) d_->owner = trim(args);
      } else if (word == "PRE") {
        d_->prefix = upper(trim(args));
      } else if (word == "CREATE") {
        d_->attributes |= kAttrCreate;
      } else if (word == "ENCRYPT") {
        d_->attributes |= kAttrEncrypt;
      } else if (word == "RECLAIM") {
        d_->attributes |= kAttrReclaim;
      } else if (word == "THREAD") {
        d_->attributes |= kAttrThread;
      } else {
        return fail("unknown FILE attribute " + word);
      }
    }
    return true;
  }

  bool key_or_memo_line(const std::string& s) {
    std::string label, rest;
    take_label(s, &label, &rest);
    auto items = split_items(rest);
    std::string word, args;
    bool has;
    if (!split_call(items[0], &word, &args, &has)) return fail("bad item " + items[0]);
    if (word == "KEY" || word == "INDEX") {
      KeyBlock k;
      k.label = upper(label);
      if (word == "INDEX") k.attributes |= kKeyIndex;
      if (!trim(args).empty())
        for (const std::string& c : split_items(args)) {
          if (c.empty()) return fail("empty key component");
          bool descending = c[0] == '-';
          std::string field = (c[0] == '-' || c[0] == '+') ? c.substr(1) : c;
          pending_components_.push_back({d_->keys.size(), k.components.size(), upper(trim(field)), line_});
          k.components.push_back(descending ? -1 : 1);
        }
      for (size_t i = 1; i < items.size(); ++i) {
        std::string w, a;
        if (!split_call(items[i], &w, &a, &has)) return fail("bad item " + items[i]);
        if (w == "DUP") k.attributes |= kKeyDup;
        else if (w == "OPT") k.attributes |= kKeyOpt;
        else if (w == "NOCASE") k.attributes |= kKeyNocase;
        else if (w == "PRIMARY") k.attributes |= kKeyPrimary;
        else if (w == "NAME") {
          if (!unquote(a, &k.external_name)) return fail("NAME needs a quoted text");
        } else return fail("unknown key attribute " + w);
      }
      if (k.components.size() > 255) return fail("a key has at most 255 components");
      d_->keys.push_back(std::move(k));
      return true;
    }
    if (word == "MEMO" || word == "BLOB") {
      MemoBlock m;
      m.label = upper(label);
      if (word == "BLOB") m.flags |= kMemoBlob;
      else if (!parse_number(args, &m.size) || m.size == 0) return fail("MEMO needs its size");
      for (size_t i = 1; i < items.size(); ++i) {
        std::string w, a;
        if (!split_call(items[i], &w, &a, &has)) return fail("bad item " + items[i]);
        if (w == "BINARY") m.flags |= kMemoBinary;
        else if (w == "NAME") {
          if (!unquote(a, &m.external_name)) return fail("NAME needs a quoted text");
        } else return fail("unknown memo attribute " + w);
      }
      d_->memos.push_back(std::move(m));
      return true;
    }
    return fail("expected KEY, INDEX, MEMO, BLOB or RECORD");
  }

  bool field_line(const std::string& s, std::vector<size_t>& groups) {
    size_t sp = s.find_first_of(" \t");
    if (sp == std::string::npos) return fail("a field needs a label and a type");
    FieldDescriptor f;
    f.label = upper(s.substr(0, sp));
    auto items = split_items(trim(s.substr(sp)));
    std::string word, args;
    bool has;
    if (!split_call(items[0], &word, &args, &has)) return fail("bad type " + items[0]);
    int type = field_type_from_name(word);
    if (type < 0) return fail("unknown type " + word);
    f.type = static_cast<uint8_t>(type);
    if (!type_arguments(f, args, has)) return false;
    for (size_t i = 1; i < items.size(); ++i) {
      std::string w, a;
      if (!split_call(items[i], &w, &a, &has)) return fail("bad item " + items[i]);
      if (w == "DIM") {
        for (const std::string& n : split_items(a)) {
          uint32_t v;
          if (!parse_number(n, &v) || v == 0) return fail("bad DIM");
          f.dimensions.push_back(v);
        }
      } else if (w == "OVER") {
        int over = find_field(*d_, trim(a));
        if (over == 0) return fail("OVER names an unknown field");
        f.over = over;
      } else if (w == "NAME") {
        if (!unquote(a, &f.external_name)) return fail("NAME needs a quoted text");
      } else return fail("unknown field attribute " + w);
    }
    if (f.external_name.empty()) f.external_name = f.label;
    if (!groups.empty()) ++d_->fields[groups.back()].group_count;
    d_->fields.push_back(std::move(f));
    if (d_->fields.back().type == kTypeGroup) groups.push_back(d_->fields.size() - 1);
    return true;
  }

  void close_group(std::vector<size_t>& groups) { groups.pop_back(); }

  bool type_arguments(FieldDescriptor& f, const std::string& args, bool has) {
    uint32_t fixed = fixed_type_size(f.type);
    if (fixed) {
      if (has) return fail(std::string(field_type_name(f.type)) + " takes no size");
      f.size = fixed;
      return true;
    }
    if (is_decimal_type(f.type)) {
      auto parts = split_items(args);
      uint32_t digits, places = 0;
      if (!has || !parse_number(parts[0], &digits) || digits == 0 || digits > 31 ||
          (parts.size() > 1 && !parse_number(parts[1], &places)) || places > digits)
        return fail("DECIMAL needs (digits,places)");
      f.size = digits / 2 + 1;
      f.places = places;
      return true;
    }
    if (is_string_type(f.type)) {
      if (!has) return fail("a string needs its length");
      std::string a = trim(args);
      if (!a.empty() && a[0] == '@') {
        f.picture = a.substr(1);
        size_t p = 1;
        while (p < f.picture.size() && !std::isdigit(static_cast<unsigned char>(f.picture[p]))) ++p;
        uint32_t n = 0;
        if (p > f.picture.size() || !parse_number(f.picture.substr(p), &n) || n == 0)
          return fail("a string picture must give its length");
        f.size = n + (f.type == kTypeString ? 0 : 1);
      } else if (!parse_number(a, &f.size) || f.size == 0) {
        return fail("bad string length");
      }
      if (f.type == kTypePstring && f.size > 256) return fail("a PSTRING holds at most 255 characters");
      return true;
    }
    if (f.type == kTypeGroup || f.type == kTypeMemo || f.type == kTypeBlob) return true;
    return fail(std::string("type ") + field_type_name(f.type) + " cannot be stored");
  }

  bool finish() {
    for (const Pending& p : pending_components_) {
      int n = find_field(*d_, p.field);
      if (n == 0) {
        line_ = p.line;
        return fail("key component names an unknown field " + p.field);
      }
      int32_t& c = d_->keys[p.key].components[p.component];
      c = c < 0 ? -n : n;
    }
    if (d_->fields.empty()) return fail("the record has no fields");
    if (!lay_out_record(*d_)) return fail("the record layout is impossible");
    return true;
  }

  struct Pending {
    size_t key, component;
    std::string field;
    int line;
  };
  FileDeclaration* d_;
  std::string* message_;
  int line_ = 0;
  std::vector<Pending> pending_components_;
};

void write_field(std::ostringstream& out, const FileDeclaration& d, size_t& i, int depth) {
  const FieldDescriptor& f = d.fields[i];
  out << std::string(static_cast<size_t>(depth) * 2, ' ') << f.label << ' ' << field_type_name(f.type);
  if (is_decimal_type(f.type)) out << '(' << f.digits() << ',' << f.places << ')';
  else if (is_string_type(f.type)) {
    if (!f.picture.empty()) out << "(@" << f.picture << ')';
    else out << '(' << f.size << ')';
  }
  if (!f.dimensions.empty()) {
    out << ", DIM(";
    for (size_t k = 0; k < f.dimensions.size(); ++k) out << (k ? "," : "") << f.dimensions[k];
    out << ')';
  }
  if (f.over > 0 && static_cast<size_t>(f.over) <= d.fields.size()) out << ", OVER(" << d.fields[f.over - 1].label << ')';
  if (!f.external_name.empty() && f.external_name != f.label) out << ",NAME('" << f.external_name << "')";
  out << '\n';
  ++i;
  if (f.type == kTypeGroup) {
    for (uint32_t n = 0; n < f.group_count && i < d.fields.size(); ++n) write_field(out, d, i, depth + 1);
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << "END\n";
  }
}

}  // namespace

bool parse_declaration(const std::string& text, FileDeclaration* declaration, std::string* message) {
  FileDeclaration d;
  Parser p(&d, message);
  if (!p.run(text)) return false;
  *declaration = std::move(d);
  return true;
}

std::string write_declaration(const FileDeclaration& d, bool with_labels) {
  std::ostringstream out;
  if (with_labels && !d.label.empty()) out << d.label << ' ';
  out << "FILE,DRIVER('" << d.driver << '\'';
  if (!d.options.empty()) out << ",'" << d.options << '\'';
  out << ')';
  if (d.has_owner) out << ",OWNER(******)";
  if (!d.name.empty()) out << ",NAME('" << d.name << "')";
  if (with_labels && !d.prefix.empty()) out << ",PRE(" << d.prefix << ')';
  if (d.attributes & kAttrCreate) out << ",CREATE";
  if (d.attributes & kAttrEncrypt) out << ",ENCRYPT";
  if (d.attributes & kAttrReclaim) out << ",RECLAIM";
  if (d.attributes & kAttrThread) out << ",THREAD";
  out << '\n';
  for (const KeyBlock& k : d.keys) {
    if (with_labels && !k.label.empty()) out << k.label << ' ';
    out << (k.dynamic_index() ? "INDEX(" : "KEY(");
    for (size_t c = 0; c < k.components.size(); ++c) {
      int32_t n = k.components[c];
      int32_t field = n < 0 ? -n : n;
      const char* label = field >= 1 && static_cast<size_t>(field) <= d.fields.size()
                              ? d.fields[static_cast<size_t>(field) - 1].label.c_str()
                              : "?";
      out << (c ? "," : "") << (n < 0 ? '-' : '+') << label;
    }
    out << ')';
    if (k.attributes & kKeyDup) out << ",DUP";
    if (k.attributes & kKeyOpt) out << ",OPT";
    if (k.attributes & kKeyNocase) out << ",NOCASE";
    if (k.attributes & kKeyPrimary) out << ",PRIMARY";
    if (!k.external_name.empty()) out << ",NAME('" << k.external_name << "')";
    out << '\n';
  }
  for (const MemoBlock& m : d.memos) {
    if (with_labels && !m.label.empty()) out << m.label << ' ';
    if (m.is_blob()) out << "BLOB";
    else out << "MEMO(" << m.size << ')';
    if (!m.external_name.empty()) out << ",NAME('" << m.external_name << "')";
    if (m.flags & kMemoBinary) out << ",BINARY";
    out << '\n';
  }
  out << "RECORD\n";
  size_t i = 0;
  while (i < d.fields.size()) write_field(out, d, i, 0);
  out << "END\nEND\n\n";
  return out.str();
}

}  // namespace vrt::data
