#include "runtime/core/base/collation_block.h"

#include <cstring>

#include "runtime/core/base/settings.h"

namespace vrt::core {

static_assert(sizeof(Settings::digraphs) == 64 && sizeof(Settings::digraphs_oem) == 64);

void save_collation_block(uint8_t block[kCollationBlockSize]) {
  const Settings& s = settings();
  std::memcpy(block, s.collation_ansi, 256);
  std::memcpy(block + 256, s.collation_oem, 256);
  std::memcpy(block + 512, s.case_partner, 256);
  std::memcpy(block + 768, s.case_kind, 256);
  std::memcpy(block + 1024, s.digraphs, 64);
  std::memcpy(block + 1088, s.digraphs_oem, 64);
}

void load_collation_block(const uint8_t block[kCollationBlockSize]) {
  Settings& s = settings();
  std::memcpy(s.collation_ansi, block, 256);
  std::memcpy(s.collation_oem, block + 256, 256);
  std::memcpy(s.case_partner, block + 512, 256);
  std::memcpy(s.case_kind, block + 768, 256);
  std::memcpy(s.digraphs, block + 1024, 64);
  std::memcpy(s.digraphs_oem, block + 1088, 64);
}

}  // namespace vrt::core
