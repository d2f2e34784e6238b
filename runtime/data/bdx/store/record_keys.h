// The keys of the records a table keeps in the tree. Every record but the
// table name starts with the table number (big-endian) and a kind byte:
//
//   KIND  RECORD            KEY AFTER TABLE AND KIND           DATA
//   00-EF key entry         encoded key value (+ record no.)   record no.
//   F3    data record       record number (4, big-endian)      record buffer
//   F6    counters          F3 or the key number (1)           count, word (4+4 LE)
//   FA    table definition  chunk sequence (2, little-endian)  <= 512 bytes
//   FB    collation         01                                 flag + 1152 bytes
//   FC    memo/blob chunk   record (4 BE), memo (1), seq (2 BE) chunk bytes
//   FE    table name        (no table number) FE + name        table number (4 BE)
//   FF    pending commit    (the single byte FF)               transaction record
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

enum RecordKind : uint8_t {
  kKindLastKey = 0xEF,
  kKindData = 0xF3,
  kKindCounters = 0xF6,
  kKindDefinition = 0xFA,
  kKindCollation = 0xFB,
  kKindMemo = 0xFC,
  kKindTableName = 0xFE,
  kKindPending = 0xFF,
};

inline constexpr size_t kMaxKeys = 240;
inline constexpr size_t kMaxMemos = 255;
inline constexpr size_t kDefinitionChunk = 512;
inline constexpr size_t kMemoChunk = 256;

inline void append_be32(std::string* s, uint32_t v) {
  uint8_t b[4];
  store_be32(b, v);
  s->append(reinterpret_cast<const char*>(b), 4);
}

// Table number and kind: the first five bytes of every record of a kind.
inline std::string kind_prefix(uint32_t table, uint8_t kind) {
  std::string k;
  k.reserve(16);
  append_be32(&k, table);
  k.push_back(static_cast<char>(kind));
  return k;
}

inline std::string data_key(uint32_t table, uint32_t record) {
  std::string k = kind_prefix(table, kKindData);
  append_be32(&k, record);
  return k;
}

inline std::string counters_key(uint32_t table, uint8_t which) {
  std::string k = kind_prefix(table, kKindCounters);
  k.push_back(static_cast<char>(which));
  return k;
}

inline std::string definition_key(uint32_t table, uint16_t sequence) {
  std::string k = kind_prefix(table, kKindDefinition);
  k.push_back(static_cast<char>(sequence & 0xFF));
  k.push_back(static_cast<char>(sequence >> 8));
  return k;
}

inline std::string collation_key(uint32_t table) {
  std::string k = kind_prefix(table, kKindCollation);
  k.push_back(1);
  return k;
}

inline std::string memo_key(uint32_t table, uint32_t record, uint8_t memo, uint16_t sequence) {
  std::string k = kind_prefix(table, kKindMemo);
  append_be32(&k, record);
  k.push_back(static_cast<char>(memo));
  k.push_back(static_cast<char>(sequence >> 8));
  k.push_back(static_cast<char>(sequence & 0xFF));
  return k;
}

inline std::string table_name_key(std::string_view name) {
  std::string k(1, static_cast<char>(kKindTableName));
  k.append(name);
  return k;
}

inline bool has_prefix(std::string_view key, std::string_view prefix) {
  return key.size() >= prefix.size() && key.substr(0, prefix.size()) == prefix;
}

inline uint32_t be32_at(std::string_view s, size_t at) {
  return load_be32(reinterpret_cast<const uint8_t*>(s.data() + at));
}

}  // namespace vrt::data
