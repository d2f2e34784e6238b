#include "runtime/core/base/string_compare.h"

#include <cmath>
#include <cstring>

#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

// Reads a text character by character, a digraph character as its two
// expansion characters, and blanks for ever once the text ends.
class CollatingReader {
 public:
  CollatingReader(std::string_view text, const Settings& s) : text_(text), settings_(s) {}

  bool done() const { return pos_ >= text_.size() && pending_ == 0; }

  uint8_t next() {
    if (pending_) {
      uint8_t c = pending_;
      pending_ = 0;
      return c;
    }
    if (pos_ >= text_.size()) return ' ';
    auto c = static_cast<uint8_t>(text_[pos_++]);
    for (int i = 0; i < kMaxDigraphs && settings_.digraphs[i][0]; ++i)
      if (settings_.digraphs[i][0] == c) {
        pending_ = settings_.digraphs[i][2];
        return settings_.digraphs[i][1];
      }
    return c;
  }

 private:
  std::string_view text_;
  const Settings& settings_;
  size_t pos_ = 0;
  uint8_t pending_ = 0;
};

int compare_with_digraphs(std::string_view a, std::string_view b, bool no_case, const Settings& s) {
  CollatingReader ra(a, s), rb(b, s);
  while (!ra.done() || !rb.done()) {
    uint8_t ca = ra.next(), cb = rb.next();
    if (no_case) {
      ca = to_upper(ca);
      cb = to_upper(cb);
    }
    if (ca != cb) {
      int d = s.collation_ansi[ca] - s.collation_ansi[cb];
      if (d) return d;
    }
  }
  return 0;
}

}  // namespace

int compare_strings(std::string_view a, std::string_view b, bool no_case) {
  const Settings& s = settings();
  if (s.digraphs[0][0]) return compare_with_digraphs(a, b, no_case, s);
  size_t n = a.size() > b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<uint8_t>(i < a.size() ? a[i] : ' ');
    auto cb = static_cast<uint8_t>(i < b.size() ? b[i] : ' ');
    if (ca == cb) continue;
    if (no_case) {
      ca = to_upper(ca);
      cb = to_upper(cb);
      if (ca == cb) continue;
    }
    int d = s.collation_ansi[ca] - s.collation_ansi[cb];
    if (d) return d;
  }
  return 0;
}

int compare_cstrings(const char* a, const char* b, bool no_case) {
  return compare_strings(std::string_view(a ? a : ""), std::string_view(b ? b : ""), no_case);
}

bool reals_equal(double a, double b) {
  double diff = a - b;
  if (diff == 0) return true;
  if (!std::isfinite(diff)) return false;
  int ed, ea, eb;
  std::frexp(diff, &ed);
  std::frexp(a == 0 ? 1.0 : a, &ea);
  std::frexp(b == 0 ? 1.0 : b, &eb);
  return ed + 50 < ea || ed + 50 < eb;
}

int compare_reals(double a, double b) {
  if (reals_equal(a, b)) return 0;
  return a < b ? -1 : 1;
}

}  // namespace vrt::core
