// Window outlines cut from mask pictures: runs per row and their batches.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "skin/core/region_runs.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kBlack = 0x00000000;

struct Mask {
  int width;
  int height;
  std::vector<std::uint32_t> pixels;
  Mask(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(w * h, fill) {}
  std::uint32_t& at(int x, int y) { return pixels[y * width + x]; }
};

// The set of pixels the rectangles cover; fails the test on overlapping rectangles.
std::set<std::pair<int, int>> Covered(const std::vector<RegionRect>& rects) {
  std::set<std::pair<int, int>> pixels;
  for (const RegionRect& rect : rects) {
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) {
        EXPECT_TRUE(pixels.insert({x, y}).second) << "pixel twice: " << x << "," << y;
      }
    }
  }
  return pixels;
}

TEST(RegionRuns, CornersCutFromAnOtherwiseOpaqueMask) {
  Mask mask(6, 4, kBlack);
  mask.at(0, 0) = mask.at(5, 0) = mask.at(0, 3) = mask.at(5, 3) = kWhite;
  const std::vector<RegionRect> runs =
      RegionRuns(mask.pixels.data(), mask.width, mask.height, mask.width, RegionKey{});
  const std::vector<RegionRect> expected = {{1, 0, 5, 1}, {0, 1, 6, 2}, {0, 2, 6, 3}, {1, 3, 5, 4}};
  EXPECT_EQ(runs, expected);
}

TEST(RegionRuns, KeyAndTolerance) {
  RegionKey white;  // white, tolerance 0: only pure white is cut away
  EXPECT_TRUE(IsKeyPixel(0x00FFFFFF, white));
  EXPECT_FALSE(IsKeyPixel(0x00FEFFFF, white));
  EXPECT_FALSE(IsKeyPixel(0x00FFFFFE, white));
  // The range is [key, key + tolerance], capped at 255.
  RegionKey grey{100, 100, 100, 10};
  EXPECT_TRUE(IsKeyPixel(0x00646464, grey));   // 100
  EXPECT_TRUE(IsKeyPixel(0x006E6E6E, grey));   // 110
  EXPECT_FALSE(IsKeyPixel(0x006F6E6E, grey));  // red 111
  EXPECT_FALSE(IsKeyPixel(0x00636464, grey));  // red 99
  RegionKey nearWhite{250, 250, 250, 20};
  EXPECT_TRUE(IsKeyPixel(0x00FFFFFF, nearWhite));
  EXPECT_FALSE(IsKeyPixel(0x00F9FFFF, nearWhite));
  // The top byte of a 32-bit pixel is not part of the colour.
  EXPECT_TRUE(IsKeyPixel(0xFFFFFFFF, white));
}

TEST(RegionRuns, RowsThatStartAndEndOpaqueAndStrideBeyondTheWidth) {
  // Width 5 within rows of 8 words: the words past the width are never read as pixels.
  const int stride = 8;
  std::vector<std::uint32_t> pixels(stride * 2, kBlack);
  pixels[2] = kWhite;           // row 0: runs [0,2) and [3,5)
  pixels[stride + 0] = kWhite;  // row 1: run [1,5)
  const std::vector<RegionRect> runs = RegionRuns(pixels.data(), 5, 2, stride, RegionKey{});
  const std::vector<RegionRect> expected = {{0, 0, 2, 1}, {3, 0, 5, 1}, {1, 1, 5, 2}};
  EXPECT_EQ(runs, expected);
}

TEST(RegionRuns, EmptyMasksAndBadSizesGiveNoRuns) {
  Mask white(7, 3, kWhite);
  EXPECT_TRUE(RegionRuns(white.pixels.data(), 7, 3, 7, RegionKey{}).empty());
  EXPECT_TRUE(RegionBatches({}).empty());
  EXPECT_TRUE(RegionRuns(nullptr, 7, 3, 7, RegionKey{}).empty());
  EXPECT_TRUE(RegionRuns(white.pixels.data(), 0, 3, 7, RegionKey{}).empty());
  EXPECT_TRUE(RegionRuns(white.pixels.data(), 7, -1, 7, RegionKey{}).empty());
  EXPECT_TRUE(RegionRuns(white.pixels.data(), 7, 3, 6, RegionKey{}).empty());
}

TEST(RegionRuns, CheckerboardBatchesCoverTheSameAreaAsOneBatch) {
  // 100 x 100 checkerboard: 5000 single-pixel runs, so three batches.
  Mask mask(100, 100, kWhite);
  for (int y = 0; y < 100; ++y) {
    for (int x = (y % 2); x < 100; x += 2) mask.at(x, y) = kBlack;
  }
  const std::vector<RegionRect> runs = RegionRuns(mask.pixels.data(), 100, 100, 100, RegionKey{});
  ASSERT_EQ(runs.size(), 5000u);
  const std::vector<RegionBatch> batches = RegionBatches(runs);
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].rects.size(), 2000u);
  EXPECT_EQ(batches[1].rects.size(), 2000u);
  EXPECT_EQ(batches[2].rects.size(), 1000u);

  std::vector<RegionRect> joined;
  for (const RegionBatch& batch : batches) {
    joined.insert(joined.end(), batch.rects.begin(), batch.rects.end());
    // Every rectangle lies inside its batch's bounds.
    for (const RegionRect& rect : batch.rects) {
      EXPECT_LE(batch.bounds.left, rect.left);
      EXPECT_LE(batch.bounds.top, rect.top);
      EXPECT_GE(batch.bounds.right, rect.right);
      EXPECT_GE(batch.bounds.bottom, rect.bottom);
    }
  }
  const std::vector<RegionBatch> single = RegionBatches(runs, runs.size());
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(Covered(joined), Covered(single[0].rects));
  EXPECT_EQ(Covered(joined).size(), 5000u);
  // First batch: rows 0-39; its bounds are tight.
  EXPECT_EQ(batches[0].bounds, (RegionRect{0, 0, 100, 40}));
  EXPECT_EQ(batches[2].bounds, (RegionRect{0, 80, 100, 100}));
  EXPECT_EQ(single[0].bounds, (RegionRect{0, 0, 100, 100}));
}

TEST(RegionRuns, BatchBoundsOfAnIrregularBatch) {
  const std::vector<RegionRect> runs = {{5, 2, 9, 3}, {1, 3, 4, 4}, {7, 8, 12, 9}};
  const std::vector<RegionBatch> batches = RegionBatches(runs, 2);
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0].bounds, (RegionRect{1, 2, 9, 4}));
  EXPECT_EQ(batches[1].bounds, (RegionRect{7, 8, 12, 9}));
}

}  // namespace
