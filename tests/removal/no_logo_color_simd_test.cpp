// NoLogoColor's kernel built for each vector set writes the bytes it writes
// built for the plain code: random frames, regions and settings.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "removal/no_logo_color.h"
#include "support/variant_check.h"

namespace pramvix {
namespace {


// Every pair of reference lumas (L0, L1), each over chroma differences that
// sweep −255 … 255, through each set's chroma pass with every pixel a logo
// pixel, against the plain pass.
TEST(NoLogoColorVariants, EveryPairOfReferenceLumasLikeThePlainPass) {
  const Overlay overlays[] = {{222, 1.0f, 0}, {194, 1.3f, 0}, {25, 0.7f, 0}, {0, 1.0f, 0}, {222, 1e30f, 0}};
  const int pairs = 256 * 256;
  std::vector<uint8_t> main(4 * pairs), reference(4 * pairs);
  for (int pair = 0; pair < pairs; ++pair) {
    uint8_t* m = &main[4 * static_cast<size_t>(pair)];
    uint8_t* r = &reference[4 * static_cast<size_t>(pair)];
    r[0] = static_cast<uint8_t>(pair >> 8);
    r[2] = static_cast<uint8_t>(pair);
    m[1] = static_cast<uint8_t>(pair * 7);
    r[1] = static_cast<uint8_t>(pair * 13 + (pair >> 8));
    m[3] = static_cast<uint8_t>(255 - (pair >> 8));
    r[3] = static_cast<uint8_t>(pair);
  }
  for (const Overlay& overlay : overlays) {
    const ChromaRule rule{-1, Transmission(overlay)};
    std::vector<uint8_t> plain = main;
    RestoreChromaRow(plain.data(), reference.data(), 0, 2 * pairs, rule);
    ASSERT_NE(plain, main);
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
      std::vector<uint8_t> out = main;
      RestoreChromaRowFor(simd)(out.data(), reference.data(), 0, 2 * pairs, rule);
      return out;
    })) << "level " << overlay.level << " gain " << overlay.gain;
  }
}

TEST(NoLogoColorVariants, EverySetWritesThePlainCodesBytes) {
  testing::SeededDraw draw;
  const Overlay overlays[] = {{222, 1.0f, 0}, {194, 1.0f, 0}, {180, 1.5f, 3}, {25, 0.8f, -2}, {0, std::nanf(""), 0}};
  for (int trial = 0; trial < 2000; ++trial) {
    const int width = 2 * draw.Int(1, 60), height = draw.Int(1, 4);
    const testing::TightFrame main = testing::RandomFrame(draw, width, height);
    const testing::TightFrame reference = testing::RandomFrame(draw, width, height);
    const Region region = testing::RandomRegion(draw, width, height);
    const Overlay& overlay = overlays[draw.Int(0, 4)];
    const int threshold = draw.Threshold();
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
      testing::TightFrame out = main;
      RemoveLogoInColour(out.Rows(), reference.ReadRows(), region, ColourRemoval(threshold, overlay, simd));
      return out.bytes;
    })) << "trial " << trial << " threshold " << threshold;
  }
}

}  // namespace
}  // namespace pramvix
