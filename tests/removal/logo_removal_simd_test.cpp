// Every vector variant of the removal row pass against the one-pixel-at-a-time
// reference, byte for byte: every (main, reference) luma pair through the
// correction, then random rows, regions and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "removal/logo_removal.h"
#include "removal/thirds.h"
#include "support/variant_check.h"

namespace pramvix {
namespace {

using testing::Draw;

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

std::vector<uint8_t> PassRow(Simd simd, std::vector<uint8_t> main, const std::vector<uint8_t>& reference, int x,
                             int width, const RemovalRule& rule) {
  RemoveLogoRowFor(simd)(MutableLumaRow(main.data(), static_cast<int>(main.size() / 2)),
                         ConstLumaRow(reference.data(), static_cast<int>(reference.size() / 2)), x, width, rule);
  return main;
}

// The rule checked as the filters check theirs, so that the vector passes
// skip the test of quotients wherever they may.
::testing::AssertionResult PassLikePlain(const std::vector<uint8_t>& main, const std::vector<uint8_t>& reference,
                                         int x, int width, const RemovalRule& rule) {
  const RemovalRule checked = Checked(rule);
  return testing::LikeThePlainKernel([&](Simd simd) { return PassRow(simd, main, reference, x, width, checked); });
}

// Main lumas (p * multiplier + 7) % 256 over `reference`, a row of lumas.
::testing::AssertionResult PassLikePlain(const std::vector<int>& reference, int multiplier, int x, int width,
                                         const RemovalRule& rule) {
  std::vector<uint8_t> main(2 * reference.size()), lumas(2 * reference.size(), 99);
  for (size_t p = 0; p < reference.size(); ++p) {
    main[2 * p] = static_cast<uint8_t>((p * multiplier + 7) % 256);
    lumas[2 * p] = static_cast<uint8_t>(std::clamp(reference[p], 0, 255));
  }
  return PassLikePlain(main, lumas, x, width, rule);
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

// Main lumas 0 … 255 over reference luma L (flat), or over L and L + 1 side
// by side with L on the even pixels, and on the odd ones too when every
// main luma must meet L beside L + 1; after three pixels of an edge luma far
// from L. Threshold 1 makes every pixel a logo pixel and neither softens
// inside, so each pair's correction shows in its byte.
::testing::AssertionResult EveryMainLumaLikeTheReference(int L, const Overlay& overlay, bool bothParities = false) {
  const int pixels = 3 + 256 + 5;
  for (const int lParity : {-1, 0, 1}) {  // -1: flat
    if (lParity == 1 && !bothParities) break;
    std::vector<uint8_t> main(2 * pixels, 128), reference(2 * pixels, 77);
    for (int p = 0; p < pixels; ++p) {
      const int luma = lParity < 0 || p % 2 == lParity ? L : (L + 1) % 256;
      reference[2 * p] = static_cast<uint8_t>(p < 3 ? (L + 128) % 256 : luma);
      if (p >= 3 && p < 3 + 256) main[2 * p] = static_cast<uint8_t>(p - 3);
    }
    ::testing::AssertionResult same = PassLikePlain(main, reference, 2, pixels - 4, RemovalRule{1, overlay});
    if (!same) {
      return same << " over L=" << L << (lParity < 0 ? " flat" : lParity ? " on odd pixels" : " on even pixels")
                  << " level=" << overlay.level << " gain=" << overlay.gain << " offset=" << overlay.offset;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(RemovalVariants, CorrectEveryLumaPairLikeTheReference) {
  // With gains of 1e3 … 1e8, ratios near the top luma come so close to zero
  // that quotients leave the 32-bit range or overflow with the offset; the
  // vector corrections may truncate straight to 32-bit lanes only above the
  // bound that keeps them inside, and both kinds of row take both ways to it.
  // The extreme offsets undo a saturated quotient, so its exact limit shows.
  std::vector<Overlay> overlays = kOverlays;
  for (float gain : {1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f}) {
    for (int offset : {0, -3, -200000000, 150000000, kIntMax, kIntMin}) {
      for (int level : {222, 0, 239}) overlays.push_back({level, gain, offset});
    }
  }
  for (const Overlay& overlay : overlays) {
    for (int L = 0; L < 256; ++L) ASSERT_TRUE(EveryMainLumaLikeTheReference(L, overlay));
  }
}

TEST(RemovalVariants, LogoPixelsOfOneLumaAmongOthersMatchTheReference) {
  // Every other pixel a logo pixel of reference luma L, main luma 0 … 255;
  // between them pixels a few lumas off the edge luma, each its own, which
  // are not logo pixels: a block's logo pixels share a luma though its
  // pixels do not. Then the same with every eighth logo pixel at L + 1, so
  // that they do not. Threshold 64 softens nothing (pixels two apart are
  // alike), so each correction shows in its byte.
  const int pixels = 3 + 512 + 5;
  for (const Overlay& overlay : kOverlays) {
    for (int L = 0; L < 256; ++L) {
      for (bool oneLuma : {true, false}) {
        const int edge = (L + 128) % 256;
        std::vector<uint8_t> main(2 * pixels, 128), reference(2 * pixels, 77);
        for (int p = 0; p < pixels; ++p) {
          const bool logo = p >= 3 && p % 2 == 1;
          const int other = std::min(255, std::max(0, edge + p % 7 - 3));
          const int luma = !logo ? (p < 3 ? edge : other) : (!oneLuma && p % 16 == 1 ? (L + 1) % 256 : L);
          reference[2 * p] = static_cast<uint8_t>(luma);
          main[2 * p] = static_cast<uint8_t>(p / 2);
        }
        ASSERT_TRUE(PassLikePlain(main, reference, 2, pixels - 4, RemovalRule{64, overlay}))
            << "L=" << L << (oneLuma ? " one luma" : " two lumas") << " level=" << overlay.level
            << " gain=" << overlay.gain << " offset=" << overlay.offset;
      }
    }
  }
}

TEST(RemovalVariants, RandomRowsRegionsAndSettingsMatchTheReference) {
  testing::SeededDraw draw;
  for (int trial = 0; trial < 20000; ++trial) {
    // Rows of their own lengths; the region lies inside both.
    const int mainWidth = draw.Int(1, 120);
    const int referenceWidth = mainWidth + (draw.OneIn(3) ? draw.Int(0, 20) : 0);
    const std::vector<uint8_t> main = draw.Row(mainWidth);
    const std::vector<uint8_t> reference = draw.Row(referenceWidth);
    const int x = draw.Int(0, mainWidth - 1);
    const int width = draw.Int(0, mainWidth - x);
    RemovalRule rule{draw.Threshold(), kOverlays[static_cast<size_t>(draw.Int(0, int(kOverlays.size()) - 1))]};
    rule.logoPixels = draw.OneIn(4) ? LogoPixels::kMark : LogoPixels::kCorrect;
    rule.softening = draw.OneIn(3) ? Softening::kEverywhere : Softening::kAtReferenceEdges;
    ASSERT_TRUE(PassLikePlain(main, reference, x, width, rule))
        << "trial " << trial << " x=" << x << " width=" << width << " threshold=" << rule.threshold;
  }
}

// The settings of both filters, marking, inverting and every pixel.
const std::vector<RemovalRule> kLogoRules = {
    {20, Overlay{}},
    {20, Overlay{222, 1.0f, 0}, LogoPixels::kCorrect, Softening::kEverywhere},
    {35, Overlay{215, 1.1f, 2}, LogoPixels::kMark},
    {0, Overlay{}},
    {-1, Overlay{180, 1.5f, -10}},
    {1, Overlay{222, 0.5f, 20}, LogoPixels::kCorrect, Softening::kEverywhere},
};

TEST(RemovalVariants, LongLogoLikeRowsMatchTheReference) {
  // Rows of hundreds of pixels: many blocks, quiet spans between busy ones,
  // the pass's runs of blocks one after another, and the blocks and pixels
  // left at a row's end; logo pixels that share a luma beside others that do
  // not. The settings of both filters, marking, inverting and every pixel.
  testing::SeededDraw draw;
  const std::vector<RemovalRule>& rules = kLogoRules;
  for (int trial = 0; trial < 5000; ++trial) {
    const int mainWidth = draw.Int(40, 700);
    const int referenceWidth = mainWidth + (draw.OneIn(3) ? draw.Int(0, 20) : 0);
    const int x = draw.Int(0, std::min(40, mainWidth - 1));
    const int width = draw.OneIn(2) ? mainWidth - x : draw.Int(0, mainWidth - x);
    const int edge = draw.Int(0, 255);
    std::vector<uint8_t> reference = testing::LogoLikeRow(draw, referenceWidth, edge);
    reference[2 * static_cast<size_t>(x)] = static_cast<uint8_t>(edge);  // the row's edge luma
    const std::vector<uint8_t> main = draw.Row(mainWidth);
    const RemovalRule& rule = rules[static_cast<size_t>(trial) % rules.size()];
    ASSERT_TRUE(PassLikePlain(main, reference, x, width, rule))
        << "trial " << trial << " x=" << x << " width=" << width << " threshold=" << rule.threshold;
  }
}

TEST(RemovalVariants, StripsOfSixteenRowsMatchTheReference) {
  // Regions of 16 rows and more, which the AVX2 pass works sixteen rows side
  // by side: whole and partial tiles of sixteen pixels, tiles with nothing to
  // do between busy ones, the first pixels of a region at the frame's left
  // edge, the last ones near its right edge, rows left over after the strips,
  // and each row's own edge luma.
  testing::SeededDraw draw;
  for (int trial = 0; trial < 600; ++trial) {
    const int width = draw.Int(18, 260), height = draw.Int(16, 40);
    const int referenceWidth = width + (draw.OneIn(3) ? draw.Int(0, 20) : 0);
    Region region;
    region.x = draw.OneIn(4) ? draw.Int(0, 2) : draw.Int(0, width - 1);
    region.width = draw.OneIn(2) ? width - region.x : draw.Int(0, width - region.x);
    region.y = draw.Int(0, height - 16);
    region.height = draw.OneIn(4) ? draw.Int(1, height - region.y) : height - region.y;
    const testing::TightFrame reference = testing::LogoLikeFrame(draw, referenceWidth, height, region.x);
    const testing::TightFrame main = testing::RandomFrame(draw, width, height);
    RemovalRule rule = kLogoRules[static_cast<size_t>(trial) % kLogoRules.size()];
    if (draw.OneIn(3)) rule.overlay = kOverlays[static_cast<size_t>(draw.Int(0, int(kOverlays.size()) - 1))];
    if (draw.OneIn(2)) rule = Checked(rule);
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
      testing::TightFrame out = main;
      RemoveLogo(out.Rows(), reference.ReadRows(), region, rule, simd);
      return out.bytes;
    })) << "trial " << trial << " region " << region.x << "," << region.y << " " << region.width << "x"
        << region.height << " of " << width << "x" << height << ", threshold " << rule.threshold;
  }
  // A logo pixel whose step ends a tile, before a tile with nothing to do:
  // at threshold 20 over edge luma 0, luma 20 is logo and luma 10 two pixels
  // on is neither logo nor a threshold from it, so only the pending
  // correction of the logo pixel is left to write. At every column.
  const int width = 64, height = 17;
  for (int column = 2; column + 2 < width; ++column) {
    testing::TightFrame reference(2 * width, height, 2 * width);
    for (int r = 0; r < height; ++r) {
      uint8_t* row = reference.Rows().Row(r);
      for (int p = 0; p < width; ++p) row[2 * p] = p == column ? 20 : (p == column + 2 ? 10 : 0);
    }
    const testing::TightFrame main = testing::RandomFrame(draw, width, height);
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
      testing::TightFrame out = main;
      RemoveLogo(out.Rows(), reference.ReadRows(), Region{1, 0, width - 1, height}, Checked(RemovalRule{20, Overlay{}}),
                 simd);
      return out.bytes;
    })) << "logo pixel at " << column;
  }
}

TEST(RemovalVariants, EveryRuleOfTheFiltersOnWholeFramesMatchesTheReference) {
  // Frames of 70 x 9 with a padded pitch, walked as the filters walk them:
  // NoLogo's and NoLogoM's regions and NoLogoAuto's whole frame.
  testing::SeededDraw draw;
  const int width = 70, height = 9;
  const std::vector<RemovalRule> rules = {
      {20, Overlay{}},
      {20, Overlay{215, 1.1f, 2}, LogoPixels::kCorrect, Softening::kEverywhere},
      {5, Overlay{}},
      {5, Overlay{}, LogoPixels::kMark},
  };
  const std::vector<Region> regions = {{3, 1, 60, 7}, {0, 0, width, height}, {1, 0, width - 1, height - 1}};
  for (const RemovalRule& rule : rules) {
    for (const Region& region : regions) {
      const testing::TightFrame reference = testing::RandomFrame(draw, width, height);
      const testing::TightFrame main = testing::RandomFrame(draw, width, height);
      ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
        testing::TightFrame out = main;
        RemoveLogo(out.Rows(), reference.ReadRows(), region, Checked(rule), simd);
        return out.bytes;
      })) << "threshold " << rule.threshold;
    }
  }
}

TEST(RemovalVariants, QuietSpansReachUnderHalfTheThresholdAndSeeEveryStep) {
  // Reference lumas E − d, E − d, E + d, E + d, … around the edge luma E:
  // every two pixels two apart differ by 2d. At threshold 2r such pixels with
  // d = r soften their neighbours, at 2r + 1 they do not; d = r ± 1 lies just
  // inside and just beyond the reach of the vector pass's quick quiet test.
  const int edge = 128, x = 2, width = 4 * 32 + 8, pixels = x + width + 2;
  for (int r = 1; r <= 127; ++r) {
    for (int threshold : {2 * r, 2 * r + 1}) {
      for (int d : {r - 1, r, r + 1}) {
        std::vector<int> reference(pixels);
        for (int p = 0; p < pixels; ++p) reference[p] = p <= x ? edge : (p & 2 ? edge + d : edge - d);
        ASSERT_TRUE(PassLikePlain(reference, 97, x, width, RemovalRule{threshold, Overlay{}}))
            << "threshold " << threshold << ", lumas " << edge << " ± " << d;
      }
    }
  }
  // A reference at the edge luma but for one pixel, a threshold away, at
  // every position: each position the quiet test of a span must read, from
  // the pixel before the span to the one after it, shows up in some row.
  for (int threshold : {1, 40, 90}) {
    for (int step : {threshold, -threshold}) {
      for (int q = x + 1; q < pixels; ++q) {
        std::vector<int> reference(pixels, 90);
        reference[q] = 90 + step;
        ASSERT_TRUE(PassLikePlain(reference, 53, x, width, RemovalRule{threshold, Overlay{}}))
            << "threshold " << threshold << ", step " << step << " at pixel " << q;
      }
    }
  }
}

// The quotient (level + 16 − s) / ratio(L) as the plain correction divides.
double PlainQuotient(int s, int L, const Overlay& overlay) {
  const double top = static_cast<double>(static_cast<int64_t>(overlay.level) + 16);
  const double b = top - L;
  const double d = static_cast<double>(L - 16) * static_cast<double>(overlay.gain) + 0.001;
  return (top - s) / (b / d);
}

TEST(RemovalVariants, QuotientsNextToWholeNumbersMatchTheReference) {
  // The vector corrections try single-precision quotients first. Where the
  // double quotient lies within a few float roundings of a whole number
  // other than 0, a float one may truncate to the neighbour: every reference
  // luma with such a main luma, for overlays near the defaults.
  int found = 0;
  for (int level = 150; level <= 300; ++level) {
    for (float gain : {1.0f, 0.5f, 0.9f, 1.1f, 1.25f, 2.0f}) {
      const Overlay overlay{level, gain, 0};
      for (int L = 0; L < 256; ++L) {
        int near = 0;
        for (int s = 0; s < 256; ++s) {
          const double q = PlainQuotient(s, L, overlay);
          const double whole = std::round(q);
          near += std::isfinite(q) && whole != 0 && std::fabs(q - whole) <= std::fabs(q) * 0x1p-21;
        }
        found += near;
        if (near > 0) {
          ASSERT_TRUE(EveryMainLumaLikeTheReference(L, overlay, true));
        }
      }
    }
  }
  EXPECT_GT(found, 100);  // the search does find such pairs
}

TEST(RemovalVariants, QuotientsAreSureButAtTheTopForTheUsualOverlaysOnly) {
  // NoLogo's overlay and NoLogoM's defaults take the quick quotients
  // untested; one with a quotient next to a whole number (see above), one
  // too large for floats and one whose gain is no float do not.
  EXPECT_TRUE(Checked(RemovalRule{20, Overlay{}}).sureQuotients);
  EXPECT_TRUE(Checked(RemovalRule{20, Overlay{200, 1.0f, 0}}).sureQuotients);
  EXPECT_FALSE(Checked(RemovalRule{20, Overlay{215, 1.1f, 2}}).sureQuotients);
  EXPECT_FALSE(Checked(RemovalRule{20, Overlay{kIntMax, 1.0f, 0}}).sureQuotients);
  EXPECT_FALSE(Checked(RemovalRule{20, Overlay{222, std::nanf(""), 0}}).sureQuotients);
  // Two overlays whose quotients are sure one way of working out 1 / ratio
  // (as a lane does by itself, in single precision; or as equal lumas share
  // it, from double precision) but not the other, which truncates some of
  // them wrongly: only the first way counts.
  EXPECT_FALSE(Checked(RemovalRule{20, Overlay{137, 0.05f, 0}}).sureQuotients);
  EXPECT_TRUE(Checked(RemovalRule{20, Overlay{277, 0.05f, 0}}).sureQuotients);
  for (const Overlay& overlay : {Overlay{137, 0.05f, 0}, Overlay{277, 0.05f, 0}}) {
    for (int L = 0; L < 256; ++L) ASSERT_TRUE(EveryMainLumaLikeTheReference(L, overlay, true));
  }
}

TEST(RemovalVariants, DenominatorsThatCancelMatchTheReference) {
  // (L − 16)·gain + 0.001 comes out near 0 for a gain of about −0.001 / (L − 16):
  // the float denominator of the single-precision quotients is then far off,
  // and such lanes must take the double computation.
  for (int c : {-16, -9, -1, 1, 2, 7, 50, 200, 239}) {
    for (float nudge : {1.0f, 1.0000001f, 0.9999999f}) {
      const Overlay overlay{222, -0.001f / static_cast<float>(c) * nudge, 3};
      ASSERT_TRUE(EveryMainLumaLikeTheReference(16 + c, overlay, true));
    }
  }
}

TEST(RemovalVariants, EverySofteningPatternOfABlockMatchesTheReference) {
  // Reference lumas 0 and 255 chosen so that the steps of a block of eight
  // soften exactly where the bits of a pattern say (step p softens where
  // pixels p − 1 and p + 1 differ), for all 256 patterns, in two blocks side
  // by side with a third pattern before them: runs that cross from block to
  // block, blocks that soften wholly, partly or not at all. Threshold 255
  // makes the 255 pixels logo pixels against the edge luma 0.
  const int x = 2, blocks = 4, width = 8 * blocks, pixels = x + width + 2;
  for (int pattern = 0; pattern < 256; ++pattern) {
    for (const int around : {0x00, 0xFF, 0x5A}) {
      // Bits of the steps x … x + width − 1: blocks `around`, pattern, pattern reversed, around.
      int reversed = 0;
      for (int b = 0; b < 8; ++b) reversed |= (pattern >> b & 1) << (7 - b);
      const int bits[blocks] = {around, pattern, reversed, around};
      std::vector<int> luma(pixels, 0);
      for (int p = x; p + 1 < pixels; ++p) {
        const int step = p - x < width ? bits[(p - x) / 8] >> ((p - x) % 8) & 1 : 0;
        luma[p + 1] = step ? 255 - luma[p - 1] : luma[p - 1];
      }
      for (const Softening softening : {Softening::kAtReferenceEdges, Softening::kEverywhere}) {
        ASSERT_TRUE(PassLikePlain(luma, 89, x, width, RemovalRule{255, Overlay{}, LogoPixels::kCorrect, softening}))
            << "pattern " << pattern << " between " << around;
      }
    }
  }
}

#if PRAMVIX_X86_64
// Lane m − 1 of the eight-lane form on n in every lane: n / 3^m.
PRAMVIX_TARGET_AVX2 int EightLaneQuotient(int n, int m) {
  alignas(32) int32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), FloorByPowersOfThree(_mm256_set1_ps(static_cast<float>(n))));
  return lanes[m - 1];
}

TEST(RemovalVariants, WholeQuotientsByPowersOfThreeAreExactOverTheirRange) {
  // Each lane m of the block softening divides sums up to 255 + 510·(3^m − 1)/2.
  const std::vector<Simd> sets = SupportedSimd();
  const bool avx2 = std::find(sets.begin(), sets.end(), Simd::kAvx2) != sets.end();
  int power = 1;
  for (int m = 1; m <= 8; ++m) {
    power *= 3;
    const int largest = 255 + 510 * (power - 1) / 2;
    for (int n = 0; n <= largest; ++n) {
      const __m128 lanes = _mm_set1_ps(static_cast<float>(n));
      alignas(16) int32_t low[4], high[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(low), FloorByPowersOfThree(lanes, LowThirds()));
      _mm_store_si128(reinterpret_cast<__m128i*>(high), FloorByPowersOfThree(lanes, HighThirds()));
      const int got = m <= 4 ? low[m - 1] : high[m - 5];
      if (got != n / power) FAIL() << "n=" << n << " / 3^" << m << " gave " << got;
      if (avx2 && EightLaneQuotient(n, m) != n / power) {
        FAIL() << "n=" << n << " / 3^" << m << " gave " << EightLaneQuotient(n, m) << " in eight lanes";
      }
    }
  }
}
#endif

}  // namespace
}  // namespace pramvix
