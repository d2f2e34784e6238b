// Fuzzes the list format reader: whatever the bytes, validation gives 0 or a
// position within the text or just past it, agrees with the parse, and
// nothing reads out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/window/controls/list_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);  // exactly `size` bytes on the heap
  size_t error = vrt::window::validate_list_format(text);
  if (error > size + 1) std::abort();
  vrt::window::ListFormat f = vrt::window::parse_list_format(text);
  if (f.error != error) std::abort();
  if (error == 0 && size > 0 && f.columns.empty()) std::abort();  // a well-formed text has a column
  return 0;
}
