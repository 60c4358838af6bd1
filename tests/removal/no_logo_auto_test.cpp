#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoAutoTest : public HostTest {};

// Removal over the whole frame is NoLogo with threshold 5 over every row but
// the last and every pixel but the first.
TEST_F(NoLogoAutoTest, EqualsNoLogoOverTheFrameButItsEdges) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const int width = 2 * static_cast<int>(1 + random() % 12), height = static_cast<int>(1 + random() % 6);
    Picture main = Picture::YUY2(width, height), logo = Picture::YUY2(width, height);
    for (auto& byte : main.bytes) byte = static_cast<uint8_t>(random());
    // A reference mostly flat with logo patches, so every rule is exercised.
    for (int r = 0; r < height; ++r) {
      for (int p = 0; p < width; ++p) logo.Luma(r, p) = static_cast<uint8_t>(random() % 3 ? 16 + random() % 4 : random());
    }
    const PClip mainClip = ClipOf(main), logoClip = ClipOf(logo);
    EXPECT_EQ(Run("NoLogoAuto", {mainClip, logoClip, 0}),
              Run("NoLogo", {mainClip, logoClip, 0, 5, 1, 0, width - 1, height - 1}))
        << "seed " << seed;
  }
}

// Marking mode shows logo pixels inverted and softens as removal does; the
// last row stays as it was.
TEST_F(NoLogoAutoTest, MarkingModeInvertsOnlyLogoPixels) {
  const Picture main = Rows({{10, 20, 30, 40, 50, 60}, {10, 20, 30, 40, 50, 60}});
  const Picture logo = Rows({{0, 0, 0, 100, 100, 100}, {0, 0, 0, 100, 100, 100}});
  const PClip logoClip = MemoryClip::Of({Picture::YUY2(6, 2), Picture::YUY2(6, 2), Picture::YUY2(6, 2), logo});
  const Picture marked = Run("NoLogoAuto", {ClipOf(main), logoClip, -3});
  EXPECT_EQ(marked.LumaRow(0), (std::vector<int>{10, 20, 88, 215, 205, 195}));
  EXPECT_EQ(marked.LumaRow(1), main.LumaRow(1));
  // Frame 3 in removal mode: the same pixels corrected instead.
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), logoClip, 3}).LumaRow(0), (std::vector<int>{10, 20, 16, 0, 0, 0}));
  // The most negative frame number marks with the logo clip's last frame.
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), logoClip, std::numeric_limits<int>::min()}), marked);
}

TEST_F(NoLogoAutoTest, FirstPixelChangesOnlyThroughSofteningAndOneRowFramesNotAtAll) {
  const Picture main = Rows({{10, 20, 30, 40}, {16, 16, 16, 16}});
  const Picture logo = Rows({{0, 50, 50, 50}, {50, 50, 50, 50}});  // pixels 0 and 2 differ: pixel 0 is softened
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), ClipOf(logo), 0}).LumaRow(0), (std::vector<int>{13, 20, 30, 40}));
  const Picture oneRow = Row({10, 20, 30, 40});
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(oneRow), ClipOf(Picture::YUY2(4, 1, 200)), 0}), oneRow);
}

// The walk reads every logo row but the last: one row fewer will do, two
// are refused (a narrower frame is in the error table).
TEST_F(NoLogoAutoTest, RefusesALogoFrameTooSmallForTheWalk) {
  const struct {
    int width, height;
    const char* error;
  } logos[] = {{8, 2, "NoLogoAuto: the logo frame is too small for the region"}, {8, 3, ""}};
  for (const auto& l : logos) {
    EXPECT_EQ(ErrorOf("NoLogoAuto", {ClipOf(Picture::YUY2(8, 4)), ClipOf(Picture::YUY2(l.width, l.height)), 0}), l.error)
        << l.width << "x" << l.height;
  }
}

}  // namespace
}  // namespace pramvix::testing
