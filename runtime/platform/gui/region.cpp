#include "runtime/platform/gui/region.h"

#include <algorithm>

namespace vrt::platform {

// Each rectangle that meets the cut splits into up to four: the bands above
// and below the cut, and the pieces left and right of it between them.
void Region::subtract(const RECT& cut) {
  if (cut.empty()) return;
  std::vector<RECT> out;
  out.reserve(rects_.size() + 4);
  for (const RECT& r : rects_) {
    RECT i = vrt::platform::intersect(r, cut);
    if (i.empty()) {
      out.push_back(r);
      continue;
    }
    if (r.top < i.top) out.push_back({r.left, r.top, r.right, i.top});
    if (i.bottom < r.bottom) out.push_back({r.left, i.bottom, r.right, r.bottom});
    if (r.left < i.left) out.push_back({r.left, i.top, i.left, i.bottom});
    if (i.right < r.right) out.push_back({i.right, i.top, r.right, i.bottom});
  }
  rects_ = std::move(out);
}

void Region::intersect(const RECT& clip) {
  std::vector<RECT> out;
  for (const RECT& r : rects_) {
    RECT i = vrt::platform::intersect(r, clip);
    if (!i.empty()) out.push_back(i);
  }
  rects_ = std::move(out);
}

RECT Region::bounds() const {
  RECT b{};
  for (const RECT& r : rects_) b = unite(b, r);
  return b;
}

}  // namespace vrt::platform
