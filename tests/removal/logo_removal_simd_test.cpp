// Every vector variant of the removal row pass against the one-pixel-at-a-time
// reference, byte for byte: every (main, reference) luma pair through the
// correction, then random rows, regions and settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "removal/logo_removal.h"
#include "support/variants.h"

namespace pramvix {
namespace {

using test::VectorSimd;

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

std::vector<uint8_t> PassRow(Simd simd, std::vector<uint8_t> main, const std::vector<uint8_t>& reference, int x,
                         int width, const RemovalRule& rule) {
  RemoveLogoRowFor(simd)(MutableLumaRow(main.data(), static_cast<int>(main.size() / 2)),
                         ConstLumaRow(reference.data(), static_cast<int>(reference.size() / 2)), x, width, rule);
  return main;
}

// Overlays from the defaults to the extremes a script can give, including
// gains whose quotients are not finite.
const std::vector<Overlay> kOverlays = {
    {222, 1.0f, 0},          {215, 1.1f, 2},          {0, 0.5f, -3},
    {-16, 1.0f, 0},          {kIntMax, 1.0f, kIntMax}, {kIntMin, 3.0f, kIntMin},
    {222, 0.0f, 0},          {222, -2.5f, 7},         {222, 1e30f, 0},
    {222, std::numeric_limits<float>::infinity(), 0}, {222, std::nanf(""), 0},
    {1000, 1e-30f, -100},
};

TEST(RemovalVariants, CorrectEveryLumaPairLikeTheReference) {
  // Row: pixels 0 … 2 are the edge E, then main luma 0 … 255 over reference
  // luma L. Threshold 1 makes every L ≠ E pixel a logo pixel and softens only
  // where the reference changes, so each pair's correction shows in its byte.
  const int pixels = 3 + 256 + 5;
  for (Simd simd : VectorSimd()) {
    for (const Overlay& overlay : kOverlays) {
      for (int L = 0; L < 256; ++L) {
        std::vector<uint8_t> main(2 * pixels, 128), reference(2 * pixels, 77);
        const int edge = (L + 128) % 256;
        for (int p = 0; p < pixels; ++p) {
          reference[2 * p] = static_cast<uint8_t>(p < 3 ? edge : L);
          if (p >= 3 && p < 3 + 256) main[2 * p] = static_cast<uint8_t>(p - 3);
        }
        const RemovalRule rule{1, overlay};
        ASSERT_EQ(PassRow(simd, main, reference, 2, pixels - 4, rule),
                  PassRow(Simd::kScalar, main, reference, 2, pixels - 4, rule))
            << SimdName(simd) << " L=" << L << " level=" << overlay.level << " gain=" << overlay.gain
            << " offset=" << overlay.offset;
      }
    }
  }
}

int PickThreshold(std::mt19937& random) {
  const int choices[] = {kIntMin, -7, 0, 1, 5, 20, 255, 256, kIntMax};
  if (random() % 3 == 0) return static_cast<int>(random() % 64);
  return choices[random() % (sizeof choices / sizeof choices[0])];
}

TEST(RemovalVariants, RandomRowsRegionsAndSettingsMatchTheReference) {
  const uint32_t seed = test::TestSeed();
  std::mt19937 random(seed);
  for (Simd simd : VectorSimd()) {
    for (int trial = 0; trial < 20000; ++trial) {
      // Rows of their own lengths; the region lies inside both.
      const int mainWidth = 1 + static_cast<int>(random() % 80);
      const int referenceWidth = mainWidth + static_cast<int>(random() % 3) * static_cast<int>(random() % 20);
      const std::vector<uint8_t> main = test::RandomBytes(random, 2 * static_cast<size_t>(mainWidth));
      const std::vector<uint8_t> reference = test::RandomBytes(random, 2 * static_cast<size_t>(referenceWidth));
      const int x = static_cast<int>(random() % static_cast<unsigned>(mainWidth));
      const int width = static_cast<int>(random() % static_cast<unsigned>(mainWidth - x + 1));
      RemovalRule rule{PickThreshold(random), kOverlays[random() % kOverlays.size()]};
      rule.logoPixels = random() % 4 == 0 ? LogoPixels::kMark : LogoPixels::kCorrect;
      rule.softening = random() % 3 == 0 ? Softening::kEverywhere : Softening::kAtReferenceEdges;
      ASSERT_EQ(PassRow(simd, main, reference, x, width, rule), PassRow(Simd::kScalar, main, reference, x, width, rule))
          << SimdName(simd) << " seed " << seed << " trial " << trial << " x=" << x << " width=" << width
          << " threshold=" << rule.threshold;
    }
  }
}

TEST(RemovalVariants, EveryRuleOfTheFiltersOnWholeFramesMatchesTheReference) {
  // Frames of 70 x 9 with a padded pitch, walked as the filters walk them:
  // NoLogo's and NoLogoM's regions and NoLogoAuto's whole frame.
  const uint32_t seed = test::TestSeed();
  std::mt19937 random(seed);
  const int width = 70, height = 9, pitch = 2 * width + 12;
  const std::vector<RemovalRule> rules = {
      {20, Overlay{}},
      {20, Overlay{215, 1.1f, 2}, LogoPixels::kCorrect, Softening::kEverywhere},
      {5, Overlay{}},
      {5, Overlay{}, LogoPixels::kMark},
  };
  const std::vector<Region> regions = {{3, 1, 60, 7}, {0, 0, width, height}, {1, 0, width - 1, height - 1}};
  for (Simd simd : VectorSimd()) {
    for (const RemovalRule& rule : rules) {
      for (const Region& region : regions) {
        const std::vector<uint8_t> reference = test::RandomBytes(random, pitch * height);
        std::vector<uint8_t> expected = test::RandomBytes(random, pitch * height);
        std::vector<uint8_t> actual = expected;
        const ConstFrame logo{reference.data(), pitch, 2 * width, height};
        RemoveLogo(MutableFrame{expected.data(), pitch, 2 * width, height}, logo, region, rule, Simd::kScalar);
        RemoveLogo(MutableFrame{actual.data(), pitch, 2 * width, height}, logo, region, rule, simd);
        ASSERT_EQ(actual, expected) << SimdName(simd) << " seed " << seed << " threshold " << rule.threshold;
      }
    }
  }
}

}  // namespace
}  // namespace pramvix
