// A CSV value put into a field of the record buffer, refused when the field
// cannot hold it: import must never store something other than what it was
// given.
//
//   FIELD TYPE                 TAKES
//   BYTE SHORT USHORT LONG     a number in the type's range, rounded to a
//   ULONG                      whole number
//   DATE TIME                  a standard date or time, or 0 for none
//   DECIMAL PDECIMAL           a number with at most digits - places integer
//                              digits, rounded to the field's places
//   SREAL REAL BFLOAT4 BFLOAT8 a finite number in the type's range
//   STRING CSTRING PSTRING     text of at most the field's characters (a
//                              CSTRING and PSTRING keep one byte for their
//                              end or length); trailing blanks do not count
// Rounding is half away from zero (1.005 in DECIMAL(5,2) is 1.01). An empty
// value is zero, or an empty text.
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::bdx_tool {

// Whether import can fill a field of this type at all.
bool importable_type(uint8_t type);

// Puts the text into the field; false, with *problem saying why and the
// buffer left alone, when the field cannot hold the value.
bool put_field_text(data::FileBlock& file, size_t field, const std::string& text, std::string* problem);

}  // namespace vrt::bdx_tool
