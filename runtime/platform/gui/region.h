// A region as a list of rectangles that do not overlap: enough for the
// visible part of a window, which is its rectangle less the few windows
// that cover it.
#pragma once
#include <vector>

#include "runtime/platform/gfx/gdi_types.h"

namespace vrt::platform {

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& r) {
    if (!r.empty()) rects_.push_back(r);
  }
  void subtract(const RECT& cut);
  void intersect(const RECT& clip);
  bool empty() const { return rects_.empty(); }
  RECT bounds() const;
  const std::vector<RECT>& rects() const { return rects_; }

 private:
  std::vector<RECT> rects_;
};

}  // namespace vrt::platform
