// The browse's key distribution: the points and the thumb they give.
#include "app/browse/key_distribution.h"

#include <gtest/gtest.h>

namespace marlock {
namespace {

TEST(KeyDistribution, NumericPointsSpreadEvenlyAndRound) {
  KeyDistribution d;
  d.build(int64_t{1}, int64_t{100});
  EXPECT_EQ(std::get<int64_t>(d.point(1)), 1);
  EXPECT_EQ(std::get<int64_t>(d.point(2)), 2);
  EXPECT_EQ(std::get<int64_t>(d.point(100)), 100);
  d.build(int64_t{0}, int64_t{10});
  EXPECT_EQ(std::get<int64_t>(d.point(50)), 5);  // 49 * 10 / 99 = 4.95
  // The thumb: the first point not below the value; 0 and 100 at the ends.
  EXPECT_EQ(d.thumb(int64_t{0}), 0);
  EXPECT_EQ(d.thumb(int64_t{5}), 46);  // 45 * 10 / 99 = 4.55 rounds to 5
  EXPECT_EQ(d.thumb(int64_t{10}), 96);  // 95 * 10 / 99 = 9.6 is the first to round to 10
  EXPECT_EQ(d.thumb(int64_t{11}), 100);
}

TEST(KeyDistribution, ASingleRecordOrEqualEndsGiveOnePointEverywhere) {
  KeyDistribution d;
  d.build(int64_t{7}, int64_t{7});
  for (int n : {1, 50, 100}) EXPECT_EQ(std::get<int64_t>(d.point(n)), 7);
  EXPECT_EQ(d.thumb(int64_t{7}), 0);
  d.build(std::string("SMITH"), std::string("SMITH"));
  EXPECT_EQ(std::get<std::string>(d.point(50)), "SMITH    ");  // the prefix, then four places of nothing
  EXPECT_EQ(d.thumb(std::string("SMITH")), 0);
}

TEST(KeyDistribution, StringPointsCountInLettersAfterTheCommonPrefix) {
  KeyDistribution d;
  d.build(std::string("Abbott"), std::string("Young"));
  EXPECT_EQ(std::get<std::string>(d.point(1)), "Abbott");
  EXPECT_EQ(std::get<std::string>(d.point(100)), "Young");
  // No common prefix: the points walk from "ABBO" towards "YOUN" in order.
  std::string previous;
  for (int n = 2; n < 100; ++n) {
    const std::string& p = std::get<std::string>(d.point(n));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_GT(p, previous);
    previous = p;
  }
  EXPECT_EQ(d.thumb(std::string("abbott")), 0);  // case does not count
  int middle = d.thumb(std::string("Mills"));
  EXPECT_GT(middle, 40);
  EXPECT_LT(middle, 60);
  EXPECT_EQ(d.thumb(std::string("Zed")), 100);
  // A shared prefix is kept in every point.
  d.build(std::string("Walker, Anna"), std::string("Walker, Zoe"));
  EXPECT_EQ(std::get<std::string>(d.point(2)).substr(0, 8), "WALKER, ");
}

}  // namespace
}  // namespace marlock
