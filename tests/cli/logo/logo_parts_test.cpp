// The analysis's parts on small hand-made inputs: the reference picture from
// a fit, the kept crops, the search's handling of borders, conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "logo/advice.h"
#include "logo/detection.h"
#include "logo/logo_fit.h"
#include "logo/reference.h"
#include "logo/region_search.h"

namespace pramvix::testing {
namespace {

using cli::logo::Box;
using cli::logo::FrameView;

// A fit's estimate over `box`: the same reference luma, opacity and error
// everywhere, neutral chroma.
cli::logo::LogoEstimate Estimate(const Box& box, double reference, double opacity, double error) {
  cli::logo::LogoEstimate e;
  e.box = box;
  const size_t pixels = static_cast<size_t>(box.width) * box.height;
  e.reference.assign(pixels, reference);
  e.opacity.assign(pixels, opacity);
  e.error.assign(pixels, error);
  e.chromaU.assign(pixels / 2, 128);
  e.chromaV.assign(pixels / 2, 128);
  return e;
}

// x, y, width and height, to compare in one go.
std::array<int, 4> Sides(const Box& box) { return {box.x, box.y, box.width, box.height}; }

TEST(LogoReference, KeepsClearPixelsPadsTheRegionAndColoursTheLogo) {
  cli::logo::LogoEstimate e = Estimate({10, 10, 24, 16}, 16.2, 0, 0.2);
  auto set = [&](int c, int r, double luma, double opacity) {
    e.reference[r * 24 + c] = luma;
    e.opacity[r * 24 + c] = opacity;
  };
  // A 6x4 block of half opacity, luma 200, chroma U 60 V 200 at full strength.
  for (int r = 5; r < 9; ++r) {
    for (int c = 7; c < 13; ++c) set(c, r, 16 + 0.5 * 184, 0.5);
  }
  for (int r = 5; r < 9; ++r) {
    for (int k = 3; k <= 6; ++k) e.chromaU[r * 12 + k] = 128 + 0.5 * (60 - 128), e.chromaV[r * 12 + k] = 128 + 0.5 * (200 - 128);
  }
  set(20, 12, 60, 0.2);                          // alone: noise, dropped
  set(13, 5, 18.9, 0.01);                        // below 3 levels: background
  set(14, 6, std::nan(""), 0);                   // no number: background
  set(6, 6, 40, 0.1), e.error[6 * 24 + 6] = 10;  // within its error of 16: background
  e.oneShade.assign(e.reference.size(), 0);
  set(6, 8, 60, 0.2), e.oneShade[8 * 24 + 6] = 1;  // shows over one shade only: background
  const auto ref = cli::logo::MakeReference(e, 64, 48, std::nullopt);
  EXPECT_EQ(ref.logoPixels, 24);
  EXPECT_EQ(ref.threshold, 92);  // 108 - 16
  EXPECT_EQ(ref.logoLuma, 200);
  EXPECT_EQ(ref.logoU, 60);
  EXPECT_EQ(ref.logoV, 200);
  // Block columns 17..22, rows 15..18, padded by 3: x 14..25 (even: 14, width 12).
  EXPECT_EQ(Sides(ref.region), (std::array<int, 4>{14, 12, 12, 10}));
  EXPECT_EQ(ref.picture.Luma(15, 17), 108);
  EXPECT_EQ(ref.picture.Luma(22, 30), 16);  // the lone pixel
  EXPECT_EQ(ref.picture.Luma(15, 23), 16);
  EXPECT_EQ(ref.picture.Luma(16, 24), 16);
  EXPECT_EQ(ref.picture.Luma(16, 16), 16);
  EXPECT_EQ(ref.picture.Luma(18, 16), 16);
  EXPECT_EQ(ref.picture.Byte(15, 2 * 18 + 1), 94);   // 128 + 0.5·(60 - 128)
  EXPECT_EQ(ref.picture.Byte(15, 2 * 18 + 3), 164);  // 128 + 0.5·(200 - 128)
  EXPECT_EQ(ref.picture.Byte(20, 2 * 18 + 1), 128);  // below the logo: neutral
}

TEST(LogoReference, DropsFaintSpecksAndKeepsSmallBrightPartsAndFaintLargeOnes) {
  // Groups of touching pixels in an otherwise empty box, by height above
  // black: a faint speck of noise goes; a bright dot (the dot of an "i") and
  // a faint but large part stay. The brightest group is 100 levels high.
  const struct {
    int c, r, w, h;
    double height;
    bool kept;
  } groups[] = {
      {4, 4, 6, 5, 100, true},   // the logo's body
      {14, 4, 2, 2, 7, false},   // 4 pixels, under 8 levels: noise
      {20, 4, 2, 2, 30, true},   // 4 pixels, over a quarter of 100: a dot
      {14, 10, 2, 2, 24, false},  // under a quarter of the brightest
      {4, 12, 4, 4, 5, true},    // 16 pixels: faint but large
  };
  cli::logo::LogoEstimate e = Estimate({0, 0, 28, 20}, 16, 0.5, 0.1);
  for (const auto& g : groups) {
    for (int r = g.r; r < g.r + g.h; ++r) {
      for (int c = g.c; c < g.c + g.w; ++c) e.reference[r * 28 + c] = 16 + g.height;
    }
  }
  const auto ref = cli::logo::MakeReference(e, 28, 20, std::nullopt);
  for (const auto& g : groups) {
    EXPECT_EQ(ref.picture.Luma(g.r, g.c), g.kept ? 16 + g.height : 16) << "group at " << g.c << "," << g.r;
  }
  EXPECT_EQ(ref.threshold, 5);
}

TEST(LogoReference, GivesTheRangeOfLumasOfALogoOfTwoColours) {
  // A white part (luma 235) and, on 5 % of the solid pixels, a red one (luma
  // 81), both at opacity 0.8; faint edge pixels do not count.
  cli::logo::LogoEstimate e = Estimate({0, 0, 40, 20}, 16, 0, 0.1);
  int solid = 0, red = 0;
  for (int r = 3; r < 17; ++r) {
    for (int c = 3; c < 37; ++c, ++solid) {
      const bool isRed = r == 10 && c < 3 + 24;  // 24 of 476
      red += isRed;
      e.reference[r * 40 + c] = 16 + 0.8 * ((isRed ? 81 : 235) - 16);
      e.opacity[r * 40 + c] = 0.8;
    }
  }
  for (int c = 3; c < 37; ++c) e.reference[2 * 40 + c] = 30, e.opacity[2 * 40 + c] = 0.1;  // a faint edge
  ASSERT_EQ(solid, 476);
  ASSERT_EQ(red, 24);
  const auto two = cli::logo::MakeReference(e, 40, 20, std::nullopt);
  EXPECT_EQ(two.logoLuma, 235);
  EXPECT_EQ(std::make_pair(two.logoLumaLow, two.logoLumaHigh), std::make_pair(81, 235));
  for (int c = 3; c < 27; ++c) e.reference[10 * 40 + c] = 16 + 0.8 * 219;
  const auto one = cli::logo::MakeReference(e, 40, 20, std::nullopt);
  EXPECT_EQ(std::make_pair(one.logoLumaLow, one.logoLumaHigh), std::make_pair(235, 235));
}

TEST(LogoReference, EvensTheFitsNoiseOnSolidPartsAndKeepsRimsAndSteps) {
  // Two solid parts side by side (147.4 and 180 above a black frame), each
  // with the fit's noise as a checker of ±0.35, which alone would round to
  // 147 and 148 (180 and 181) by turns; an anti-aliased rim of 60 around.
  cli::logo::LogoEstimate e = Estimate({0, 0, 40, 20}, 16, 0, 0.3);
  for (int r = 3; r < 17; ++r) {
    for (int c = 3; c < 37; ++c) {
      const bool rim = r == 3 || r == 16 || c == 3 || c == 36;
      e.reference[r * 40 + c] = rim ? 60 : (c < 20 ? 147.4 : 180.4) + ((r + c) % 2 ? 0.35 : -0.35);
      e.opacity[r * 40 + c] = 0.6;
    }
  }
  const auto ref = cli::logo::MakeReference(e, 40, 20, std::nullopt);
  for (int r = 3; r < 17; ++r) {
    for (int c = 3; c < 37; ++c) {
      const bool rim = r == 3 || r == 16 || c == 3 || c == 36;
      ASSERT_EQ(ref.picture.Luma(r, c), rim ? 60 : c < 20 ? 147 : 180) << "row " << r << ", column " << c;
    }
  }
}

TEST(LogoAdvice, SaysWhenTheLogosPartsDifferTooMuchForOneLevel) {
  const struct {
    int low, high;
    bool warned;
  } cases[] = {{95, 236, true}, {195, 236, true}, {196, 236, false}, {235, 235, false}};
  for (const auto& c : cases) {
    cli::logo::Analysis analysis;
    analysis.reference.logoLumaLow = c.low, analysis.reference.logoLumaHigh = c.high;
    const std::string text = cli::logo::AdviceText(analysis, {});
    const std::string warning = "its parts differ: luma " + std::to_string(c.low) + " to " + std::to_string(c.high);
    EXPECT_EQ(text.find(warning) != std::string::npos, c.warned) << c.low << " to " << c.high << "\n" << text;
  }
}

TEST(LogoReference, KeepsTheRegionInTheFrameAndInsideAGivenOne) {
  cli::logo::LogoEstimate e = Estimate({0, 0, 12, 10}, 16, 0, 0.1);
  for (int r = 2; r < 8; ++r) {
    for (int c = 2; c < 10; ++c) e.reference[r * 12 + c] = 100, e.opacity[r * 12 + c] = 0.4;
  }
  EXPECT_EQ(Sides(cli::logo::MakeReference(e, 12, 10, std::nullopt).region), (std::array<int, 4>{0, 0, 12, 10}));
  const auto given = cli::logo::MakeReference(e, 12, 10, Box{4, 0, 8, 10});
  EXPECT_EQ(given.region.x, 4);
  EXPECT_EQ(given.picture.Luma(4, 3), 16);
  EXPECT_EQ(given.picture.Luma(4, 5), 100);
  const auto broken = cli::logo::MakeReference(e, 8, 8, std::nullopt);  // a box beyond the frame: nothing
  EXPECT_EQ(broken.logoPixels, 0);
}

TEST(LogoReference, RoundsEveryDoubleSafely) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    int expected;
  } cases[] = {{std::nan(""), 16}, {inf, 235}, {-inf, 16}, {1e300, 235}, {-1e300, 16}, {107.5, 108}, {107.49, 107}, {15.9, 16}};
  for (const auto& c : cases) EXPECT_EQ(cli::logo::RoundClamp(c.value, 16, 235), c.expected) << c.value;
}

TEST(LogoCrops, ThinsEvenlyAndKeepsTheFirst) {
  cli::logo::CropStore store;
  store.Reset({0, 0, 2, 2});
  std::vector<uint8_t> planar(4 * 2 * 2);
  for (int n = 0; n < 500; ++n) {
    std::fill(planar.begin(), planar.begin() + 4, static_cast<uint8_t>(n / 2));
    store.Offer(FrameView::OfPlanar(planar.data(), 2, 2));
  }
  const auto& crops = store.Crops();
  ASSERT_GE(crops.size(), cli::logo::CropStore::kCapacity / 2);
  ASSERT_LE(crops.size(), cli::logo::CropStore::kCapacity);
  int previous = -1;
  for (const auto& crop : crops) {
    ASSERT_EQ(crop.size(), 4u);
    EXPECT_GT(crop[0], previous);
    previous = crop[0];
  }
  EXPECT_EQ(crops.front()[0], 0);
  EXPECT_GE(previous, 240);  // the last frames are represented
}

// A still scene that comes back fills the plainest frames with one
// background; the fit takes busier surroundings in until the background
// varies, instead of giving up. The set also holds a faint shelf inside the
// box that its band does not show: counted once per frame, the set's many
// frames would pull the fit into taking the shelf for a faint logo.
TEST(LogoFit, TakesBusierSurroundingsWhenThePlainestShowOneBackground) {
  const int w = 64, h = 48;
  const Box box{8, 8, 32, 24};
  cli::logo::LogoFit fit(box, w, h);
  uint32_t state = 99;
  auto noise = [&state](double sigma) {  // about normal, from four uniform numbers
    double sum = 0;
    for (int k = 0; k < 4; ++k) state ^= state << 13, state ^= state >> 17, state ^= state << 5, sum += (state & 0xFFFF) / 65536.0;
    return (sum - 2) * 1.7320508 * sigma;
  };
  auto add = [&](double background, double sigma, bool shelf) {
    std::vector<uint8_t> planar(static_cast<size_t>(w) * h * 2, 128);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool logo = x >= 16 && x < 32 && y >= 14 && y < 26;  // white at half opacity
        const double under = background + (shelf && y >= 27 && y < 29 && x >= 12 && x < 36 ? 4 : 0);
        const double v = (logo ? (under + 235) / 2 : under) + noise(sigma);
        planar[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(std::lround(std::clamp(v, 16.0, 235.0)));
      }
    }
    fit.Add(FrameView::OfPlanar(planar.data(), w, h));
  };
  for (int n = 0; n < 150; ++n) add(60, 0.6, true);          // the set: plain, always the same
  for (int n = 0; n < 40; ++n) add(30 + 4 * n, 2.6, false);   // other scenes: busier, varied
  const cli::logo::LogoEstimate estimate = fit.Solve();
  ASSERT_TRUE(estimate.backgroundVaried);
  const size_t inside = static_cast<size_t>(14 - box.y) * box.width + (20 - box.x);
  EXPECT_NEAR(estimate.opacity[inside], 0.5, 0.05);
  EXPECT_NEAR(estimate.reference[inside], 16 + 0.5 * (235 - 16), 3);
  const auto reference = cli::logo::MakeReference(estimate, w, h, std::nullopt);
  EXPECT_EQ(reference.region.Bottom(), 26 + cli::logo::kRegionPadding) << "the shelf taken for part of the logo";
}

// The only dark frames come from one scene, which has a faint mark of its
// own inside the box that its band does not show: the line through every
// frame takes the mark for a faint logo (its height above black rests on
// those frames alone), and the reference must not.
TEST(LogoFit, LeavesOutWhatShowsOnlyOverTheOneDarkScene) {
  const int w = 64, h = 48;
  const Box box{8, 8, 32, 24};
  cli::logo::LogoFit fit(box, w, h);
  uint32_t state = 7;
  auto noise = [&state] {  // within ±1.5
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
    return (state % 301) / 100.0 - 1.5;
  };
  auto add = [&](double background, bool mark) {
    std::vector<uint8_t> planar(static_cast<size_t>(w) * h * 2, 128);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool logo = x >= 16 && x < 32 && y >= 14 && y < 26;  // white at half opacity
        const double under = background + (mark && y >= 27 && y < 30 && x >= 12 && x < 36 ? 6 : 0);
        const double v = (logo ? (under + 235) / 2 : under) + noise();
        planar[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(std::lround(std::clamp(v, 16.0, 235.0)));
      }
    }
    fit.Add(FrameView::OfPlanar(planar.data(), w, h));
  };
  for (int n = 0; n < 40; ++n) add(120 + 2 * n, false);  // bright scenes
  for (int n = 0; n < 6; ++n) add(40 + (n & 1), true);   // the one dark scene, with its mark
  const cli::logo::LogoEstimate estimate = fit.Solve();
  const size_t inside = static_cast<size_t>(18 - box.y) * box.width + (20 - box.x);
  EXPECT_NEAR(estimate.reference[inside], 16 + 0.5 * (235 - 16), 3);
  const size_t onMark = static_cast<size_t>(28 - box.y) * box.width + (20 - box.x);
  EXPECT_GT(estimate.reference[onMark], 18) << "the line through every frame shows the mark";
  const auto reference = cli::logo::MakeReference(estimate, w, h, std::nullopt);
  EXPECT_EQ(Sides(reference.region), (std::array<int, 4>{12, 11, 24, 18})) << "the mark taken for part of the logo";
}

// Frames of moving noise with black bars and, optionally, a steady bright
// square and a still dashed stroke 8 pixels below it, its dashes by turns 4
// pixels higher and lower, that reaches over a third of the frame's width.
std::vector<uint8_t> BarFrame(int w, int h, int bar, int n, bool square, bool stroke) {
  std::vector<uint8_t> planar(static_cast<size_t>(w) * h * 2, 128);
  uint32_t state = 1234567u + 7919u * n;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      uint8_t v = static_cast<uint8_t>(40 + state % 160);
      if (y < bar || y >= h - bar) v = 16;
      if (square && x >= w - 40 && x < w - 20 && y >= bar + 10 && y < bar + 26) v = 235;
      const int dash = (x - w / 2) / 12, top = bar + 34 + 4 * (dash & 1);
      if (stroke && x >= w / 2 && x < w - 20 && (x - w / 2) % 12 < 8 && y >= top && y < top + 4) v = 235;
      planar[static_cast<size_t>(y) * w + x] = v;
    }
  }
  return planar;
}

// Every instruction set finds the same steady cells; the search sets the
// bars and the stroke aside and finds the square when there is one.
TEST(LogoSearch, SetsBlackBordersAsideAndFindsASteadySquare) {
  const int bar = 12;
  const int sizes[][2] = {{192, 108}, {3840, 216}};  // cells of 2x2 and of 4x4 pixels
  for (const auto& [w, h] : sizes) {
    for (const auto& [square, stroke] : {std::pair{false, false}, {true, false}, {true, true}}) {
      std::vector<uint8_t> plain;  // the steady cells of the plain code
      for (const Simd simd : SupportedSimd()) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h << (square ? " with" : " without") << " a square"
                                          << (stroke ? " and a stroke, " : ", ") << SimdName(simd));
        cli::logo::EdgeStatistics statistics(w, h, simd);
        for (int n = 0; n < 60; ++n) {
          const auto planar = BarFrame(w, h, bar, n, square, stroke);
          statistics.Add(FrameView::OfPlanar(planar.data(), w, h));
        }
        if (plain.empty()) plain = statistics.SteadyEdges();
        EXPECT_TRUE(statistics.SteadyEdges() == plain);
        const auto found = cli::logo::FindLogoBox(statistics);
        ASSERT_EQ(found.has_value(), square);
        if (square) {
          const int slack = 3 * statistics.Scale();
          EXPECT_TRUE(found->Contains({w - 40, bar + 10, 20, 16}));
          EXPECT_TRUE(Box({w - 40 - slack, bar + 10 - slack, 20 + 2 * slack, 16 + 2 * slack}).Contains(*found))
              << found->x << "," << found->y << " " << found->width << "x" << found->height;
        }
      }
    }
  }
}

// A recording that opens on a still card (dark marks on a bright field) and
// goes on in one darker scene, with a texture drifting around the logo.
// Over these two levels of brightness a line explains the marks' steps as
// well as the logo's, which the texture blurs a little: but the marks show in
// the card's frames only, the logo in all of them.
TEST(LogoSearch, PrefersTheLogoToMarksThatStoodStillInOneScene) {
  const int w = 192, h = 108, frames = 60, card = 18;
  const Box logo{w - 48, 12, 24, 16};
  for (const Simd simd : SupportedSimd()) {
    SCOPED_TRACE(SimdName(simd));
    cli::logo::EdgeStatistics statistics(w, h, simd);
    for (int n = 0; n < frames; ++n) {
      std::vector<uint8_t> planar(static_cast<size_t>(w) * h * 2, 128);
      uint32_t state = 99991u + 7919u * n;
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          state ^= state << 13, state ^= state >> 17, state ^= state << 5;
          double v = (n < card ? 200 : 120) + static_cast<int>(state % 3) - 1;
          const bool mark = y >= 60 && y < 70 && (x % 48) >= 10 && (x % 48) < 20 && x < w / 2;
          if (n < card && mark) v = 60;
          const bool nearLogo = x >= logo.x - 16 && x < logo.Right() + 16 && y < logo.Bottom() + 16;
          if (n >= card && nearLogo) v = 120 + 20 * std::sin((x + 3.0 * n) / 5.0) * std::cos((y - 2.0 * n) / 4.0);
          if (x >= logo.x && x < logo.Right() && y >= logo.y && y < logo.Bottom()) v = 0.3 * v + 0.7 * 235;
          planar[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(std::lround(v));
        }
      }
      statistics.Add(FrameView::OfPlanar(planar.data(), w, h));
    }
    const auto found = cli::logo::FindLogoBox(statistics);
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(Grow(logo, 4, w, h).Contains(*found) && found->Contains(Grow(logo, -2, w, h)))
        << found->x << "," << found->y << " " << found->width << "x" << found->height;
  }
}

// The logo threshold is half the largest of the steps 255, 247, ..., 15, 7,
// 6, ..., 1 that the reference's region reaches (at least 2).
TEST(LogoDetection, TakesTheLogoThresholdFromTheLargestStep) {
  const struct {
    int height;  // of a sharp step in the reference
    int logoThreshold;
  } cases[] = {{219, 107}, {215, 107}, {214, 103}, {100, 47}, {15, 7}, {14, 3}, {9, 3}, {6, 3}, {3, 2}, {0, 2}};
  for (const auto& c : cases) {
    local::Picture reference = local::Picture::YUY2(64, 8, 16, 128);
    for (int y = 0; y < 8; ++y) {
      for (int x = 30; x < 64; ++x) reference.Luma(y, x) = static_cast<uint8_t>(16 + c.height);
    }
    cli::logo::CropStore none;
    none.Reset({0, 0, 64, 8});
    const Box region{0, 0, 64, 8};
    EXPECT_EQ(cli::logo::AdviseIfNoLogo(reference, region, none).logoThreshold, c.logoThreshold) << c.height;
  }
}

}  // namespace
}  // namespace pramvix::testing
