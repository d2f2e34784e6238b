#include "runtime/core/text/instring.h"

#include <cstring>

namespace vrt::core {

namespace {

// Long subs in long texts skip ahead by the distance of the text character
// under the end of the window from the end of sub.
constexpr size_t kSkipTableSub = 5;
constexpr size_t kSkipTableText = 257;
constexpr size_t kMaxSkipWindow = 255;

int64_t skip_table_search(std::string_view sub, std::string_view text, size_t from) {
  const size_t m = sub.size();
  const size_t w = std::min(m, kMaxSkipWindow);  // the table covers sub's last w characters
  size_t skip[256];
  for (size_t& s : skip) s = w;
  for (size_t i = m - w; i + 1 < m; ++i) skip[static_cast<uint8_t>(sub[i])] = m - 1 - i;
  size_t pos = from;
  while (pos + m <= text.size()) {
    uint8_t last = static_cast<uint8_t>(text[pos + m - 1]);
    if (last == static_cast<uint8_t>(sub[m - 1]) && std::memcmp(text.data() + pos, sub.data(), m - 1) == 0)
      return static_cast<int64_t>(pos) + 1;
    pos += skip[last];
  }
  return 0;
}

}  // namespace

int64_t Instring(std::string_view sub, std::string_view text, int64_t step, int64_t start) {
  if (sub.empty() || start <= 0) return 0;
  if (step == 0) step = static_cast<int64_t>(sub.size());
  if (step < 0) return 0;
  if (static_cast<uint64_t>(start - 1) >= text.size()) return 0;
  size_t from = static_cast<size_t>(start - 1);
  if (step == 1) {
    if (sub.size() == 1) {
      const void* hit = std::memchr(text.data() + from, sub[0], text.size() - from);
      return hit ? static_cast<const char*>(hit) - text.data() + 1 : 0;
    }
    if (sub.size() >= kSkipTableSub && text.size() >= kSkipTableText) return skip_table_search(sub, text, from);
  }
  for (size_t off = from; off + sub.size() <= text.size(); off += static_cast<size_t>(step))
    if (std::memcmp(text.data() + off, sub.data(), sub.size()) == 0) return static_cast<int64_t>(off) / step + 1;
  return 0;
}

}  // namespace vrt::core
