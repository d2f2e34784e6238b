// Writing the resource: each record's strings and blocks first, then the
// record, then its child lists, so that every next and child offset points
// forward (the loader refuses anything else). The byte layout of every
// record is in resource_format.h and kRecordShapes.
#include <algorithm>
#include <map>
#include <cstring>

#include "tools/rescomp/declaration_tree.h"

namespace vrt::window {

namespace {

void store32(std::vector<uint8_t>& b, uint32_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t append32(std::vector<uint8_t>& b, uint32_t v) {
  uint32_t at = static_cast<uint32_t>(b.size());
  b.resize(b.size() + 4);
  store32(b, at, v);
  return at;
}

uint32_t number_of(const DeclValue& v) { return v.kind == DeclValue::Word ? kNotGiven : static_cast<uint32_t>(v.number); }

class Writer {
 public:
  Writer() : b_(kBufferPrefix + 4, 0) {}

  std::vector<uint8_t> module(const DeclModule& m) {
    write_list(m.structures, kFirstStructureAt);
    std::vector<uint8_t> out(m.module.begin(), m.module.end());
    out.push_back(0);
    out.insert(out.end(), b_.begin() + kBufferPrefix, b_.end());
    return out;
  }

 private:
  uint32_t here() const { return static_cast<uint32_t>(b_.size()); }

  uint32_t text(const std::string& s) {
    uint32_t at = here();
    b_.insert(b_.end(), s.begin(), s.end());
    b_.push_back(0);
    return at;
  }

  // A block a field refers to; 0 for fields that hold a number.
  uint32_t block(const FieldShape& f, const std::vector<DeclValue>& v) {
    switch (f.kind) {
      case FieldKind::Text: return text(v[0].text);
      case FieldKind::Font: {
        uint32_t face = text(v[0].text);
        uint32_t at = append32(b_, face);
        append32(b_, number_of(v[1]));
        append32(b_, v.size() > 2 ? number_of(v[2]) : UINT32_MAX);
        append32(b_, v.size() > 3 ? number_of(v[3]) : UINT32_MAX);
        return at;
      }
      case FieldKind::Pen: {
        uint32_t at = here();
        for (size_t i = 0; i < 3; ++i) append32(b_, i < v.size() ? number_of(v[i]) : 0);
        return at;
      }
      case FieldKind::Widths: {
        uint32_t at = here();
        for (const DeclValue& d : v) append32(b_, number_of(d));
        append32(b_, 0);
        return at;
      }
      case FieldKind::Descriptor: {
        uint32_t at = here();
        b_.push_back(static_cast<uint8_t>(type_code_of(v[0].text)));
        append32(b_, number_of(v[1]));
        append32(b_, v.size() > 2 ? number_of(v[2]) : 0);
        return at;
      }
      default: return 0;
    }
  }

  uint32_t record(const DeclNode& n) {
    const RecordShape& shape = *n.shape;
    // Blocks first; a descriptor last, so that it stands directly before its
    // record (a list's queue descriptor always does).
    std::vector<std::pair<const FieldShape*, uint32_t>> blocks;
    const FieldShape* descriptor = nullptr;
    for (const FieldShape& f : shape.fields) {
      bool is_block = f.kind == FieldKind::Text || f.kind == FieldKind::Font || f.kind == FieldKind::Pen ||
                      f.kind == FieldKind::Widths;
      if (f.kind == FieldKind::Descriptor) descriptor = &f;
      else if (auto it = n.values.find(f.name); is_block && it != n.values.end())
        blocks.emplace_back(&f, block(f, it->second));
    }
    if (descriptor) {
      auto it = n.values.find(descriptor->name);
      if (it != n.values.end()) blocks.emplace_back(descriptor, block(*descriptor, it->second));
      else if (shape.type == RecordType::List)
        blocks.emplace_back(descriptor, block(*descriptor, {{DeclValue::Word, 0, "QUEUE"}, {}}));
    }

    uint32_t at = here();
    b_.resize(b_.size() + shape.size, 0);
    b_[at + kTypeAt] = static_cast<uint8_t>(shape.type);
    uint32_t flags2 = 0;
    store32(b_, at + kFlagsAt, shape.type == RecordType::Report ? n.flags & kReportKeptFlags : n.flags);
    if (n.field) store32(b_, at + kFieldAt, static_cast<uint32_t>(*n.field));
    for (const FieldShape& f : shape.fields) numbers(at, f, n);
    for (auto [f, offset] : blocks) store32(b_, at + f->at, offset);
    if (n.values.count("modal")) {
      flags2 = static_cast<uint32_t>(n.values.count("flags2") ? n.values.at("flags2")[0].number : 0) | kWindowModal;
      store32(b_, at + 81, flags2);
    }

    for (const FieldShape& f : shape.fields) {
      if (f.kind != FieldKind::Children) continue;
      const std::vector<DeclNode>& list = std::string_view(f.name) == "menubar"   ? n.menubar
                                          : std::string_view(f.name) == "toolbar" ? n.toolbar
                                                                                  : n.children;
      write_list(list, at + f.at);
    }
    return at;
  }

  void numbers(uint32_t at, const FieldShape& f, const DeclNode& n) {
    if (f.kind != FieldKind::Int && f.kind != FieldKind::Unsigned && f.kind != FieldKind::Word10) return;
    auto it = n.values.find(f.name);
    for (uint32_t i = 0; i < f.count; ++i) {
      if (f.kind == FieldKind::Word10) {
        uint32_t v = it == n.values.end() ? 0 : number_of(it->second[i]);
        b_[at + f.at] = static_cast<uint8_t>(v);
        b_[at + f.at + 1] = static_cast<uint8_t>(v >> 8);
        continue;
      }
      // Coordinates not given are stored as such; other numbers default to 0.
      uint32_t v = it != n.values.end() ? number_of(it->second[i]) : f.count > 1 ? kNotGiven : 0;
      store32(b_, at + f.at + 4 * i, v);
    }
  }

  // Writes a sibling list and points `link_at` (a field of the parent, or
  // the buffer header) at its first record.
  void write_list(const std::vector<DeclNode>& list, uint32_t link_at) {
    for (const DeclNode& n : list) {
      uint32_t at = record(n);
      store32(b_, link_at, at);
      link_at = at + kNextAt;
    }
  }

  std::vector<uint8_t> b_;
};

void number(DeclNode& n, int32_t& next, int32_t& next_menu, bool application) {
  bool menu_entry = n.shape->placement == Placement::MenuEntry;
  if (n.shape->type == RecordType::DetailBand) n.field = -1;
  if (n.shape->numbered && !n.field) {
    if (n.flags & kFlagSeparator && n.shape->type == RecordType::Item) n.field = 0;
    else if (menu_entry && application) n.field = next_menu--;
    else n.field = next++;
  }
  // In the order of the declaration, wherever the menu bar and toolbar stand.
  std::vector<DeclNode*> inner;
  for (auto* list : {&n.menubar, &n.toolbar, &n.children})
    for (DeclNode& c : *list) inner.push_back(&c);
  std::ranges::stable_sort(inner, {}, &DeclNode::line);
  for (DeclNode* c : inner) number(*c, next, next_menu, application);
}

}  // namespace

namespace {

// The numbered records of a structure, depth first (their lines tell them apart).
void numbered(const DeclNode& n, std::vector<const DeclNode*>& out) {
  if (n.field && *n.field != 0 && n.shape->type != RecordType::DetailBand) out.push_back(&n);
  for (auto* list : {&n.menubar, &n.toolbar, &n.children})
    for (const DeclNode& c : *list) numbered(c, out);
}

}  // namespace

void check_field_numbers(const DeclModule& module, std::string_view file, std::vector<std::string>& errors) {
  for (const DeclNode& s : module.structures) {
    std::vector<const DeclNode*> nodes;
    for (auto* list : {&s.menubar, &s.toolbar, &s.children})
      for (const DeclNode& c : *list) numbered(c, nodes);
    std::ranges::stable_sort(nodes, {}, &DeclNode::line);
    std::map<int32_t, const DeclNode*> taken;
    for (const DeclNode* n : nodes) {
      auto [at, fresh] = taken.emplace(*n->field, n);
      if (!fresh)
        errors.push_back(std::string(file) + ":" + std::to_string(n->line) + ": field number " +
                         std::to_string(*n->field) + " is taken by the " + at->second->shape->keyword + " on line " +
                         std::to_string(at->second->line));
    }
  }
}

void number_fields(DeclModule& module) {
  for (DeclNode& s : module.structures) {
    int32_t next = 1, next_menu = -1;
    number(s, next, next_menu, s.application);
  }
}

std::vector<uint8_t> write_resource(const DeclModule& module) { return Writer().module(module); }

}  // namespace vrt::window
