// The lock area of a BDX file: one-byte ranges from 2^31 up, far beyond any
// real data, so they never block reading or writing of pages.
//
//   RANGE FROM 2^31   LENGTH  MEANING
//   0 .. 1022         1 each  reader slots: a reading process holds one
//   0                 1023    all reader slots: taken by the updater while
//                             it writes, so no reader sees a half update
//   1023              1       writer byte: the one process updating
//   1024 + 1 + n      1       record n held, or table n locked
//
// The store calls these at the start and end of every operation. In this
// version of the driver they take no locks yet: a file is used by one
// process at a time; the on-disk protocol (shadow area, bracketed header,
// change count) is already the one that sharing relies on.
#pragma once
#include <cstdint>

namespace vrt::data {

inline constexpr uint64_t kLockAreaBase = uint64_t{1} << 31;
inline constexpr uint64_t kReaderSlots = 1023;
inline constexpr uint64_t kWriterByte = kLockAreaBase + 1023;
inline constexpr uint64_t record_lock_offset(uint32_t number) { return kLockAreaBase + 1024 + 1 + number; }


}  // namespace vrt::data
