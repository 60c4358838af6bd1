#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "removal/logo_removal.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoTest : public HostTest {};

const std::vector<int> kRamp = {10, 20, 30, 40, 50, 60, 70, 80};
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kMost = std::numeric_limits<int>::max(), kLeast = std::numeric_limits<int>::min();

// The correction at the region's last pixel, which no later step softens:
// pixel 2 holds the row's reference, pixel 3 the tested reference luma.
// NoLogo's overlay is NoLogoM's default one: level 222, gain 1, offset 0.
TEST_F(NoLogoTest, NoLogoAndNoLogoMCorrectWorkedValues) {
  struct Case { const char* function; int s, L, level; float gain; int offset, v; };
  const Case cases[] = {
      {"NoLogo", 200, 100, 222, 1, 0, 177},    {"NoLogo", 120, 120, 222, 1, 0, 16},
      {"NoLogo", 235, 230, 222, 1, 0, 155},    {"NoLogo", 100, 16, 222, 1, 0, 100},
      {"NoLogo", 50, 10, 222, 1, 0, 54},       {"NoLogo", 100, 255, 222, 1, 0, 250},
      {"NoLogo", 16, 200, 222, 1, 0, 0},       {"NoLogo", 240, 238, 222, 1, 0, 240},
      {"NoLogoM", 200, 100, 222, 1, 0, 177},   {"NoLogoM", 180, 60, 222, 0.5f, 2, 175},
      {"NoLogoM", 200, 100, 230, 1, 0, 174},   {"NoLogoM", 200, 100, 222, 1.25f, 0, 172},
      {"NoLogoM", 120, 120, 222, 1, 8, 24},    {"NoLogoM", 240, 100, 222, 0.5f, 20, 250},
      {"NoLogoM", 150, 216, 200, 1, 0, 150},   {"NoLogoM", 235, 230, 180, 1.5f, -10, 0},
      // A ratio of 0 (the logo's level at the reference luma) makes the
      // quotient infinite, or not a number when s is there too: no correction,
      // s + offset. Not-finite quotients count as 0, out-of-range ones
      // saturate before the limit to 0 … 250, and extreme levels and offsets
      // do not overflow.
      {"NoLogoM", 200, 100, 84, 1, 0, 200},    {"NoLogoM", 50, 100, 84, 1, 0, 50},
      {"NoLogoM", 100, 100, 84, 1, 3, 103},    {"NoLogoM", 200, 100, 84, -1, 0, 200},   // −100 / −0
      {"NoLogoM", 255, 16, 0, 0, -5, 250},     // L = 16 with level 0: 0 / 0.001 = 0, then −239 / 0
      {"NoLogoM", 200, 16, 222, kInf, 0, 200}, // 0 times infinity
      {"NoLogoM", 200, 100, 222, std::nanf(""), 0, 200}, {"NoLogoM", 200, 100, 222, kInf, 0, 200},
      {"NoLogoM", 200, 100, 222, -kInf, 0, 200}, {"NoLogoM", 200, 100, 222, 1e30f, 0, 0},
      {"NoLogoM", 200, 100, 222, -1e30f, 0, 250}, {"NoLogoM", 200, 100, 222, 1, kMost, 250},
      {"NoLogoM", 200, 100, 222, 1, kLeast, 0}, {"NoLogoM", 200, 100, kMost, 1, 0, 116},
      {"NoLogoM", 200, 100, kLeast, 1, 0, 116}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.function << " s=" << c.s << " L=" << c.L << " level " << c.level
                                      << " gain " << c.gain << " offset " << c.offset);
    const Picture main = Row({90, 90, 90, c.s, 90, 90, 90, 90});
    const Picture logo = Row({16, 16, c.L < 128 ? 255 : 0, c.L, 16, 16, 16, 16});
    std::vector<AVSValue> args = {ClipOf(main), ClipOf(logo), 0, 1, 2, 0, 2, 1};
    if (std::string(c.function) == "NoLogoM") args.insert(args.end(), {c.gain, c.level, c.offset});
    EXPECT_EQ(Run(c.function, args).Luma(0, 3), c.v);
    EXPECT_EQ(UncoveredLuma(c.s, c.L, Overlay{c.level, c.gain, c.offset}), c.v);
  }
}

// One row of 8 pixels, region (x, 0, width, 1): lumas from one call of
// NoLogo, or of NoLogoM with its default overlay.
TEST_F(NoLogoTest, RowsOfWorkedValues) {
  struct Case {
    const char* what;
    const char* function;
    std::vector<int> main, logo;
    int threshold, x, width;
    std::vector<int> expected;
  };
  const std::vector<int> zero(8, 0);
  const Case cases[] = {
      // Threshold 0 inverts the region; each new value softens the pixel to
      // its left from what the pass has already written, so pixel 3 reads the
      // softened pixel 2. The pixel left of the region changes; the last one
      // is not softened.
      {"inverting", "NoLogo", kRamp, zero, 0, 2, 4, {10, 85, 175, 198, 199, 195, 70, 80}},
      {"inverting reaches 255", "NoLogoM", zero, zero, 0, 2, 2, {0, 85, 198, 255, 0, 0, 0, 0}},
      {"a flat reference keeps luma but softens at its edges", "NoLogo", {10, 20, 90, 40, 50, 100, 70, 80},
       {0, 0, 50, 50, 50, 50, 0, 0}, 10, 2, 4, {10, 40, 90, 40, 63, 100, 70, 80}},
      // At the row's ends neighbours are held at the edge pixel, and a write
      // left of pixel 0 is skipped.
      {"at the right edge", "NoLogo", kRamp, zero, 0, 4, 4, {10, 20, 30, 91, 163, 181, 180, 175}},
      {"at the left edge", "NoLogo", kRamp, zero, 0, 0, 2, {241, 235, 30, 40, 50, 60, 70, 80}},
      {"one pixel from the left edge", "NoLogo", kRamp, zero, 0, 1, 2, {85, 181, 225, 40, 50, 60, 70, 80}},
      // Pixel x holds the row's reference: a positive threshold never
      // corrects it, a negative one does; either way the next step softens it.
      {"positive threshold", "NoLogoM", {10, 20, 30, 200, 200, 60, 70, 80}, {16, 16, 100, 100, 100, 16, 16, 16}, 1,
       2, 3, {10, 20, 83, 161, 200, 60, 70, 80}},
      {"negative threshold", "NoLogoM", {10, 20, 30, 200, 200, 60, 70, 80}, {16, 16, 100, 100, 100, 16, 16, 16}, -1,
       2, 3, {10, 10, 62, 138, 177, 60, 70, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.function) + ", " + c.what);
    std::vector<AVSValue> args = {ClipOf(Row(c.main)), ClipOf(Row(c.logo)), 0, c.threshold, c.x, 0, c.width, 1};
    if (std::string(c.function) == "NoLogoM") args.insert(args.end(), {1.0f, 222, 0});
    EXPECT_EQ(Run(c.function, args).LumaRow(0), c.expected);
  }
}

TEST_F(NoLogoTest, NoLogoMsIntegerGainIsAFloat) {
  const Picture main = Row({90, 90, 90, 200, 90, 90, 90, 90});
  const Picture logo = Row({16, 16, 16, 100, 16, 16, 16, 16});
  auto noLogoM = [&](AVSValue gain) {
    return Run("NoLogoM", {ClipOf(main), ClipOf(logo), 0, 1, 2, 0, 2, 1, gain, 222, 0});
  };
  EXPECT_EQ(noLogoM(2).Luma(0, 3), 154);
  EXPECT_EQ(noLogoM(2.0f), noLogoM(2));
}

}  // namespace
}  // namespace pramvix::testing
