#include "runtime/core/values/type_codes.h"

namespace vrt::core {

namespace {

struct TypeInfo {
  const char* name;
  uint8_t fixed_size;  // 0: declared with the field
  bool text;
};

constexpr TypeInfo kTypes[kLastTypeCode + 1] = {
    {"END", 0, false},     {"BYTE", 1, false},     {"SHORT", 2, false},    {"USHORT", 2, false},
    {"DATE", 4, false},    {"TIME", 4, false},     {"LONG", 4, false},     {"ULONG", 4, false},
    {"SREAL", 4, false},   {"REAL", 8, false},     {"DECIMAL", 0, false},  {"PDECIMAL", 0, false},
    {"DUM1", 0, false},    {"BFLOAT4", 4, false},  {"BFLOAT8", 8, false},  {"ANY", 0, false},
    {"TEMPUFO", 0, false}, {"(17)", 0, false},     {"STRING", 0, true},    {"CSTRING", 0, true},
    {"PSTRING", 0, true},  {"MEMO", 0, false},     {"GROUP", 0, false},    {"CLASS", 0, false},
    {"ARRAY", 0, false},   {"FIELD", 0, false},    {"QUEUE", 0, false},    {"BLOB", 0, false},
    {"STACKSTR", 0, false}, {"PICTURE", 0, false}, {"STDNUM", 0, false},
};

}  // namespace

const char* type_name(int code) {
  if (code < 0 || code > kLastTypeCode) return "UNKNOWN";
  return kTypes[code].name;
}

uint32_t fixed_storage_size(TypeCode type) {
  auto code = static_cast<int>(type);
  return code <= kLastTypeCode ? kTypes[code].fixed_size : 0;
}

bool is_text_type(TypeCode type) {
  auto code = static_cast<int>(type);
  return code <= kLastTypeCode && kTypes[code].text;
}

}  // namespace vrt::core
