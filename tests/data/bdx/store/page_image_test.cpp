// The stored bytes the cache keeps beneath its decoded pages: within their
// budget, the images that lookups keep using (index pages) outlast those
// read once, and a guide goes with the image it was made from.
#include <gtest/gtest.h>

#include "runtime/data/bdx/store/bdx_header.h"
#include "runtime/data/bdx/store/page_cache.h"

namespace vrt::data {
namespace {

constexpr size_t kImage = 59 * kUnitSize;  // the largest page

TEST(PageImages, ImagesInUseOutlastThoseReadOnceWhenTheBudgetIsFull) {
  PageCache cache;
  std::vector<uint8_t> bytes(kImage, 0xB0);
  auto keep = [&](uint32_t unit) { cache.keep_image(unit, bytes.data(), bytes.size()); };
  keep(0);
  keep(59);
  keep(118);
  size_t fit = PageCache::kImageBudget / kImage;
  uint32_t unit = 177;
  // The first image is used all along, the second once at the start, the
  // third never: it goes first, the second a round later.
  cache.use_image(59);
  for (size_t n = 3; n < fit + 10; ++n, unit += 59) {
    cache.use_image(0);
    keep(unit);
  }
  EXPECT_EQ(cache.image(118), nullptr);
  EXPECT_NE(cache.image(59), nullptr);
  for (size_t n = 0; n < fit; ++n, unit += 59) {
    cache.use_image(0);
    keep(unit);
  }
  EXPECT_EQ(cache.image(59), nullptr);
  EXPECT_NE(cache.image(0), nullptr);
  EXPECT_NE(cache.image(unit - 59), nullptr);
}

TEST(PageImages, AGuideGoesWithItsImage) {
  // A leaf of 40 short records, guided from the second lookup on.
  Page leaf;
  for (int i = 0; i < 40; ++i) leaf.records.insert(leaf.records.size(), "k" + std::to_string(100 + i), "data");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(encode_page(leaf, 3, &bytes));
  PageCache cache;
  cache.keep_image(3, bytes.data(), bytes.size());
  EXPECT_EQ(cache.guide(3), nullptr);
  const PageGuide* guide = cache.guide(3);
  ASSERT_NE(guide, nullptr);
  EXPECT_GE(guide->marks.size(), 3u);
  // Written over: the guide of the old bytes is gone.
  Page other;
  other.records.insert(0, "only", "one");
  ASSERT_TRUE(encode_page(other, 3, &bytes));
  cache.note_write(unit_offset(3), bytes.data(), bytes.size());
  ASSERT_NE(cache.image(3), nullptr);
  EXPECT_EQ(cache.guide(3), nullptr);
  const PageGuide* fresh = cache.guide(3);
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->marks.empty());
  cache.drop_image(3);
  EXPECT_EQ(cache.guide(3), nullptr);
}

}  // namespace
}  // namespace vrt::data
