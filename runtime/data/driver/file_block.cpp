#include "runtime/data/driver/file_block.h"

#include <cstring>

#include "runtime/data/driver/field_types.h"

namespace vrt::data {

uint32_t FieldDescriptor::elements() const {
  uint32_t n = 1;
  for (uint32_t d : dimensions) {
    if (d == 0) break;
    n *= d;
  }
  return n;
}

void FileBlock::attach() {
  for (KeyBlock& k : declaration.keys) k.file = this;
  record.assign(declaration.record_length, 0);
}

int FileBlock::key_number(const KeyBlock* key) const {
  const auto& keys = declaration.keys;
  if (keys.empty() || key < &keys.front() || key > &keys.back()) return -1;
  return static_cast<int>(key - &keys.front());
}

std::string FileBlock::display_name() const {
  return declaration.name.empty() ? declaration.label : declaration.name;
}

void clear_record(FileBlock& f) {
  for (const FieldDescriptor& d : f.declaration.fields) {
    if (d.type == kTypeGroup || d.offset + d.total_size() > f.record.size()) continue;
    std::memset(f.record.data() + d.offset, d.type == kTypeString ? ' ' : 0, d.total_size());
  }
}

}  // namespace vrt::data
