// INSTRING(sub, text, step, start): sub is looked for at the offsets
// start - 1, start - 1 + step, ... while it fits; the result is the step
// number at which it is found (offset div step + 1), or 0.
#pragma once
#include <cstdint>
#include <string_view>

namespace vrt::core {

int64_t Instring(std::string_view sub, std::string_view text, int64_t step = 1, int64_t start = 1);

}  // namespace vrt::core
