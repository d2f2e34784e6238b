#include "runtime/data/bdx/oem_text.h"

#include <algorithm>

#include "runtime/data/driver/field_types.h"
#include "runtime/platform/os/codepage.h"

namespace vrt::data {

namespace {

template <typename Convert>
void convert_text_fields(const FileDeclaration& d, std::string* record, Convert convert) {
  for (const FieldDescriptor& f : d.fields) {
    if (!is_string_type(f.type) || f.offset + f.total_size() > record->size()) continue;
    char* p = record->data() + f.offset;
    size_t n = f.total_size();
    if (f.type == kTypeCstring) n = static_cast<size_t>(std::find(p, p + n, '\0') - p);
    if (f.type == kTypePstring) {
      n = std::min<size_t>(static_cast<uint8_t>(p[0]), f.size - 1);
      ++p;
    }
    convert(p, p, n);
  }
}

}  // namespace

void record_text_to_oem(const FileDeclaration& d, std::string* record) {
  convert_text_fields(d, record, platform::CharToOemBuff);
}

void record_text_to_ansi(const FileDeclaration& d, std::string* record) {
  convert_text_fields(d, record, platform::OemToCharBuff);
}

}  // namespace vrt::data
