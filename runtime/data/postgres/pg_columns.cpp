#include "runtime/data/postgres/pg_columns.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "runtime/core/values/decimal_field.h"
#include "runtime/data/driver/field_types.h"

namespace vrt::data {

namespace {

struct TypeColumn {
  uint8_t type;
  const char* sql_type;
  ColumnKind kind;
};
constexpr TypeColumn kTypeColumns[] = {
    {kTypeByte, "smallint", ColumnKind::kUnsigned},    {kTypeShort, "smallint", ColumnKind::kSigned},
    {kTypeUshort, "integer", ColumnKind::kUnsigned},   {kTypeLong, "integer", ColumnKind::kSigned},
    {kTypeUlong, "bigint", ColumnKind::kUnsigned},     {kTypeSreal, "real", ColumnKind::kFloat},
    {kTypeReal, "double precision", ColumnKind::kFloat}, {kTypeString, "text COLLATE \"C\"", ColumnKind::kText},
    {kTypeCstring, "text COLLATE \"C\"", ColumnKind::kText}, {kTypePstring, "text COLLATE \"C\"", ColumnKind::kText},
};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The column's name: the external name (else the label) without the file's
// prefix, in lower case.
std::string base_name(const std::string& external, const std::string& label) {
  const std::string& name = external.empty() ? label : external;
  size_t colon = name.find(':');
  return lower(colon == std::string::npos ? name : name.substr(colon + 1));
}

std::string unique_name(std::string name, int number, std::set<std::string>* taken) {
  // A name from a declaration may hold anything; control characters (the
  // marks of a filter's values among them) never reach a statement.
  bool control =
      std::any_of(name.begin(), name.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20 || c == 0x7F; });
  if (name.empty() || name.size() > 60 || control || name.rfind("vrt_", 0) == 0 || taken->count(name))
    name = "f" + std::to_string(number);
  taken->insert(name);
  return name;
}

void latin1_to_utf8(const uint8_t* p, size_t n, std::string* out) {
  for (size_t i = 0; i < n; ++i) {
    if (p[i] < 0x80) {
      *out += static_cast<char>(p[i]);
    } else {
      *out += static_cast<char>(0xC0 | (p[i] >> 6));
      *out += static_cast<char>(0x80 | (p[i] & 0x3F));
    }
  }
}

// Text from the server back to bytes; a character beyond Latin-1 (written
// by some other program) becomes '?'.
std::string utf8_to_latin1(const char* s, int n) {
  std::string out;
  for (int i = 0; i < n;) {
    auto c = static_cast<uint8_t>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    if (c == 0xC2 || c == 0xC3) {
      if (i + 1 < n) out += static_cast<char>(((c & 0x03) << 6) | (static_cast<uint8_t>(s[i + 1]) & 0x3F));
    } else {
      out += '?';
    }
    i += 1 + extra;
  }
  return out;
}

std::string hex_text(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s = "\\x";
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

std::string bytes_of_hex(const char* s, int n) {
  std::string out;
  if (n < 2 || s[0] != '\\' || s[1] != 'x') return out;
  for (int i = 2; i + 1 < n; i += 2) out += static_cast<char>(hex_digit(s[i]) << 4 | hex_digit(s[i + 1]));
  return out;
}

int64_t read_integer(const uint8_t* p, uint32_t size, bool is_signed) {
  if (size == 1) return is_signed ? static_cast<int8_t>(p[0]) : p[0];
  if (size == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return is_signed ? static_cast<int16_t>(v) : v;
  }
  uint32_t v;
  std::memcpy(&v, p, 4);
  // Each branch its own type: one conditional would make both unsigned.
  if (is_signed) return static_cast<int32_t>(v);
  return v;
}

void write_integer(uint8_t* p, uint32_t size, int64_t v) {
  if (size == 1) p[0] = static_cast<uint8_t>(v);
  else if (size == 2) {
    auto x = static_cast<uint16_t>(v);
    std::memcpy(p, &x, 2);
  } else {
    auto x = static_cast<uint32_t>(v);
    std::memcpy(p, &x, 4);
  }
}

// The text a string field holds, by its kind of string.
bool string_bytes(const FieldDescriptor& f, const uint8_t* p, const uint8_t** from, size_t* n) {
  *from = p;
  if (f.type == kTypeCstring) {
    *n = static_cast<size_t>(std::find(p, p + f.size, 0) - p);
  } else if (f.type == kTypePstring) {
    *from = p + 1;
    *n = std::min<size_t>(p[0], f.size - 1);
  } else {
    *n = f.size;
    while (*n > 0 && p[*n - 1] == ' ') --*n;
  }
  return std::find(*from, *from + *n, 0) == *from + *n;
}

}  // namespace

std::vector<PgColumn> columns_of(const FileDeclaration& d) {
  std::vector<PgColumn> columns;
  std::set<std::string> taken;
  std::vector<std::pair<uint32_t, uint32_t>> covered;
  for (size_t i = 0; i < d.fields.size(); ++i) {
    const FieldDescriptor& f = d.fields[i];
    if (f.type == kTypeGroup || f.type == kTypeMemo || f.type == kTypeBlob || f.over != 0) continue;
    uint32_t begin = f.offset, end = f.offset + f.total_size();
    // Members of a group laid OVER another field lie in bytes stored already.
    bool aliased = std::any_of(covered.begin(), covered.end(),
                               [&](auto& r) { return begin < r.second && r.first < end; });
    if (aliased) continue;
    covered.emplace_back(begin, end);
    PgColumn c{unique_name(base_name(f.external_name, f.label), static_cast<int>(i + 1), &taken), "bytea",
               ColumnKind::kBytes, static_cast<int>(i)};
    if (f.elements() == 1) {
      for (const TypeColumn& t : kTypeColumns)
        if (t.type == f.type) {
          c.sql_type = t.sql_type;
          c.kind = t.kind;
        }
      if (is_decimal_type(f.type)) {
        int places = static_cast<int>(std::min<uint32_t>(f.places, core::kMaxDecimalPlaces));
        int digits = std::max(static_cast<int>(std::min<uint32_t>(f.digits(), 31)), std::max(places, 1));
        c.sql_type = "numeric(" + std::to_string(digits) + "," + std::to_string(places) + ")";
        c.kind = ColumnKind::kDecimal;
      }
    }
    columns.push_back(c);
  }
  for (size_t m = 0; m < d.memos.size(); ++m)
    columns.push_back({unique_name(base_name(d.memos[m].external_name, d.memos[m].label),
                                   static_cast<int>(d.fields.size() + m + 1), &taken),
                       "bytea", ColumnKind::kMemo, static_cast<int>(m)});
  return columns;
}

const PgColumn* column_of_field(const std::vector<PgColumn>& columns, int field) {
  for (const PgColumn& c : columns)
    if (c.kind != ColumnKind::kMemo && c.field == field) return &c;
  return nullptr;
}

bool column_param(const FileBlock& file, const PgColumn& c, PgParam* param, std::string* why, bool position) {
  param->null = false;
  param->text.clear();
  if (c.kind == ColumnKind::kMemo) {
    const std::string& v = file.declaration.memos[static_cast<size_t>(c.field)].value;
    param->text = hex_text(reinterpret_cast<const uint8_t*>(v.data()), v.size());
    return true;
  }
  const FieldDescriptor& f = file.declaration.fields[static_cast<size_t>(c.field)];
  const uint8_t* p = file.record.data() + f.offset;
  char buffer[64];
  switch (c.kind) {
    case ColumnKind::kSigned:
    case ColumnKind::kUnsigned:
      param->text = std::to_string(read_integer(p, f.size, c.kind == ColumnKind::kSigned));
      return true;
    case ColumnKind::kFloat: {
      double v;
      if (f.type == kTypeSreal) {
        float x;
        std::memcpy(&x, p, 4);
        v = x;
        std::snprintf(buffer, sizeof buffer, "%.9g", v);
      } else {
        std::memcpy(&v, p, 8);
        std::snprintf(buffer, sizeof buffer, "%.17g", v);
      }
      param->text = buffer;
      return true;
    }
    case ColumnKind::kDecimal:
      param->text = core::decimal_to_text(core::decimal_from_field(p, static_cast<int>(f.size),
                                                                   static_cast<int>(f.places), f.type == kTypePdecimal));
      return true;
    case ColumnKind::kText: {
      const uint8_t* from;
      size_t n;
      if (!string_bytes(f, p, &from, &n)) {
        if (position) {
          latin1_to_utf8(from, static_cast<size_t>(std::find(from, from + n, 0) - from), &param->text);
          return true;
        }
        *why = "the text of " + f.label + " holds a zero byte, which the server cannot keep";
        return false;
      }
      latin1_to_utf8(from, n, &param->text);
      return true;
    }
    default:
      param->text = hex_text(p, f.total_size());
      return true;
  }
}

void load_column(FileBlock& file, const PgColumn& c, const char* text, int length) {
  if (c.kind == ColumnKind::kMemo) {
    file.declaration.memos[static_cast<size_t>(c.field)].value = bytes_of_hex(text, length);
    return;
  }
  const FieldDescriptor& f = file.declaration.fields[static_cast<size_t>(c.field)];
  uint8_t* p = file.record.data() + f.offset;
  switch (c.kind) {
    case ColumnKind::kSigned:
    case ColumnKind::kUnsigned:
      write_integer(p, f.size, std::strtoll(text, nullptr, 10));
      return;
    case ColumnKind::kFloat: {
      double v = std::strtod(text, nullptr);
      if (f.type == kTypeSreal) {
        auto x = static_cast<float>(v);
        std::memcpy(p, &x, 4);
      } else {
        std::memcpy(p, &v, 8);
      }
      return;
    }
    case ColumnKind::kDecimal:
      core::decimal_to_field(core::decimal_from_text(text, static_cast<size_t>(length)), p, static_cast<int>(f.size),
                             static_cast<int>(f.places), f.type == kTypePdecimal);
      return;
    case ColumnKind::kText: {
      std::string s = utf8_to_latin1(text, length);
      if (f.type == kTypeString) {
        std::memset(p, ' ', f.size);
        std::memcpy(p, s.data(), std::min<size_t>(s.size(), f.size));
      } else if (f.type == kTypeCstring) {
        std::memset(p, 0, f.size);
        std::memcpy(p, s.data(), std::min<size_t>(s.size(), f.size - 1));
      } else {
        std::memset(p, 0, f.size);
        size_t n = std::min<size_t>(s.size(), f.size - 1);
        p[0] = static_cast<uint8_t>(n);
        std::memcpy(p + 1, s.data(), n);
      }
      return;
    }
    default: {
      std::string bytes = bytes_of_hex(text, length);
      std::memset(p, 0, f.total_size());
      std::memcpy(p, bytes.data(), std::min<size_t>(bytes.size(), f.total_size()));
      return;
    }
  }
}

std::string holds_value_condition(const PgColumn& c, const FieldDescriptor& f) {
  std::string col = quote_identifier(c.name);
  switch (c.kind) {
    case ColumnKind::kText: return col + " <> ''";
    case ColumnKind::kBytes: return col + " <> '\\x" + std::string(f.total_size() * 2, '0') + "'::bytea";
    default: return col + " <> 0";
  }
}

}  // namespace vrt::data
