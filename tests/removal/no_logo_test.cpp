#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/logo_removal.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoTest : public HostTest {
 protected:
  // NoLogo over one-frame clips of these pictures.
  Picture NoLogo(const Picture& main, const Picture& logo, int threshold, int x, int y, int width, int height) {
    return Run("NoLogo", {ClipOf(main), ClipOf(logo), 0, threshold, x, y, width, height});
  }
};

const std::vector<int> kRamp = {10, 20, 30, 40, 50, 60, 70, 80};

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
      {"NoLogoM", 150, 216, 200, 1, 0, 150},   {"NoLogoM", 235, 230, 180, 1.5f, -10, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.function << " s=" << c.s << " L=" << c.L << " level " << c.level
                                      << " gain " << c.gain << " offset " << c.offset);
    Picture main = Picture::YUY2(8, 1, 90);
    Picture logo = Picture::YUY2(8, 1);
    main.Luma(0, 3) = static_cast<uint8_t>(c.s);
    logo.Luma(0, 2) = c.L < 128 ? 255 : 0;
    logo.Luma(0, 3) = static_cast<uint8_t>(c.L);
    std::vector<AVSValue> args = {ClipOf(main), ClipOf(logo), 0, 1, 2, 0, 2, 1};
    if (std::string(c.function) == "NoLogoM") args.insert(args.end(), {c.gain, c.level, c.offset});
    EXPECT_EQ(Run(c.function, args).Luma(0, 3), c.v);
    EXPECT_EQ(UncoveredLuma(c.s, c.L, Overlay{c.level, c.gain, c.offset}), c.v);
  }
}

// Threshold 0 inverts the region; each new value softens the pixel to its left
// from what the pass has already written, so pixel 3 reads the softened
// pixel 2. The pixel left of the region changes; the last one is not softened.
TEST_F(NoLogoTest, InvertingModeSoftensFromWhatTheRowPassWrote) {
  Picture main = Picture::YUY2(8, 1);
  main.SetLumaRow(0, 0, kRamp);
  const Picture out = NoLogo(main, Picture::YUY2(8, 1), 0, 2, 0, 4, 1);
  EXPECT_EQ(out.LumaRow(0), (std::vector<int>{10, 85, 175, 198, 199, 195, 70, 80}));
  for (int j = 1; j < out.rowSize; j += 2) EXPECT_EQ(out.Byte(0, j), 128) << "chroma byte " << j;
}

TEST_F(NoLogoTest, FlatReferenceKeepsLumaButSoftensAtItsEdges) {
  Picture main = Picture::YUY2(8, 1);
  main.SetLumaRow(0, 0, {10, 20, 90, 40, 50, 100, 70, 80});
  Picture logo = Picture::YUY2(8, 1);
  logo.SetLumaRow(0, 0, {0, 0, 50, 50, 50, 50, 0, 0});
  EXPECT_EQ(NoLogo(main, logo, 10, 2, 0, 4, 1).LumaRow(0), (std::vector<int>{10, 40, 90, 40, 63, 100, 70, 80}));
}

TEST_F(NoLogoTest, RegionRowsStartAtYOrAtTheTop) {
  Picture main = Picture::YUY2(4, 4);
  for (int r = 0; r < 4; ++r) main.SetLumaRow(r, 0, {10, 20, 30, 40});
  const Picture logo = Picture::YUY2(4, 4);
  const Picture fromTop = NoLogo(main, logo, 0, 0, 0, 4, 2);
  EXPECT_NE(fromTop.LumaRow(1), main.LumaRow(1));
  EXPECT_EQ(fromTop.LumaRow(2), main.LumaRow(2));
  const Picture fromRow2 = NoLogo(main, logo, 0, 0, 2, 4, 2);
  EXPECT_EQ(fromRow2.LumaRow(1), main.LumaRow(1));
  EXPECT_EQ(fromRow2.LumaRow(2), fromTop.LumaRow(0));
  EXPECT_EQ(fromRow2.LumaRow(3), fromTop.LumaRow(1));
}

TEST_F(NoLogoTest, RegionAtTheRightEdgeHoldsNeighboursInTheRow) {
  Picture main = Picture::YUY2(8, 2);
  main.SetLumaRow(0, 0, kRamp);
  const Picture logo = Picture::YUY2(8, 2);
  // The last pixel's right neighbour in the reference is held at the edge.
  EXPECT_EQ(NoLogo(main, logo, 0, 4, 0, 4, 1).LumaRow(0), (std::vector<int>{10, 20, 30, 91, 163, 181, 180, 175}));
}

// A region at the frame's left edge: neighbours left of pixel 0 are held at
// pixel 0, and a write there is skipped.
TEST_F(NoLogoTest, RegionAtTheLeftEdgeHoldsNeighboursInTheRow) {
  Picture main = Picture::YUY2(8, 1);
  main.SetLumaRow(0, 0, kRamp);
  const Picture logo = Picture::YUY2(8, 1);
  EXPECT_EQ(NoLogo(main, logo, 0, 0, 0, 2, 1).LumaRow(0), (std::vector<int>{241, 235, 30, 40, 50, 60, 70, 80}));
  EXPECT_EQ(NoLogo(main, logo, 0, 1, 0, 2, 1).LumaRow(0), (std::vector<int>{85, 181, 225, 40, 50, 60, 70, 80}));
}

}  // namespace
}  // namespace pramvix::testing
