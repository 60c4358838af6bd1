// Every vector variant of AddLogo's blend against the one-pixel-at-a-time
// reference, byte for byte: every (main luma, logo luma, first logo luma)
// triple, then random rows and thresholds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "overlay/blend_kernel.h"
#include "support/variant_check.h"

namespace pramvix {
namespace {

std::vector<uint8_t> Blended(Simd simd, std::vector<uint8_t> main, const std::vector<uint8_t>& logo, int width,
                             int threshold) {
  BlendRowFor(simd)(main.data(), logo.data(), width, threshold);
  return main;
}

TEST(BlendVariants, EveryLumaTripleBlendsLikeTheReference) {
  // Pixel 0 carries the row's first logo luma b; pixels 1 … 256 main luma
  // 0 … 255 under logo luma c. A negative threshold blends every pixel.
  const int width = 257;
  for (int b = 0; b < 256; ++b) {
    for (int c = 0; c < 256; ++c) {
      std::vector<uint8_t> main(2 * width, 99), logo(2 * width, 33);
      logo[0] = static_cast<uint8_t>(b);
      for (int p = 1; p < width; ++p) {
        logo[2 * p] = static_cast<uint8_t>(c);
        main[2 * p] = static_cast<uint8_t>(p - 1);
      }
      ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) { return Blended(simd, main, logo, width, -1); }))
          << "b=" << b << " c=" << c;
    }
  }
}

TEST(BlendVariants, RandomRowsAndThresholdsMatchTheReference) {
  testing::SeededDraw draw;
  for (int trial = 0; trial < 20000; ++trial) {
    const int width = draw.Int(0, 100);
    const std::vector<uint8_t> main = draw.Row(width);
    const std::vector<uint8_t> logo = draw.Row(width);
    const int threshold = draw.Threshold();
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) { return Blended(simd, main, logo, width, threshold); }))
        << "trial " << trial << " width " << width << " threshold " << threshold;
  }
}

}  // namespace
}  // namespace pramvix
