#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "removal/logo_removal.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoMTest : public HostTest {
 protected:
  Picture NoLogoM(const Picture& main, const Picture& logo, int threshold, int x, int width, AVSValue gain,
                  int level = 222, int offset = 0) {
    return Run("NoLogoM", {ClipOf(main), ClipOf(logo), 0, threshold, x, 0, width, 1, gain, level, offset});
  }
};

// Not-finite quotients count as 0 and out-of-range ones saturate before the
// limit to 0…250; extreme levels and offsets do not overflow.
TEST_F(NoLogoMTest, ExtremeArgumentsGiveDefinedResults) {
  const float inf = std::numeric_limits<float>::infinity();
  const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
  struct Case { float gain; int level, offset, v; };
  const Case cases[] = {{std::nanf(""), 222, 0, 200}, {inf, 222, 0, 200},  {-inf, 222, 0, 200},
                        {1e30f, 222, 0, 0},           {-1e30f, 222, 0, 250}, {1.0f, 222, most, 250},
                        {1.0f, 222, least, 0},        {1.0f, most, 0, 116},  {1.0f, least, 0, 116}};
  for (const Case& c : cases) {
    EXPECT_EQ(UncoveredLuma(200, 100, Overlay{c.level, c.gain, c.offset}), c.v)
        << "gain " << c.gain << " level " << c.level << " offset " << c.offset;
  }
  EXPECT_EQ(UncoveredLuma(200, 16, Overlay{222, inf, 0}), 200);  // 0 times infinity
}

TEST_F(NoLogoMTest, IntegerGainIsAFloat) {
  Picture main = Picture::YUY2(8, 1, 90);
  Picture logo = Picture::YUY2(8, 1);
  main.Luma(0, 3) = 200;
  logo.Luma(0, 3) = 100;
  EXPECT_EQ(NoLogoM(main, logo, 1, 2, 2, 2).Luma(0, 3), 154);
  EXPECT_EQ(NoLogoM(main, logo, 1, 2, 2, 2.0f), NoLogoM(main, logo, 1, 2, 2, 2));
}

// Pixel x holds the row's reference: a positive threshold never corrects it,
// a negative one does; either way the next step softens it.
TEST_F(NoLogoMTest, ThresholdSignDecidesWhetherTheFirstPixelIsCorrected) {
  Picture main = Picture::YUY2(8, 1);
  main.SetLumaRow(0, 0, {10, 20, 30, 200, 200, 60, 70, 80});
  Picture logo = Picture::YUY2(8, 1);
  logo.SetLumaRow(0, 0, {16, 16, 100, 100, 100, 16, 16, 16});
  EXPECT_EQ(NoLogoM(main, logo, 1, 2, 3, 1.0f).LumaRow(0), (std::vector<int>{10, 20, 83, 161, 200, 60, 70, 80}));
  EXPECT_EQ(NoLogoM(main, logo, -1, 2, 3, 1.0f).LumaRow(0), (std::vector<int>{10, 10, 62, 138, 177, 60, 70, 80}));
}

TEST_F(NoLogoMTest, InvertingModeReaches255AndSoftensThePixelLeftOfTheRegion) {
  const Picture out = NoLogoM(Picture::YUY2(8, 1, 0), Picture::YUY2(8, 1), 0, 2, 2, 1.0f);
  EXPECT_EQ(out.LumaRow(0), (std::vector<int>{0, 85, 198, 255, 0, 0, 0, 0}));
  for (int j = 1; j < out.rowSize; j += 2) EXPECT_EQ(out.Byte(0, j), 128);
}

TEST_F(NoLogoMTest, RegionAtEitherEdgeOfTheRow) {
  Picture main = Picture::YUY2(4, 1);
  main.SetLumaRow(0, 0, {10, 20, 30, 40});
  const Picture logo = Picture::YUY2(4, 1);
  // At x = 0 the write left of the row is skipped; pixel 0's left neighbour is
  // held at pixel 0 when pixel 1 softens it.
  EXPECT_EQ(NoLogoM(main, logo, 0, 0, 2, 1.0f).LumaRow(0), (std::vector<int>{241, 235, 30, 40}));
  EXPECT_EQ(NoLogoM(main, logo, 0, 1, 3, 1.0f).LumaRow(0), (std::vector<int>{85, 181, 207, 215}));
}

}  // namespace
}  // namespace pramvix::testing
