#include <gtest/gtest.h>

#include <vector>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class AddLogoTest : public HostTest {
 protected:
  Picture AddLogo(const Picture& main, const Picture& logo, AVSValue threshold, int x, int y, int width, int height) {
    return Run("AddLogo", {ClipOf(main), ClipOf(logo), 0, threshold, x, y, width, height, 0});
  }
  // Main luma a at pixel 1 of a two-pixel region whose logo lumas are b, c.
  int Blend(int a, int b, int c, AVSValue threshold) {
    return AddLogo(Row({90, a, 90, 90}), Row({b, c, 16, 16}), threshold, 0, 0, 2, 1).Luma(0, 1);
  }
};

// Results of 237 and 16 stay; 239 and 15 are clamped. The threshold's slot
// is a float read as an integer: 30.9 still blends a difference of 30, 0.7
// selects the inverting mode and −1e20 saturates to a negative threshold.
TEST_F(AddLogoTest, BlendsTheWorkedExamples) {
  struct Case { int a, b, c; AVSValue threshold; int v; };
  const Case cases[] = {{100, 50, 80, 10, 126},   // raised toward a brighter logo
                        {100, 120, 100, 10, 81},  // q = -19.999 truncates to -19
                        {100, 50, 145, 10, 238},  // 240, clamped
                        {200, 50, 240, 10, 200},  // d = 0: no shift
                        {240, 50, 240, 10, 238},  // 0 / 0 is no shift either
                        {100, 50, 55, 10, 100},   // below the threshold
                        {234, 0, 80, 10, 237},   {236, 0, 80, 10, 238},   {238, 0, 80, 10, 238},
                        {19, 141, 140, 1, 17},   {18, 141, 140, 1, 16},   {17, 141, 140, 1, 16},
                        {100, 50, 80, 30.9f, 126}, {100, 50, 80, 31, 100},  {100, 50, 80, 31.0f, 100},
                        {100, 50, 80, 0.7f, 155},  {100, 50, 80, -1e20f, 126}};
  for (const Case& c : cases) {
    EXPECT_EQ(Blend(c.a, c.b, c.c, c.threshold), c.v)
        << "a=" << c.a << " b=" << c.b << " c=" << c.c << " threshold " << c.threshold.AsFloat();
  }
}

// Threshold 0 inverts every luma of the region, without clamping.
TEST_F(AddLogoTest, ThresholdZeroInvertsTheRegion) {
  EXPECT_EQ(AddLogo(Row({10, 10, 250, 0, 128, 10}), Row({0, 50, 50, 200, 50, 0}), 0, 1, 0, 4, 1).LumaRow(0),
            (std::vector<int>{10, 245, 5, 255, 127, 10}));
}

// A negative threshold blends every pixel, the row's first included: where
// the logo luma equals the reference the shift is 0, and only the clamp acts.
TEST_F(AddLogoTest, NegativeThresholdBlendsEveryPixel) {
  const Picture main = Row({10, 250, 100, 100}), logo = Row({50, 50, 80, 50});
  EXPECT_EQ(AddLogo(main, logo, -1, 0, 0, 4, 1).LumaRow(0), (std::vector<int>{16, 238, 126, 100}));
  EXPECT_EQ(AddLogo(main, logo, 10, 0, 0, 4, 1).LumaRow(0), (std::vector<int>{10, 250, 126, 100}));
  EXPECT_EQ(AddLogo(main, logo, 256, 0, 0, 4, 1), main);
}

// Each row of the region blends against its own logo row; the row below stays.
TEST_F(AddLogoTest, EachRowHasItsOwnReference) {
  const Picture main = Picture::YUY2(2, 3, 100);
  const Picture logo = Rows({{50, 80}, {120, 100}, {80, 80}});
  const Picture top = AddLogo(main, logo, 10, 0, -2, 2, 2);
  EXPECT_EQ(top.LumaRow(0), (std::vector<int>{100, 126}));
  EXPECT_EQ(top.LumaRow(1), (std::vector<int>{100, 81}));
  EXPECT_EQ(top.LumaRow(2), (std::vector<int>{100, 100}));
}

}  // namespace
}  // namespace pramvix::testing
