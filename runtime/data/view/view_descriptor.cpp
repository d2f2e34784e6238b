#include <cctype>

#include "runtime/data/driver/record_layout.h"
#include "runtime/data/view/view.h"

namespace vrt::data {

namespace {

constexpr int kMaxDepth = 16;

class DescriptorReader {
 public:
  DescriptorReader(const std::string& bytes, const std::vector<std::pair<FileBlock*, int>>& files)
      : b_(bytes), files_(files) {}

  bool node(ViewNode* out, const FileBlock* parent, int depth, std::string* message) {
    if (depth > kMaxDepth) return fail("the view nests deeper than " + std::to_string(kMaxDepth), message);
    if (next_file_ >= files_.size()) return fail("the view names more files than it was given", message);
    out->file = files_[next_file_].first;
    out->key = files_[next_file_].second;
    ++next_file_;
    uint8_t first;
    if (!byte(&first)) return fail("the view ends inside a join", message);
    if (first == 0xFF) {
      std::string text;
      uint8_t c;
      while (true) {
        if (!byte(&c)) return fail("a join text has no end", message);
        if (c == 0) break;
        text += static_cast<char>(c);
      }
      out->join_text = text;
      if (parent && !text_join(out, *parent, text)) out->join_expression = text;
    } else {
      for (uint8_t i = 0; i < first; ++i) {
        uint16_t field;
        if (!word(&field)) return fail("the view ends inside a join's fields", message);
        if (parent && (field == 0 || field > parent->declaration.fields.size()))
          return fail("a join names field " + std::to_string(field) + " its parent does not have", message);
        if (parent) out->link_fields.push_back(field);
      }
    }
    uint8_t inner;
    if (!byte(&inner)) return fail("the view ends before INNER", message);
    out->inner = inner != 0;
    uint16_t count;
    if (!word(&count)) return fail("the view ends before the projection", message);
    if (count != 0xFFFF)
      for (uint16_t i = 0; i < count; ++i) {
        uint16_t field, memo;
        if (!word(&field)) return fail("the view ends inside the projection", message);
        if (field == 0xFFFF) {
          if (!word(&memo)) return fail("the view ends inside the projection", message);
          out->projected_memos.push_back(memo);  // read with their record anyway
          continue;
        }
        if (field == 0 || field > out->file->declaration.fields.size())
          return fail("the projection names field " + std::to_string(field) + " the file does not have", message);
        out->projection.push_back(field);
      }
    uint8_t children;
    if (!byte(&children)) return fail("the view ends before its child count", message);
    for (uint8_t i = 0; i < children; ++i) {
      out->children.emplace_back();
      if (!node(&out->children.back(), out->file, depth + 1, message)) return false;
    }
    return true;
  }

  bool finished() const { return at_ == b_.size() && next_file_ == files_.size(); }

 private:
  bool byte(uint8_t* v) {
    if (at_ >= b_.size()) return false;
    *v = static_cast<uint8_t>(b_[at_++]);
    return true;
  }
  bool word(uint16_t* v) {
    uint8_t lo, hi;
    if (!byte(&lo) || !byte(&hi)) return false;
    *v = static_cast<uint16_t>(lo | (hi << 8));
    return true;
  }
  static bool fail(const std::string& why, std::string* message) {
    *message = why;
    return false;
  }

  // A key name as the join: the key's components take the values of the
  // parent's fields of the same names (prefix aside).
  static bool text_join(ViewNode* out, const FileBlock& parent, const std::string& text) {
    const auto& keys = out->file->declaration.keys;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (!equal_nocase(keys[k].label, text)) continue;
      out->key = static_cast<int>(k);
      for (int32_t c : keys[k].components) {
        const std::string& label = out->file->declaration.fields[static_cast<size_t>((c < 0 ? -c : c) - 1)].label;
        std::string bare = label.substr(label.find(':') + 1);
        int match = 0;
        for (size_t f = 0; f < parent.declaration.fields.size(); ++f) {
          const std::string& pl = parent.declaration.fields[f].label;
          if (equal_nocase(pl.substr(pl.find(':') + 1), bare)) match = static_cast<int>(f + 1);
        }
        if (!match) break;
        out->link_fields.push_back(match);
      }
      return true;
    }
    return false;
  }

  static bool equal_nocase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  }

  const std::string& b_;
  const std::vector<std::pair<FileBlock*, int>>& files_;
  size_t at_ = 0;
  size_t next_file_ = 0;
};

}  // namespace

bool parse_view_descriptor(const std::string& bytes, const std::vector<std::pair<FileBlock*, int>>& files,
                           ViewNode* primary, std::string* message) {
  DescriptorReader reader(bytes, files);
  *primary = ViewNode{};
  if (!reader.node(primary, nullptr, 0, message)) return false;
  if (!reader.finished()) {
    *message = "the view's bytes and files do not end together";
    return false;
  }
  return true;
}

}  // namespace vrt::data
