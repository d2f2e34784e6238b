#include "app/browse/key_distribution.h"

#include <algorithm>
#include <cmath>

#include "runtime/core/base/settings.h"
#include "runtime/core/text/text_functions.h"

namespace marlock {

namespace {

constexpr int kPlaces = 4;

// A character's count: its 1-based place in the alphabet, 0 when it is no
// letter or lies past the text.
int64_t count_of(const std::string& alphabet, const std::string& text, size_t at) {
  if (at >= text.size()) return 0;
  size_t found = alphabet.find(text[at]);
  return found == std::string::npos ? 0 : static_cast<int64_t>(found) + 1;
}

// The four places after the prefix as one number in base (alphabet + 1).
int64_t number_of(const std::string& alphabet, const std::string& text, size_t prefix) {
  int64_t n = 0;
  for (int i = 0; i < kPlaces; ++i)
    n = n * static_cast<int64_t>(alphabet.size() + 1) + count_of(alphabet, text, prefix + static_cast<size_t>(i));
  return n;
}

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

int compare(const KeyValue& a, const KeyValue& b) {
  if (a.index() != b.index()) return 0;
  if (const auto* n = std::get_if<int64_t>(&a)) {
    int64_t m = std::get<int64_t>(b);
    return *n < m ? -1 : *n > m ? 1 : 0;
  }
  // Strings compare without case and without trailing blanks.
  std::string x = trimmed(vrt::core::Upper(std::get<std::string>(a)));
  std::string y = trimmed(vrt::core::Upper(std::get<std::string>(b)));
  return x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
}

}  // namespace

const std::string& distribution_alphabet() {
  // The case table can change with the profile, so the letters are looked
  // up each time they are asked for.
  thread_local std::string letters;
  letters.clear();
  for (int c = 1; c < 256; ++c)
    if (vrt::core::settings().case_kind[c] == vrt::core::kCaseUpper) letters.push_back(static_cast<char>(c));
  return letters;
}

void KeyDistribution::build(int64_t lowest, int64_t highest) {
  for (int i = 1; i <= kPoints; ++i) {
    double at = static_cast<double>(lowest) +
                static_cast<double>(highest - lowest) * static_cast<double>(i - 1) / (kPoints - 1);
    points_[static_cast<size_t>(i - 1)] = static_cast<int64_t>(std::llround(at));
  }
  points_.front() = lowest;
  points_.back() = highest;
  built_ = true;
}

void KeyDistribution::build(const std::string& lowest, const std::string& highest) {
  const std::string& alphabet = distribution_alphabet();
  std::string low = trimmed(vrt::core::Upper(lowest)), high = trimmed(vrt::core::Upper(highest));
  size_t prefix = 0;
  while (prefix < low.size() && prefix < high.size() && low[prefix] == high[prefix]) ++prefix;
  int64_t low_n = number_of(alphabet, low, prefix), high_n = number_of(alphabet, high, prefix);
  int64_t step = (high_n - low_n) / (kPoints - 1);
  int64_t base = static_cast<int64_t>(alphabet.size() + 1);
  for (int i = 2; i < kPoints; ++i) {
    int64_t n = low_n + step * (i - 1);
    std::string places(kPlaces, ' ');
    for (int p = kPlaces - 1; p >= 0; --p, n /= base) {
      int64_t digit = n % base;
      if (digit > 0) places[static_cast<size_t>(p)] = alphabet[static_cast<size_t>(digit - 1)];
    }
    points_[static_cast<size_t>(i - 1)] = low.substr(0, prefix) + places;
  }
  points_.front() = lowest;
  points_.back() = highest;
  built_ = true;
}

int KeyDistribution::thumb(const KeyValue& value) const {
  if (!built_) return 0;
  for (int n = 1; n <= kPoints; ++n)
    if (compare(point(n), value) >= 0) return n == 1 ? 0 : n;
  return kPoints;
}

}  // namespace marlock
