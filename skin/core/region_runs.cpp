#include "skin/core/region_runs.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

bool InKeyRange(int value, int keyValue, int tolerance) {
  const int high = std::min(255, keyValue + std::max(0, tolerance));
  return value >= keyValue && value <= high;
}

}  // namespace

bool IsKeyPixel(std::uint32_t pixel, const RegionKey& key) {
  const int red = static_cast<int>((pixel >> 16) & 0xFF);
  const int green = static_cast<int>((pixel >> 8) & 0xFF);
  const int blue = static_cast<int>(pixel & 0xFF);
  return InKeyRange(red, key.red, key.tolerance) && InKeyRange(green, key.green, key.tolerance) &&
         InKeyRange(blue, key.blue, key.tolerance);
}

std::vector<RegionRect> RegionRuns(const std::uint32_t* pixels, int width, int height, int stride,
                                   const RegionKey& key) {
  std::vector<RegionRect> runs;
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return runs;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * stride;
    int x = 0;
    while (x < width) {
      while (x < width && IsKeyPixel(row[x], key)) ++x;
      const int start = x;
      while (x < width && !IsKeyPixel(row[x], key)) ++x;
      if (x > start) runs.push_back({start, y, x, y + 1});
    }
  }
  return runs;
}

std::vector<RegionBatch> RegionBatches(const std::vector<RegionRect>& runs, std::size_t batchSize) {
  std::vector<RegionBatch> batches;
  if (batchSize == 0) batchSize = kRegionBatchSize;
  for (std::size_t first = 0; first < runs.size(); first += batchSize) {
    const std::size_t last = std::min(runs.size(), first + batchSize);
    RegionBatch batch;
    batch.rects.assign(runs.begin() + static_cast<std::ptrdiff_t>(first),
                       runs.begin() + static_cast<std::ptrdiff_t>(last));
    RegionRect bounds{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 0, 0};
    for (const RegionRect& rect : batch.rects) {
      bounds.left = std::min(bounds.left, rect.left);
      bounds.top = std::min(bounds.top, rect.top);
      bounds.right = std::max(bounds.right, rect.right);
      bounds.bottom = std::max(bounds.bottom, rect.bottom);
    }
    batch.bounds = bounds;
    batches.push_back(std::move(batch));
  }
  return batches;
}
