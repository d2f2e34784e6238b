// Regular-expression patterns from anywhere: compiling and searching never
// crash. The first byte splits the input into pattern and text.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string_view>

#include "runtime/core/expression/match.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t split = data[0] % size;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view pattern = rest.substr(0, std::min(split, rest.size()));
  std::string_view text = rest.substr(std::min(split, rest.size()));
  for (int mode : {int{vrt::core::kMatchRegular}, vrt::core::kMatchRegular | vrt::core::kMatchNoCase,
                   int{vrt::core::kMatchWild}})
    (void)vrt::core::Match(text, pattern, mode);
  return 0;
}
