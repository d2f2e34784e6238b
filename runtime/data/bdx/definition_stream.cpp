#include "runtime/data/bdx/definition_stream.h"

#include "runtime/data/driver/field_types.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/driver/record_layout.h"

namespace vrt::data {

namespace {

constexpr uint16_t kOverFlag = 0x8000;
constexpr uint8_t kIndexByte = 0x80;

class Writer {
 public:
  void u8(uint32_t v) { s_.push_back(static_cast<char>(v)); }
  void u16(uint32_t v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void str(const std::string& v) {
    if (v.empty()) {
      u8(0);
      u8(0);
      return;
    }
    s_.append(v);
    u8(0);
  }
  void absent() {
    u8(0);
    u8(1);
  }
  std::string take() { return std::move(s_); }

 private:
  std::string s_;
};

class Reader {
 public:
  explicit Reader(const std::string& s) : s_(s) {}
  bool u8(uint32_t* v) {
    if (pos_ >= s_.size()) return false;
    *v = static_cast<uint8_t>(s_[pos_++]);
    return true;
  }
  bool u16(uint32_t* v) {
    uint32_t a, b;
    if (!u8(&a) || !u8(&b)) return false;
    *v = a | b << 8;
    return true;
  }
  bool str(std::string* v, bool* absent = nullptr) {
    if (absent) *absent = false;
    if (pos_ >= s_.size()) return false;
    if (s_[pos_] == 0) {
      if (pos_ + 1 >= s_.size()) return false;
      if (absent) *absent = s_[pos_ + 1] == 1;
      pos_ += 2;
      v->clear();
      return true;
    }
    size_t z = s_.find('\0', pos_);
    if (z == std::string::npos) return false;
    *v = s_.substr(pos_, z - pos_);
    pos_ = z + 1;
    return true;
  }
  bool done() const { return pos_ == s_.size(); }

 private:
  const std::string& s_;
  size_t pos_ = 0;
};

}  // namespace

std::string encode_definition(const FileDeclaration& d) {
  Writer w;
  bool has_blob = false;
  for (const MemoBlock& m : d.memos) has_blob |= m.is_blob();
  w.u16(has_blob ? 2 : 1);
  w.u16(d.record_length);
  w.u16(static_cast<uint32_t>(d.fields.size()));
  w.u16(static_cast<uint32_t>(d.memos.size()));
  // Dynamic indexes are the program's own: the file keeps no trace of them.
  uint32_t stored_keys = 0;
  for (const KeyBlock& k : d.keys) stored_keys += k.dynamic_index() ? 0 : 1;
  w.u16(stored_keys);
  for (size_t i = 0; i < d.fields.size(); ++i) {
    const FieldDescriptor& f = d.fields[i];
    w.u8(f.type);
    w.u16(f.offset);
    w.str(f.label);
    w.u16(f.elements());
    w.u16(f.size);
    w.u16(f.type == kTypeGroup ? f.group_count : f.over ? kOverFlag | static_cast<uint32_t>(f.over) : 0);
    w.u16(static_cast<uint32_t>(i + 1));
    if (is_decimal_type(f.type)) {
      w.u8(f.digits());
      w.u8(f.places);
    }
    if (is_string_type(f.type)) {
      w.u16(f.size);
      if (f.picture.empty()) w.absent();
      else w.str(f.picture);
    }
  }
  for (const MemoBlock& m : d.memos) {
    w.str(m.external_name);
    w.str(m.label);
    w.u16(m.size);
    w.u16(m.flags);
  }
  for (const KeyBlock& k : d.keys) {
    if (k.dynamic_index()) continue;
    w.str(k.external_name);
    w.str(k.label);
    w.u8(k.attributes & 0x7F);
    w.u16(static_cast<uint32_t>(k.components.size()));
    for (int32_t c : k.components) {
      w.u16(static_cast<uint32_t>((c < 0 ? -c : c) - 1));
      w.u16(c < 0 ? 1 : 0);
    }
  }
  return w.take();
}

bool decode_definition(const std::string& stream, FileDeclaration* out) {
  Reader r(stream);
  FileDeclaration d;
  uint32_t version, length, fields, memos, keys;
  if (!r.u16(&version) || (version != 1 && version != 2) || !r.u16(&length) || !r.u16(&fields) || !r.u16(&memos) ||
      !r.u16(&keys) || fields == 0 || memos > kMaxMemos || keys > kMaxKeys)
    return false;
  for (uint32_t i = 0; i < fields; ++i) {
    FieldDescriptor f;
    uint32_t type, offset, elements, size, flags, index;
    if (!r.u8(&type) || !r.u16(&offset) || !r.str(&f.label) || !r.u16(&elements) || !r.u16(&size) ||
        !r.u16(&flags) || !r.u16(&index) || type > kTypeLastCode || elements == 0)
      return false;
    f.type = static_cast<uint8_t>(type);
    f.external_name = f.label;
    f.size = size;
    if (elements > 1) f.dimensions.push_back(elements);
    if (f.type == kTypeGroup) f.group_count = flags;
    else if (flags & kOverFlag) f.over = static_cast<int32_t>(flags & ~kOverFlag);
    if (is_decimal_type(f.type)) {
      uint32_t digits, places;
      if (!r.u8(&digits) || !r.u8(&places) || digits != 2 * size - 1 || places > digits) return false;
      f.places = places;
    }
    if (is_string_type(f.type)) {
      uint32_t declared;
      bool absent;
      if (!r.u16(&declared) || !r.str(&f.picture, &absent) || declared != size) return false;
    }
    f.offset = offset;
    d.fields.push_back(std::move(f));
  }
  for (uint32_t i = 0; i < memos; ++i) {
    MemoBlock m;
    uint32_t size, flags;
    if (!r.str(&m.external_name) || !r.str(&m.label) || !r.u16(&size) || !r.u16(&flags)) return false;
    m.size = size;
    m.flags = static_cast<uint8_t>(flags);
    d.memos.push_back(std::move(m));
  }
  for (uint32_t i = 0; i < keys; ++i) {
    KeyBlock k;
    uint32_t attributes, count;
    if (!r.str(&k.external_name) || !r.str(&k.label) || !r.u8(&attributes) || !r.u16(&count) || count > 255)
      return false;
    // Files written before indexes were left out marked them with 0x80.
    k.attributes = (attributes & 0x7F) | ((attributes & kIndexByte) ? uint32_t{kKeyIndex} : 0u);
    for (uint32_t c = 0; c < count; ++c) {
      uint32_t field, flags;
      if (!r.u16(&field) || !r.u16(&flags) || field >= fields) return false;
      int32_t n = static_cast<int32_t>(field) + 1;
      k.components.push_back((flags & 1) ? -n : n);
    }
    d.keys.push_back(std::move(k));
  }
  if (!r.done()) return false;
  // The stored offsets must be the ones the layout gives.
  std::vector<uint32_t> offsets;
  for (const FieldDescriptor& f : d.fields) offsets.push_back(f.offset);
  if (!lay_out_record(d) || d.record_length != length) return false;
  for (size_t i = 0; i < d.fields.size(); ++i)
    if (d.fields[i].offset != offsets[i]) return false;
  *out = std::move(d);
  return true;
}

bool definition_matches(const std::string& stored, const FileDeclaration& declaration) {
  FileDeclaration s;
  if (!decode_definition(stored, &s)) return false;
  FileDeclaration a = declaration;
  for (KeyBlock& k : a.keys) k.attributes &= ~kKeyPrimary;
  for (KeyBlock& k : s.keys) k.attributes &= ~kKeyPrimary;
  return encode_definition(s) == encode_definition(a);
}

}  // namespace vrt::data
