// LogoMask's vector row kernels against MaskRow, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "overlay/mask_kernel.h"
#include "support/variant_check.h"

namespace pramvix::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// The main row after `row` ran over it; every row holds exactly its bytes.
Bytes Masked(MaskRowKernel row, Bytes main, const Bytes& alternate, const Bytes& logo, int threshold) {
  row(main.data(), alternate.data(), logo.data(), static_cast<int>(main.size() / 2), threshold);
  return main;
}

using MaskKernelSimdTest = VectorKernelTest;

// A logo row of 257 pixels, the first the reference and then every luma
// 0…255, against every reference and every threshold that separates lumas
// differently, and the extremes of int. The alternate row differs from the
// main row in every byte, so each copied byte shows.
TEST_F(MaskKernelSimdTest, EveryLumaAgainstEveryReferenceAndThreshold) {
  constexpr int kWidth = 257;
  Bytes main(2 * kWidth), alternate(2 * kWidth), logo(2 * kWidth);
  for (int j = 0; j < 2 * kWidth; ++j) {
    main[j] = static_cast<uint8_t>(7 * j);
    alternate[j] = static_cast<uint8_t>(7 * j + 1);
    logo[j] = static_cast<uint8_t>(255 - j);  // chroma bytes; the lumas are set below
  }
  for (int v = 0; v < 256; ++v) logo[2 * (v + 1)] = static_cast<uint8_t>(v);
  std::vector<int> thresholds = {INT_MIN, INT_MIN + 1, -100000, 100000, INT_MAX - 1, INT_MAX};
  for (int t = -257; t <= 257; ++t) thresholds.push_back(t);

  for (int reference = 0; reference < 256; ++reference) {
    logo[0] = static_cast<uint8_t>(reference);
    for (int threshold : thresholds) {
      ASSERT_TRUE(LikeThePlainKernel(
          [&](Simd simd) { return Masked(MaskRowFor(simd), main, alternate, logo, threshold); }))
          << "reference " << reference << ", threshold " << threshold;
    }
  }
}

// Random rows of every width up to a few vectors and beyond, whose logo lumas
// often lie near the reference.
TEST_F(MaskKernelSimdTest, RandomRows) {
  SeededDraw draw;
  for (int i = 0; i < 4000; ++i) {
    const int width = draw.OneIn(10) ? draw.Int(0, 700) : draw.Int(0, 72);
    const Bytes main = draw.Row(width);
    const Bytes alternate = draw.Row(width);
    Bytes logo = draw.Row(width);
    if (width > 0 && draw.OneIn(2)) {
      for (int p = 1; p < width; ++p) {
        logo[2 * p] = static_cast<uint8_t>(std::min(255, std::max(0, logo[0] + draw.Int(-40, 40))));
      }
    }
    const int threshold = draw.Threshold();
    ASSERT_TRUE(LikeThePlainKernel([&](Simd simd) { return Masked(MaskRowFor(simd), main, alternate, logo, threshold); }))
        << "case " << i << ", width " << width << ", threshold " << threshold;
  }
}

// Whole regions of frames with their own pitches, anywhere in the frames up
// to the right edge; the bytes outside the region (padding included) stay.
TEST_F(MaskKernelSimdTest, RandomRegions) {
  SeededDraw draw;
  for (int i = 0; i < 400; ++i) {
    const int width = draw.Int(1, 120);
    const int height = draw.Int(1, 6);
    const TightFrame main = RandomFrame(draw, width, height);
    const TightFrame alternate = RandomFrame(draw, width + draw.Int(0, 3), height + draw.Int(0, 2));
    const TightFrame logo = RandomFrame(draw, width + draw.Int(0, 3), height);
    const Region region = RandomRegion(draw, width, height);
    const int threshold = draw.Threshold();
    ASSERT_TRUE(LikeThePlainKernel([&](Simd simd) {
      TightFrame out = main;
      MaskRegion(out.Rows(), alternate.ReadRows(), logo.ReadRows(), region, threshold, simd);
      return out.bytes;
    })) << "case " << i << ", region " << region.x << "," << region.y << " " << region.width << "x" << region.height
        << ", threshold " << threshold;
  }
}

}  // namespace
}  // namespace pramvix::testing
