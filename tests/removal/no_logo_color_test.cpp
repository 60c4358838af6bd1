#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "removal/chroma_restoration.h"
#include "support/filter_calls.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoColorTest : public HostTest {
 protected:
  Picture NoLogoColor(const Picture& main, const Picture& logo, int threshold, const Region& r, float gain = 1.0f,
                      int level = 222, int offset = 0) {
    return Run("NoLogoColor",
               {ClipOf(main), ClipOf(logo), 0, threshold, r.x, r.y, r.width, r.height, gain, level, offset});
  }
};

std::vector<int> LumaOf(const Picture& picture) {
  std::vector<int> luma;
  for (int r = 0; r < picture.height; ++r) {
    for (int p = 0; p < picture.rowSize / 2; ++p) luma.push_back(picture.Luma(r, p));
  }
  return luma;
}

// With NoLogo's overlay (gain 1, level 222, offset 0) the luma is NoLogo's,
// byte for byte, in every mode and wherever the region lies.
TEST_F(NoLogoColorTest, WhiteOverlayGivesNoLogosLuma) {
  const Region regions[] = {{3, 1, 9, 3}, {0, 0, 6, 2}, {7, 2, 9, 4}, {0, 0, 16, 6}, {5, -2, 1, 3}};
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    const Picture main = Patterned(16, 6, seed), logo = Patterned(16, 6, seed + 100);
    for (const Region& r : regions) {
      for (const int threshold : {0, 1, 10, 40, -1, 300}) {
        const Picture expected = Run("NoLogo", {ClipOf(main), ClipOf(logo), 0, threshold, r.x, r.y, r.width, r.height});
        EXPECT_EQ(LumaOf(NoLogoColor(main, logo, threshold, r)), LumaOf(expected))
            << "seed " << seed << " region " << r.x << "," << r.y << "," << r.width << " threshold " << threshold;
      }
    }
  }
}

// NoLogoM's correction (here level 230: 174 where NoLogo gives 177), but
// softened only where the reference has an edge: inside a flat logo the
// corrected values stay as they are, where NoLogoM blurs them.
TEST_F(NoLogoColorTest, LumaIsNoLogoMsCorrectionSoftenedOnlyAtEdges) {
  const Picture main = Row({10, 20, 200, 200, 200, 150, 70, 80});
  const Picture logo = Row({16, 16, 100, 100, 100, 100, 16, 16});
  const Region region{1, 0, 6, 1};
  const Picture out = NoLogoColor(main, logo, 10, region, 1.0f, 230);
  EXPECT_EQ(out.Luma(0, 2), 174);
  EXPECT_EQ(out.Luma(0, 3), 174);
  EXPECT_NE(out.Luma(0, 4), 174);  // the reference steps two pixels on: softened
  const Picture blurred = Run("NoLogoM", {ClipOf(main), ClipOf(logo), 0, 10, 1, 0, 6, 1, 1.0f, 230, 0});
  EXPECT_NE(blurred.Luma(0, 2), 174);
  EXPECT_NE(blurred.Luma(0, 3), 174);
}

TEST(Transmission, FollowsTheOverlayAndStaysWithinAnEighthAndOne) {
  const float inf = std::numeric_limits<float>::infinity();
  const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
  struct Case { Overlay overlay; int L; double share; };
  const Case cases[] = {
      {{222, 1.0f, 0}, 16, 1.0},    {{222, 1.0f, 0}, 127, 0.5},       {{200, 1.0f, 0}, 136, 0.4},
      {{222, 2.0f, 0}, 127, 1.0 / 3}, {{222, 0.5f, 9}, 127, 2.0 / 3},  // offset plays no part
      {{222, 1.0f, 0}, 10, 1.0},    // darker than black: no opacity
      {{222, 1.0f, 0}, 211, 0.125}, // opacity 7/8 exactly
      {{222, 1.0f, 0}, 230, 0.125}, {{222, 1.0f, 0}, 238, 0.125}, {{222, 1.0f, 0}, 255, 0.125},  // opaque, beyond
      {{0, 1.0f, 0}, 16, 1.0},      {{0, 1.0f, 0}, 100, 0.125},     {{0, 1.0f, 0}, 10, 1.0},  // divided by 0
      {{222, std::nanf(""), 0}, 100, 1.0}, {{222, inf, 0}, 100, 0.125}, {{222, inf, 0}, 16, 1.0},
      {{222, -inf, 0}, 100, 0.125}, {{222, -1.0f, 0}, 100, 1.0},
      {{least, 1.0f, 0}, 100, 1.0}, {{most, 1.0f, 0}, 255, 1.0 - 239.0 / (2147483663.0 - 16)},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(Transmission(c.overlay)[c.L], static_cast<float>(c.share))
        << "level " << c.overlay.level << " gain " << c.overlay.gain << " L " << c.L;
  }
  for (const Case& c : cases) {
    const Transmission share(c.overlay);
    for (int L = 0; L < 256; ++L) {
      ASSERT_GE(share[L], Transmission::kLeast);
      ASSERT_LE(share[L], 1.0);
    }
  }
}

TEST(UncoveredChroma, RoundsHalvesUpAndLimits) {
  struct Case { int c, r; float factor; int v; };
  const Case cases[] = {{150, 140, 2, 148},   {129, 128, 2.5, 131},  {127, 128, 2.5, 126}, {127, 128, 2.49f, 126},
                        {127, 128, 2.51f, 125}, {128, 200, 4.0f / 3, 32}, {240, 16, 2, 240},   {16, 240, 2, 16},
                        {130, 129, 8, 136},    {200, 200, 1, 128},      {255, 0, 8, 240},    {0, 255, 8, 16}};
  for (const Case& c : cases) {
    EXPECT_EQ(UncoveredChroma(c.c, c.r, c.factor), c.v) << c.c << " over " << c.r << " times " << c.factor;
  }
}

// One row of four pairs. Reference luma 16 (no logo), 127 (opacity 1/2) and
// 238 (opaque, taken as 7/8); the region's left edge reads 16.
class PairRuleTest : public NoLogoColorTest {
 protected:
  PairRuleTest() {
    logo.SetLumaRow(0, 0, {200, 16, 16, 127, 16, 127, 16, 16});
    SetChroma(logo, {100, 150, 110, 140, 120, 130, 130, 126});
    SetChroma(main, {90, 160, 120, 150, 140, 110, 60, 200});
  }
  static void SetChroma(Picture& picture, const std::vector<int>& uv) {
    for (size_t i = 0; i < uv.size(); ++i) picture.Byte(0, 2 * static_cast<int>(i) + 1) = static_cast<uint8_t>(uv[i]);
  }
  std::vector<int> ChromaAfter(int threshold, const Region& region) {
    const Picture out = NoLogoColor(main, logo, threshold, region);
    std::vector<int> uv;
    for (int j = 1; j < out.rowSize; j += 2) uv.push_back(out.Byte(0, j));
    return uv;
  }
  Picture main = Picture::YUY2(8, 1, 100);
  Picture logo = Picture::YUY2(8, 1);
};

// A pair with a logo pixel in the region takes the mean opacity of both its
// pixels, the other one included (here 1/2 and 0: 128 + 10 / 0.75). A logo
// pixel outside the region, or no logo pixel at all, leaves the pair alone.
TEST_F(PairRuleTest, PairWithALogoPixelTakesTheMeanOpacityOfBothPixels) {
  EXPECT_EQ(ChromaAfter(10, {1, 0, 4, 1}), (std::vector<int>{90, 160, 141, 141, 140, 110, 60, 200}));
  // Pixel 5 joins the region: its pair, (20, −20) from the reference over 3/4.
  EXPECT_EQ(ChromaAfter(10, {1, 0, 5, 1}), (std::vector<int>{90, 160, 141, 141, 155, 101, 60, 200}));
  // A region starting on the odd pixel 3: its pair's pixel 2 still counts.
  EXPECT_EQ(ChromaAfter(-1, {3, 0, 1, 1}), (std::vector<int>{90, 160, 141, 141, 140, 110, 60, 200}));
  // An opaque pixel beside one at 1/2: (1/8 + 1/2) / 2 shows through.
  logo.Luma(0, 2) = 238;
  EXPECT_EQ(ChromaAfter(10, {1, 0, 4, 1}), (std::vector<int>{90, 160, 160, 160, 140, 110, 60, 200}));
}

// Inverting marks no logo pixel, nor does a threshold beyond every step.
TEST_F(PairRuleTest, InvertingModeLeavesChromaAlone) {
  const std::vector<int> untouched = {90, 160, 120, 150, 140, 110, 60, 200};
  EXPECT_EQ(ChromaAfter(0, {0, 0, 8, 1}), untouched);
  EXPECT_EQ(ChromaAfter(300, {0, 0, 8, 1}), untouched);
  // A negative threshold makes every pixel logo: every pair changes.
  const std::vector<int> all = ChromaAfter(-1, {0, 0, 8, 1});
  for (size_t i = 0; i < all.size(); ++i) EXPECT_NE(all[i], untouched[i]) << "chroma byte " << i;
}

// A logo frame narrower than its clip says may hold the region but not the
// pixel pair of its last pixel: refused before any byte is written.
TEST_F(NoLogoColorTest, LogoFrameMustHoldTheRegionsWholePairs) {
  const PClip main = ClipOf(Patterned(8, 2, 3));
  const PClip logo = MemoryClip::Of({Patterned(8, 2, 4), Patterned(5, 2, 5)});
  auto error = [&](int x, int width) {
    return ErrorOf("NoLogoColor", {main, logo, 1, 10, x, 0, width, 2, 1.0f, 222, 0});
  };
  EXPECT_EQ(error(2, 3), "NoLogoColor: the logo frame is too small for the region");
  EXPECT_EQ(error(2, 2), "");
  EXPECT_EQ(error(1, 3), "");
  EXPECT_EQ(error(2, 4), "NoLogoColor: the logo frame is too small for the region");
}

}  // namespace
}  // namespace pramvix::testing
