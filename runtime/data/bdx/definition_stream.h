// The table definition a BDX file keeps with each table, as one byte stream
// cut into 512-byte records. Numbers are 16-bit little-endian; strings are
// their bytes and a zero (empty: 00 00, absent: 00 01); single bytes as they
// are.
//
//   version (1, or 2 with a BLOB), record length,
//   number of fields, of memos and blobs, of keys;
//   per field: type (1 byte), offset, name, elements, size of one element,
//     flags (a GROUP's field count, or 0x8000 + the field it lies OVER),
//     field number from 1; DECIMAL and PDECIMAL add digits and places (1
//     byte each); strings add their declared length and picture;
//   per memo: external name, label, size, flags (0x02 BINARY, 0x04 BLOB);
//   per key: external name, label, attributes (1 byte: the key bits), number
//     of components, then per component the field number from 0 and its
//     flags (1 descending). Dynamic indexes are not stored (a definition
//     written earlier marked them with 0x80, and still reads).
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

std::string encode_definition(const FileDeclaration& declaration);

// Decodes an untrusted stream into a laid-out declaration (fields, memos,
// keys and record length); false when it is not a sound definition.
bool decode_definition(const std::string& stream, FileDeclaration* declaration);

// True when the stored stream describes the declaration (the PRIMARY bit of
// keys is not compared).
bool definition_matches(const std::string& stored, const FileDeclaration& declaration);

}  // namespace vrt::data
