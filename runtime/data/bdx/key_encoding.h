// Key values as bytes that sort correctly as raw bytes. Each component is
// encoded into exactly its field's size:
//
//   TYPE                      ENCODING
//   STRING, GROUP             bytes as they are, then NOCASE, then collation
//   CSTRING                   bytes to the zero, zeros to the size, ditto
//   PSTRING                   the L characters after the length byte, zeros
//   USHORT ULONG DATE TIME    bytes reversed (big-endian)
//   SHORT LONG                reversed, first byte XOR 0x80
//   SREAL REAL                reversed; sign clear: first byte OR 0x80;
//                             sign set: every byte inverted
//   DECIMAL                   packed bytes; sign nibble set: cleared and
//                             every byte inverted; then first byte XOR 0x80
//   anything else             bytes as they are
//
// A descending component is inverted after encoding (255 - b); for reals
// and negative decimals the inversion is toggled instead.
//
// A key entry (a record of the tree):
//   table number (4, BE) | key number (1) | key value | record number (4, BE)
// where the record number ends the key of a DUP key and is the data of any
// other key.
#pragma once
#include <cstdint>
#include <string>

#include "runtime/data/driver/file_block.h"
#include "runtime/data/bdx/table_collation.h"

namespace vrt::data {

// The kind byte of a key's entries and counters: its place among the keys
// the file stores, which leave out the dynamic indexes (the program's own,
// built in memory and never written to the file or its definition).
uint8_t key_kind(const FileDeclaration& declaration, int key);

// The size of the key's encoded value (the sum of its component sizes).
size_t key_value_size(const FileDeclaration& declaration, const KeyBlock& key);

// Appends the key's encoded value for the record buffer.
void encode_key_value(const FileDeclaration& declaration, const KeyBlock& key, const uint8_t* record,
                      const TableCollation& collation, std::string* out);

// True when every component is empty (blanks for STRING and GROUP, a zero
// first byte for CSTRING and PSTRING, zero bytes otherwise): an OPT key
// makes no entry for such a record.
bool key_fields_empty(const FileDeclaration& declaration, const KeyBlock& key, const uint8_t* record);

// The entry of a record under key number `key` of table `table`: false when
// an OPT key makes no entry. Index entries, like DUP entries, end their key
// with the record number; other entries keep it as their data.
bool make_key_entry(const FileDeclaration& declaration, int key, uint32_t table, const TableCollation& collation,
                    const uint8_t* record, uint32_t number, std::string* entry_key, std::string* entry_data);

}  // namespace vrt::data
