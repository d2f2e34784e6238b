#include "runtime/data/bdx/table_limits.h"

#include "runtime/data/bdx/definition_stream.h"
#include "runtime/data/bdx/key_encoding.h"
#include "runtime/data/bdx/store/bdx_page.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/field_types.h"

namespace vrt::data {

namespace {

// A record alone in a page, stored plain: the page header, its flag byte
// and two lengths, its key and data.
constexpr size_t kMaxLoneRecord = kMaxStoredPage - kPageHeaderSize - 5;
constexpr size_t kDataKeySize = 9;  // table number, kind, record number
constexpr size_t kMaxRecordBuffer = kMaxLoneRecord - kDataKeySize;
// Two index records of a key entry (table number and key number, the value,
// a record number), each with 9 bytes of page overhead, under the split
// bound.
constexpr size_t kMaxKeyValue = (kSplitBound - kPageHeaderSize) / 2 - 9 - 9;
constexpr uint32_t kMaxMemoSize = 0xFFFF;

bool storable_type(uint8_t type) {
  switch (type) {
    case kTypeByte: case kTypeShort: case kTypeUshort: case kTypeDate: case kTypeTime: case kTypeLong:
    case kTypeUlong: case kTypeSreal: case kTypeReal: case kTypeDecimal: case kTypePdecimal:
    case kTypeBfloat4: case kTypeBfloat8: case kTypeString: case kTypeCstring: case kTypePstring:
    case kTypeGroup:
      return true;
    default:
      return false;
  }
}

}  // namespace

static_assert(kMaxRecordBuffer == 15077 && kMaxKeyValue == 7522, "the limits in table_limits.h");

int check_storable(const FileDeclaration& d) {
  if (d.fields.empty() || d.keys.size() > kMaxKeys || d.memos.size() > kMaxMemos) return kInvalidDeclaration;
  if (d.record_length == 0 || d.record_length > kMaxRecordBuffer) return kInvalidDeclaration;
  for (const FieldDescriptor& f : d.fields)
    if (!storable_type(f.type)) return kInvalidDeclaration;
  for (const KeyBlock& k : d.keys) {
    for (int32_t c : k.components) {
      int32_t n = c < 0 ? -c : c;
      if (n < 1 || static_cast<size_t>(n) > d.fields.size()) return kInvalidDeclaration;
    }
    if (key_value_size(d, k) > kMaxKeyValue) return kInvalidDeclaration;
  }
  for (const MemoBlock& m : d.memos)
    if (m.size > kMaxMemoSize) return kInvalidDeclaration;
  // The stored definition must read back as the declaration.
  std::string stored = encode_definition(d);
  FileDeclaration back;
  if (!decode_definition(stored, &back) || encode_definition(back) != stored) return kInvalidDeclaration;
  return kOk;
}

int check_memo_sizes(const FileDeclaration& d) {
  for (const MemoBlock& m : d.memos)
    if (m.is_blob() && m.value.size() > kMaxMemoChunks * kMemoChunk) return kRecordLimitExceeded;
  return kOk;
}

}  // namespace vrt::data
