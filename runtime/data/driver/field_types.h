// The storage type codes as the driver uses them in field descriptors, the
// stored table definition and declaration dumps: the runtime's type codes,
// with the few helpers the driver needs.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/core/values/type_codes.h"

namespace vrt::data {

constexpr uint8_t type_byte(core::TypeCode t) { return static_cast<uint8_t>(t); }

inline constexpr uint8_t kTypeByte = type_byte(core::TypeCode::BYTE);
inline constexpr uint8_t kTypeShort = type_byte(core::TypeCode::SHORT);
inline constexpr uint8_t kTypeUshort = type_byte(core::TypeCode::USHORT);
inline constexpr uint8_t kTypeDate = type_byte(core::TypeCode::DATE);
inline constexpr uint8_t kTypeTime = type_byte(core::TypeCode::TIME);
inline constexpr uint8_t kTypeLong = type_byte(core::TypeCode::LONG);
inline constexpr uint8_t kTypeUlong = type_byte(core::TypeCode::ULONG);
inline constexpr uint8_t kTypeSreal = type_byte(core::TypeCode::SREAL);
inline constexpr uint8_t kTypeReal = type_byte(core::TypeCode::REAL);
inline constexpr uint8_t kTypeDecimal = type_byte(core::TypeCode::DECIMAL);
inline constexpr uint8_t kTypePdecimal = type_byte(core::TypeCode::PDECIMAL);
inline constexpr uint8_t kTypeBfloat4 = type_byte(core::TypeCode::BFLOAT4);
inline constexpr uint8_t kTypeBfloat8 = type_byte(core::TypeCode::BFLOAT8);
inline constexpr uint8_t kTypeString = type_byte(core::TypeCode::STRING);
inline constexpr uint8_t kTypeCstring = type_byte(core::TypeCode::CSTRING);
inline constexpr uint8_t kTypePstring = type_byte(core::TypeCode::PSTRING);
inline constexpr uint8_t kTypeMemo = type_byte(core::TypeCode::MEMO);
inline constexpr uint8_t kTypeGroup = type_byte(core::TypeCode::GROUP);
inline constexpr uint8_t kTypeBlob = type_byte(core::TypeCode::BLOB);
inline constexpr int kTypeLastCode = core::kLastTypeCode;

inline const char* field_type_name(int code) { return core::type_name(code); }
// The code of a printed name, or -1.
int field_type_from_name(const std::string& name);
// The byte size of a fixed-size type, or 0 for sized ones.
inline uint32_t fixed_type_size(int code) {
  return code < 0 || code > kTypeLastCode ? 0 : core::fixed_storage_size(static_cast<core::TypeCode>(code));
}

inline bool is_string_type(int code) {
  return code == kTypeString || code == kTypeCstring || code == kTypePstring;
}
inline bool is_decimal_type(int code) { return code == kTypeDecimal || code == kTypePdecimal; }

}  // namespace vrt::data
