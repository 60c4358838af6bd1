#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class LogoMaskTest : public HostTest {
 protected:
  Picture LogoMask(const Picture& main, const Picture& alternate, const Picture& logo, int threshold, int x, int y,
                   int width, int height) {
    return Run("LogoMask", {ClipOf(main), ClipOf(alternate), ClipOf(logo), 0, threshold, x, y, width, height});
  }
};

// Every byte tells where it came from: the main picture counts up from 0, the
// alternate one from 100.
Picture Numbered(int width, int height, int first) {
  Picture picture = Picture::YUY2(width, height);
  for (size_t i = 0; i < picture.bytes.size(); ++i) picture.bytes[i] = static_cast<uint8_t>(first + i);
  return picture;
}

// One row of 8 pixels, region pixels 1 to 5 with the given logo lumas; the
// pixels outside the region have a logo luma that would mark them.
Picture LogoRow(const std::vector<int>& regionLumas) {
  Picture logo = Picture::YUY2(8, 1, 255);
  logo.SetLumaRow(0, 1, regionLumas);
  return logo;
}

// The bytes of Numbered(8, 1, 0) with the given pixels taken from the
// alternate picture: luma and the chroma byte after it.
std::vector<uint8_t> Replaced(const std::vector<int>& pixels) {
  std::vector<uint8_t> bytes = Numbered(8, 1, 0).bytes;
  for (int p : pixels) {
    bytes[2 * p] = static_cast<uint8_t>(100 + 2 * p);
    bytes[2 * p + 1] = static_cast<uint8_t>(101 + 2 * p);
  }
  return bytes;
}

// Differences 0, 5, 30, 21, -1 against the row's first logo luma 40: pixels
// x + 2 (odd, with its V byte) and x + 3 (even, with its U byte) are logo.
TEST_F(LogoMaskTest, ReplacesLogoPixelsWithTheirChromaByte) {
  const Picture out = LogoMask(Numbered(8, 1, 0), Numbered(8, 1, 100), LogoRow({40, 45, 70, 61, 39}), 20, 1, 0, 5, 1);
  EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 106, 107, 108, 109, 10, 11, 12, 13, 14, 15}));
}

// The difference is signed: darker logo pixels are never logo while the
// threshold is positive, and the row's first pixel (difference 0) always is
// once the threshold is 0 or less.
TEST_F(LogoMaskTest, ThresholdBoundsAndTheOneSidedTest) {
  const Picture main = Numbered(8, 1, 0);
  const Picture alternate = Numbered(8, 1, 100);
  auto mask = [&](const std::vector<int>& lumas, int threshold) {
    return LogoMask(main, alternate, LogoRow(lumas), threshold, 1, 0, 5, 1).bytes;
  };
  EXPECT_EQ(mask({100, 40, 160, 50, 150}, 50), Replaced({3, 5}));  // -60 and -50 are not logo
  EXPECT_EQ(mask({100, 40, 160, 50, 150}, 0), Replaced({1, 3, 5}));
  EXPECT_EQ(mask({100, 0, 0, 0, 0}, 0), Replaced({1}));
  EXPECT_EQ(mask({100, 0, 0, 0, 0}, -99), Replaced({1}));
  EXPECT_EQ(mask({100, 0, 0, 0, 0}, -100), Replaced({1, 2, 3, 4, 5}));
  EXPECT_EQ(mask({255, 0, 0, 0, 0}, -254), Replaced({1}));
  EXPECT_EQ(mask({255, 0, 0, 0, 0}, -255), Replaced({1, 2, 3, 4, 5}));
  EXPECT_EQ(mask({0, 255, 255, 255, 255}, 255), Replaced({2, 3, 4, 5}));
  EXPECT_EQ(mask({0, 255, 255, 255, 255}, 256), Replaced({}));
  EXPECT_EQ(mask({0, 255, 255, 255, 255}, 2147483647), Replaced({}));
  EXPECT_EQ(mask({0, 0, 0, 0, 0}, -2147483647 - 1), Replaced({1, 2, 3, 4, 5}));
}

// Each row compares with its own first logo luma; the row below the region,
// which would be marked, stays.
TEST_F(LogoMaskTest, EachRowHasItsOwnReference) {
  const Picture main = Picture::YUY2(4, 3, 50);
  const Picture alternate = Picture::YUY2(4, 3, 200);
  const Picture logo = Rows({{10, 40, 10, 40}, {40, 10, 40, 10}, {90, 90, 120, 60}});
  const Picture top = LogoMask(main, alternate, logo, 30, 0, -5, 4, 2);
  EXPECT_EQ(top.LumaRow(0), (std::vector<int>{50, 200, 50, 200}));
  EXPECT_EQ(top.LumaRow(1), (std::vector<int>{50, 50, 50, 50}));
  EXPECT_EQ(top.LumaRow(2), (std::vector<int>{50, 50, 50, 50}));
}

// The alternate clip is read only at the region's pixels: any size that
// holds them will do, and is addressed with its own row size and pitch. One
// of another pixel type is accepted when built and refused only when a
// request reads it.
TEST_F(LogoMaskTest, AlternateClipOfAnotherSizeServesWhenItHoldsTheRegion) {
  Picture large = Picture::YUY2(12, 4, 200, 90);
  large.SetLumaRow(1, 0, {201, 202, 203, 204, 205, 206});
  Picture logo = Picture::YUY2(8, 2);
  logo.SetLumaRow(1, 1, {0, 50, 50, 0});
  const Picture out = LogoMask(Picture::YUY2(8, 2, 60), large, logo, 30, 1, 1, 4, 1);
  EXPECT_EQ(out.LumaRow(0), Picture::YUY2(8, 2, 60).LumaRow(0));
  EXPECT_EQ(out.LumaRow(1), (std::vector<int>{60, 60, 203, 204, 60, 60, 60, 60}));
  EXPECT_EQ(out.Byte(1, 5), 90);
  EXPECT_EQ(out.Byte(1, 7), 90);

  const Picture small = Picture::YUY2(5, 2, 200);
  EXPECT_EQ(LogoMask(Picture::YUY2(8, 2, 60), small, logo, 30, 1, 1, 4, 1).LumaRow(1),
            (std::vector<int>{60, 60, 200, 200, 60, 60, 60, 60}));
  const PClip main = ClipOf(Picture::YUY2(8, 4)), logoClip = ClipOf(Picture::YUY2(8, 4));
  const PClip rgb = MemoryClip::Of({Picture::YUY2(8, 4)}, 0, kPixelRGB32);
  EXPECT_NO_THROW(env.Invoke("LogoMask", {main, rgb, logoClip, 0, 20, 0, 0, 4, 2}));
  EXPECT_EQ(ErrorOf("LogoMask", {main, rgb, logoClip, 0, 20, 0, 0, 0, 2}), "");
}

}  // namespace
}  // namespace pramvix::testing
