// Storage type codes: one byte naming a storage type wherever a type is
// recorded (field descriptors, parameters of untyped procedures, traces).
#pragma once
#include <cstdint>

namespace vrt::core {

enum class TypeCode : uint8_t {
  END = 0,       // end of a list of descriptors
  BYTE = 1,      // 1 byte, unsigned
  SHORT = 2,     // 2 bytes, signed, little-endian
  USHORT = 3,    // 2 bytes, unsigned
  DATE = 4,      // day, month, 16-bit year
  TIME = 5,      // hundredths, second, minute, hour
  LONG = 6,      // 4 bytes, signed
  ULONG = 7,     // 4 bytes, unsigned
  SREAL = 8,     // IEEE single
  REAL = 9,      // IEEE double
  DECIMAL = 10,  // packed decimal, sign first
  PDECIMAL = 11, // packed decimal, sign last
  DUM1 = 12,     // not used for data
  BFLOAT4 = 13,  // binary-format single, exponent last
  BFLOAT8 = 14,  // binary-format double, exponent last
  ANY = 15,      // reference to a value of any type
  TEMPUFO = 16,  // temporary value object
  UNNAMED17 = 17,
  STRING = 18,   // fixed length, blank padded
  CSTRING = 19,  // zero-terminated within a fixed length
  PSTRING = 20,  // length byte, then the text
  MEMO = 21,
  GROUP = 22,
  CLASS = 23,
  ARRAY = 24,
  FIELD = 25,
  QUEUE = 26,
  BLOB = 27,
  STACKSTR = 28, // a string that lives on the string stack
  PICTURE = 29,
  STDNUM = 30,
};

inline constexpr int kLastTypeCode = 30;

// The printed name of a code: "BYTE", "(17)" for 17, "UNKNOWN" for codes
// above 30 and negative codes.
const char* type_name(int code);

// The storage size of the fixed-size types (BYTE to REAL, BFLOAT4,
// BFLOAT8); 0 for types whose size is declared with the field.
uint32_t fixed_storage_size(TypeCode type);

// Types held as text (STRING, CSTRING, PSTRING).
bool is_text_type(TypeCode type);

}  // namespace vrt::core
