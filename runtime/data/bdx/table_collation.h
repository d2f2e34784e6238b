// The character tables a table's string keys were built with, kept in the
// table's collation record so that its keys keep their order whatever the
// settings of a later run.
//
//   OFFSET  SIZE  MEANING (collation record data, 1153 bytes)
//        0     1  1 when the table keeps text in the OEM character set
//        1  1152  collation block: ANSI weights, OEM weights, case partners,
//                 case kinds, digraphs, OEM digraphs (256/256/256/256/64/64)
#pragma once
#include <cstdint>
#include <string>

#include "runtime/core/base/collation_block.h"

namespace vrt::data {

inline constexpr size_t kCollationRecordSize = 1 + core::kCollationBlockSize;
static_assert(kCollationRecordSize == 1153, "collation record layout");

struct TableCollation {
  bool oem = false;
  uint8_t block[core::kCollationBlockSize] = {};

  // The runtime's tables of the moment (for a new table).
  static TableCollation from_settings();
  std::string encode() const;
  bool decode(const std::string& data);

  const uint8_t* weights() const { return block + (oem ? 256 : 0); }
  const uint8_t* case_partner() const { return block + 512; }
  const uint8_t* case_kind() const { return block + 768; }
  const uint8_t* digraphs() const { return block + (oem ? 1088 : 1024); }
  uint8_t upper(uint8_t c) const;
};

}  // namespace vrt::data
