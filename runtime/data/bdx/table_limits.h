// What one table of a BDX file can hold. CREATE refuses a declaration whose
// records, keys or memos the file could never store (47), rather than
// leaving a table that fails every ADD; ADD and PUT refuse a blob too large
// for its chunks (94) before anything is written.
//
//   LIMIT                WHY
//   record length 15077  a data record (9-byte key + the record) must fit
//                        a page of its own, stored plain
//   key value 7522       an index page must hold two keys (the split rule)
//   MEMO size 65535      the definition stores it in 16 bits
//   blob 16 MiB          65536 chunks of 256 bytes (a 16-bit sequence)
//   field types          those the record buffer can hold: numbers, dates
//                        and times, strings and groups (a MEMO or BLOB is
//                        declared beside the RECORD, not in it)
#pragma once
#include <cstddef>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

inline constexpr size_t kMaxMemoChunks = 65536;

// 0, or 47 "Invalid Record Declaration".
int check_storable(const FileDeclaration& declaration);

// 0, or 94 "Record Limit Exceeded" when a memo or blob of the buffer has
// more chunks than its 16-bit sequence numbers.
int check_memo_sizes(const FileDeclaration& declaration);

}  // namespace vrt::data
