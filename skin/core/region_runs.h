#pragma once
// The outline of a shaped window, cut from a mask picture: every horizontal run of pixels that
// are not the key colour becomes a one-pixel-high rectangle. The platform builds regions from
// at most kRegionBatchSize rectangles at a time, so the runs are handed over in batches.
#include <cstddef>
#include <cstdint>
#include <vector>

struct RegionRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const RegionRect&) const = default;
};

struct RegionBatch {
  std::vector<RegionRect> rects;
  // Bounding box of `rects` (the header of the region data).
  RegionRect bounds;
};

inline constexpr std::size_t kRegionBatchSize = 2000;

// A pixel is transparent when each of its red, green and blue values lies in
// [key value, key value + tolerance] (the upper end capped at 255).
struct RegionKey {
  std::uint8_t red = 255;
  std::uint8_t green = 255;
  std::uint8_t blue = 255;
  int tolerance = 0;
};

bool IsKeyPixel(std::uint32_t pixel, const RegionKey& key);

// Scans `height` rows of `width` pixels, top row first; pixels are 0x00RRGGBB words as in a
// 32-bit device-independent bitmap, rows `stride` pixels apart. Runs come row by row, left to
// right.
std::vector<RegionRect> RegionRuns(const std::uint32_t* pixels, int width, int height, int stride,
                                   const RegionKey& key);

// Splits the runs into batches of at most `batchSize` rectangles in their order, each with its
// bounding box. No runs, no batches.
std::vector<RegionBatch> RegionBatches(const std::vector<RegionRect>& runs,
                                       std::size_t batchSize = kRegionBatchSize);
