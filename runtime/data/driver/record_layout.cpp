#include "runtime/data/driver/record_layout.h"

#include <cctype>

#include "runtime/data/driver/field_types.h"

namespace vrt::data {

namespace {

constexpr uint32_t kMaxRecordLength = 65535;

// Lays out fields [first, first + count) from offset; returns the end offset
// or -1 on an impossible layout. `next` receives the index after the list.
int64_t lay_out_list(std::vector<FieldDescriptor>& fields, size_t first, size_t count, uint32_t offset, size_t* next) {
  size_t i = first;
  uint32_t at = offset;
  for (size_t n = 0; n < count; ++n) {
    if (i >= fields.size()) return -1;
    FieldDescriptor& f = fields[i];
    size_t self = i;
    uint32_t start = at;
    if (f.over != 0) {
      if (f.over < 1 || static_cast<size_t>(f.over) > self) return -1;
      start = fields[static_cast<size_t>(f.over) - 1].offset;
    }
    f.offset = start;
    uint64_t size;
    if (f.type == kTypeGroup) {
      int64_t end = lay_out_list(fields, self + 1, f.group_count, start, &i);
      if (end < 0) return -1;
      f.size = static_cast<uint32_t>(end - start);
      size = static_cast<uint64_t>(f.size) * f.elements();
    } else {
      if (f.size == 0 && f.type != kTypeMemo && f.type != kTypeBlob) return -1;
      size = static_cast<uint64_t>(f.size) * f.elements();
      i = self + 1;
    }
    if (start + size > kMaxRecordLength) return -1;
    if (f.over == 0) at = static_cast<uint32_t>(start + size);
  }
  *next = i;
  return at;
}

std::string upper(const std::string& s) {
  std::string u = s;
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

}  // namespace

bool lay_out_record(FileDeclaration& d) {
  // Group members are counted in their group, so the top-level list is
  // shorter than the field count: lay out until every field is placed.
  uint32_t at = 0;
  size_t next = 0;
  while (next < d.fields.size()) {
    size_t after;
    int64_t end = lay_out_list(d.fields, next, 1, at, &after);
    if (end < 0) return false;
    at = static_cast<uint32_t>(end);
    next = after;
  }
  d.record_length = at;
  // A field laid OVER another must not reach past the record.
  for (const FieldDescriptor& f : d.fields)
    if (uint64_t{f.offset} + uint64_t{f.size} * f.elements() > d.record_length) return false;
  return true;
}

int find_field(const FileDeclaration& d, const std::string& label) {
  std::string want = upper(label);
  for (size_t i = 0; i < d.fields.size(); ++i)
    if (upper(d.fields[i].label) == want) return static_cast<int>(i + 1);
  return 0;
}

}  // namespace vrt::data
