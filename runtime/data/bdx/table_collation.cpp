#include "runtime/data/bdx/table_collation.h"

#include <cstring>

#include "runtime/core/base/settings.h"

namespace vrt::data {

TableCollation TableCollation::from_settings() {
  TableCollation c;
  c.oem = core::settings().oem_text;
  core::save_collation_block(c.block);
  return c;
}

std::string TableCollation::encode() const {
  std::string s(1, oem ? 1 : 0);
  s.append(reinterpret_cast<const char*>(block), sizeof block);
  return s;
}

bool TableCollation::decode(const std::string& data) {
  if (data.size() != kCollationRecordSize || static_cast<uint8_t>(data[0]) > 1) return false;
  oem = data[0] == 1;
  std::memcpy(block, data.data() + 1, sizeof block);
  return true;
}

uint8_t TableCollation::upper(uint8_t c) const {
  return case_kind()[c] == core::kCaseLower ? case_partner()[c] : c;
}

}  // namespace vrt::data
