// Regular-expression patterns from anywhere: compiling and searching never
// crash, on a small stack. The first byte splits the rest of the input into
// pattern and text in proportion, so that patterns as long as the input
// are tried.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string_view>

#include "fuzz/small_stack.h"
#include "runtime/core/expression/match.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t split = (size - 1) * data[0] / 255;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view pattern = rest.substr(0, std::min(split, rest.size()));
  std::string_view text = rest.substr(std::min(split, rest.size()));
  vrt::fuzz::on_small_stack([&] {
    for (int mode : {int{vrt::core::kMatchRegular}, vrt::core::kMatchRegular | vrt::core::kMatchNoCase,
                     int{vrt::core::kMatchWild}})
      (void)vrt::core::Match(text, pattern, mode);
  });
  return 0;
}
