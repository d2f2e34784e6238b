#include "runtime/data/bdx/key_encoding.h"

#include <algorithm>

#include "runtime/core/base/settings.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/platform/os/codepage.h"

namespace vrt::data {

namespace {

const FieldDescriptor& component_field(const FileDeclaration& d, int32_t component) {
  size_t n = static_cast<size_t>(component < 0 ? -component : component);
  return d.fields[n - 1];
}

// Text bytes of a string component: NOCASE, then digraph expansion and the
// collation weights, cut to the field's size. The buffer holds ANSI text; a
// table that keeps its text in the OEM character set weighs it as stored,
// through the OEM weights and digraphs.
void encode_text(const uint8_t* text, size_t length, size_t size, bool nocase, const TableCollation& c,
                 std::string* out) {
  const uint8_t* weights = c.weights();
  const uint8_t* digraphs = c.digraphs();
  size_t written = 0;
  auto put = [&](uint8_t b) {
    if (written < size) {
      out->push_back(static_cast<char>(weights[b]));
      ++written;
    }
  };
  for (size_t i = 0; i < size && written < size; ++i) {
    uint8_t b = i < length ? text[i] : 0;
    if (nocase) b = c.upper(b);
    if (c.oem) b = platform::ansi_to_oem(b);
    bool expanded = false;
    for (int d = 0; d < core::kMaxDigraphs && digraphs[4 * d] != 0 && b != 0; ++d)
      if (digraphs[4 * d] == b) {
        put(digraphs[4 * d + 1]);
        put(digraphs[4 * d + 2]);
        expanded = true;
        break;
      }
    if (!expanded) put(b);
  }
}

}  // namespace

uint8_t key_kind(const FileDeclaration& d, int key) {
  int kind = 0;
  for (int k = 0; k < key; ++k)
    if (!d.keys[static_cast<size_t>(k)].dynamic_index()) ++kind;
  return static_cast<uint8_t>(kind);
}

size_t key_value_size(const FileDeclaration& d, const KeyBlock& key) {
  size_t n = 0;
  for (int32_t c : key.components) n += component_field(d, c).size;
  return n;
}

void encode_key_value(const FileDeclaration& d, const KeyBlock& key, const uint8_t* record,
                      const TableCollation& collation, std::string* out) {
  bool nocase = (key.attributes & kKeyNocase) != 0;
  for (int32_t component : key.components) {
    const FieldDescriptor& f = component_field(d, component);
    const uint8_t* p = record + f.offset;
    size_t size = f.size;
    size_t start = out->size();
    bool invert = false;
    switch (f.type) {
      case kTypeString:
      case kTypeGroup:
        encode_text(p, size, size, nocase, collation, out);
        break;
      case kTypeCstring:
        encode_text(p, static_cast<size_t>(std::find(p, p + size, 0) - p), size, nocase, collation, out);
        break;
      case kTypePstring:
        encode_text(p + 1, std::min<size_t>(p[0], size - 1), size, nocase, collation, out);
        break;
      case kTypeUshort:
      case kTypeUlong:
      case kTypeDate:
      case kTypeTime:
        for (size_t i = size; i > 0; --i) out->push_back(static_cast<char>(p[i - 1]));
        break;
      case kTypeShort:
      case kTypeLong:
        for (size_t i = size; i > 0; --i) out->push_back(static_cast<char>(p[i - 1]));
        (*out)[start] = static_cast<char>((*out)[start] ^ 0x80);
        break;
      case kTypeSreal:
      case kTypeReal:
        for (size_t i = size; i > 0; --i) out->push_back(static_cast<char>(p[i - 1]));
        if ((*out)[start] & 0x80) invert = true;
        else (*out)[start] = static_cast<char>((*out)[start] | 0x80);
        break;
      case kTypeDecimal: {
        out->append(reinterpret_cast<const char*>(p), size);
        if (p[0] & 0xF0) {
          (*out)[start] = static_cast<char>(p[0] & 0x0F);
          invert = true;
        }
        break;
      }
      default:
        out->append(reinterpret_cast<const char*>(p), size);
        break;
    }
    bool toggles = f.type == kTypeSreal || f.type == kTypeReal || f.type == kTypeDecimal;
    if (component < 0) invert = toggles ? !invert : true;
    auto flip = [&] {
      for (size_t i = start; i < out->size(); ++i) (*out)[i] = static_cast<char>(~(*out)[i]);
    };
    if (f.type == kTypeDecimal) {
      // The sign rule inverts before the sign bit flips; a descending
      // component inverts after it.
      bool sign_inverts = (p[0] & 0xF0) != 0;
      if (sign_inverts && invert) flip();
      (*out)[start] = static_cast<char>((*out)[start] ^ 0x80);
      if (!sign_inverts && invert) flip();
    } else if (invert) {
      flip();
    }
  }
}

bool key_fields_empty(const FileDeclaration& d, const KeyBlock& key, const uint8_t* record) {
  for (int32_t component : key.components) {
    const FieldDescriptor& f = component_field(d, component);
    const uint8_t* p = record + f.offset;
    switch (f.type) {
      case kTypeString:
      case kTypeGroup:
        if (!std::all_of(p, p + f.size, [](uint8_t b) { return b == ' '; })) return false;
        break;
      case kTypeCstring:
      case kTypePstring:
        if (p[0] != 0) return false;
        break;
      default:
        if (!std::all_of(p, p + f.size, [](uint8_t b) { return b == 0; })) return false;
        break;
    }
  }
  return true;
}

bool make_key_entry(const FileDeclaration& d, int key, uint32_t table, const TableCollation& collation,
                    const uint8_t* record, uint32_t number, std::string* entry_key, std::string* entry_data) {
  const KeyBlock& k = d.keys[static_cast<size_t>(key)];
  if ((k.attributes & kKeyOpt) && key_fields_empty(d, k, record)) return false;
  *entry_key = kind_prefix(table, key_kind(d, key));
  encode_key_value(d, k, record, collation, entry_key);
  entry_data->clear();
  if ((k.attributes & kKeyDup) || k.dynamic_index()) append_be32(entry_key, number);
  else append_be32(entry_data, number);
  return true;
}

}  // namespace vrt::data
