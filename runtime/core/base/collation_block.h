// The six character tables as one 1152-byte block, stored by the data driver
// with each file so that its keys keep the order they were built in.
//
//   OFFSET  SIZE  MEANING
//        0   256  ANSI collation weights
//      256   256  OEM collation weights
//      512   256  case partner codes
//      768   256  case kinds
//     1024    64  digraph table, 16 x {char, first, second, 0}
//     1088    64  OEM copy of the digraph table
#pragma once
#include <cstdint>

namespace vrt::core {

inline constexpr int kCollationBlockSize = 1152;

void save_collation_block(uint8_t block[kCollationBlockSize]);
void load_collation_block(const uint8_t block[kCollationBlockSize]);

}  // namespace vrt::core
