// The 100 points a browse spreads from the lowest to the highest value of
// its sort key, by which the scroll thumb stands for the selected record
// and a dragged thumb chooses where the list starts again.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace marlock {

using KeyValue = std::variant<int64_t, std::string>;

class KeyDistribution {
 public:
  static constexpr int kPoints = 100;

  // Numeric keys: evenly spread, rounded to whole numbers.
  void build(int64_t lowest, int64_t highest);
  // String keys: the common prefix of the two values (upper-cased), then
  // four places counted in the upper-case letters among character codes 1
  // to 255; a place past a value's text counts 0 and is shown as a blank.
  void build(const std::string& lowest, const std::string& highest);
  void clear() { built_ = false; }
  bool built() const { return built_; }

  // Point n, 1 to 100.
  const KeyValue& point(int n) const { return points_[static_cast<size_t>(n - 1)]; }
  // The thumb for a key value: the number of the first point not below it,
  // 0 for point 1 and 100 for point 100 (or past it).
  int thumb(const KeyValue& value) const;

 private:
  std::array<KeyValue, kPoints> points_;
  bool built_ = false;
};

// The letters of the string distribution: upper-case letters by the
// runtime's character classes, in code order.
const std::string& distribution_alphabet();

}  // namespace marlock
