// Region building from any mask: the runs cover exactly the pixels that are not the key colour,
// one row each, left to right and without overlap; the batches hand over every run in order
// within their bounds.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "skin/core/region_runs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const int width = static_cast<int>(input.Below(160));
  const int height = static_cast<int>(input.Below(160));
  const int stride = width + static_cast<int>(input.Below(4));
  RegionKey key;
  key.red = input.Byte();
  key.green = input.Byte();
  key.blue = input.Byte();
  key.tolerance = static_cast<int>(input.Below(300)) - 20;
  // Each input byte paints a run of pixels: the key colour or one near or far from it.
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * height);
  const std::uint32_t keyPixel = std::uint32_t(key.red) << 16 | key.green << 8 | key.blue;
  for (std::size_t i = 0; i < pixels.size();) {
    const std::uint8_t b = input.Byte();
    const std::uint32_t pixel =
        b & 0x80 ? keyPixel : (b & 0x40 ? keyPixel ^ (b & 0x3F) : b * 0x10101u);
    for (std::size_t n = 1 + (b & 0x0F); n > 0 && i < pixels.size(); --n) pixels[i++] = pixel;
  }

  const std::vector<RegionRect> runs = RegionRuns(pixels.data(), width, height, stride, key);
  std::vector<bool> covered(static_cast<std::size_t>(width) * height, false);
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const RegionRect& run = runs[r];
    FUZZ_CHECK(run.bottom == run.top + 1 && run.top >= 0 && run.top < height);
    FUZZ_CHECK(run.left >= 0 && run.left < run.right && run.right <= width);
    if (r > 0) {
      const RegionRect& last = runs[r - 1];
      FUZZ_CHECK(last.top < run.top || (last.top == run.top && last.right < run.left));
    }
    for (int x = run.left; x < run.right; ++x)
      covered[static_cast<std::size_t>(run.top) * width + x] = true;
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool key_ = IsKeyPixel(pixels[static_cast<std::size_t>(y) * stride + x], key);
      FUZZ_CHECK(covered[static_cast<std::size_t>(y) * width + x] == !key_);
    }
  }

  const std::size_t batchSize = 1 + input.Below(50);
  std::size_t index = 0;
  for (const RegionBatch& batch : RegionBatches(runs, batchSize)) {
    FUZZ_CHECK(!batch.rects.empty() && batch.rects.size() <= batchSize);
    for (const RegionRect& rect : batch.rects) {
      FUZZ_CHECK(rect == runs[index++]);
      FUZZ_CHECK(rect.left >= batch.bounds.left && rect.right <= batch.bounds.right &&
                 rect.top >= batch.bounds.top && rect.bottom <= batch.bounds.bottom);
    }
  }
  FUZZ_CHECK(index == runs.size());
  return 0;
}
