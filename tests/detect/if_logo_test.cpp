#include <gtest/gtest.h>

#include <vector>

#include "detect/logo_edge_scan.h"
#include "detect/switch_test.h"

namespace pramvix::testing {
namespace {

class IfLogoTest : public SwitchTest {
 protected:
  Picture IfLogo(const Picture& main, const Picture& logo, int frameThreshold, int logoThreshold,
                 const Region& region) {
    return Switch("IfLogo", main, logo, frameThreshold, logoThreshold, region);
  }
};

RowCounts CountsOf(Picture& main, const Picture& logo, int r, int x, int width, int frameThreshold,
                   int logoThreshold) {
  return IfLogoRow(MutableRow(main, r), ConstRow(logo, r), x, width, TestRuleOf(frameThreshold, logoThreshold));
}

void ExpectCounts(const RowCounts& counts, int hits, int misses) {
  EXPECT_EQ(counts.hits, hits);
  EXPECT_EQ(counts.misses, misses);
}

// Logo rows of luma 16 with blocks of 255. At threshold 161 only positions
// whose two three-pixel means are 16 and 255 are edges: the first two pixels
// of a block of four or more and the two after it; a block of three gives its
// first pixel and the one four further on.
Picture ExampleLogo() {
  Picture logo = Picture::YUY2(32, 3);
  auto block = [&](int r, int from, int to) {
    for (int p = from; p < to; ++p) logo.Luma(r, p) = 255;
  };
  block(0, 1, 5);    // edges 2, 5, 6 in the region (1 lies left of it)
  block(0, 10, 14);  // edges 10, 11, 14, 15
  block(1, 20, 23);  // edges 20, 24
  block(2, 1, 5);    // edges 2, 5, 6
  return logo;
}

// Rows of (hits, misses) (5, 2), (1, 1), (0, 3): the first adds 5 hits, the
// others 1 + 3 misses, and 4 < 2 × 5.
TEST_F(IfLogoTest, ExampleTotalsChooseTheAlternate) {
  const Picture logo = ExampleLogo();
  Picture main = Picture::YUY2(32, 3, 100);
  for (int p : {2, 5, 6, 10, 11}) main.Luma(0, p) = 150;  // 14 and 15 stay flat: misses
  main.Luma(1, 20) = 150;                                 // 24 stays flat
  const Region region{2, 0, 28, 3};
  EXPECT_EQ(IfLogo(main, logo, 10, 161, region), Alternate());

  Picture work = main;
  ExpectCounts(CountsOf(work, logo, 0, 2, 28, 10, 161), 5, 2);
  ExpectCounts(CountsOf(work, logo, 1, 2, 28, 10, 161), 1, 1);
  ExpectCounts(CountsOf(work, logo, 2, 2, 28, 10, 161), 0, 3);
  Totals totals;
  for (const RowCounts& row : {RowCounts{5, 2}, RowCounts{1, 1}, RowCounts{0, 3}}) totals.AddRow(row);
  EXPECT_EQ(totals.hits, 5);
  EXPECT_EQ(totals.misses, 4);
}

// A flat logo frame has no step of 1 or more: both totals stay 0, and
// 0 < 0 fails; nothing is marked. At threshold 0 every position counts.
TEST_F(IfLogoTest, WithoutLogoEdgesTheMainFrameComesBackUnmarked) {
  const Picture main = Row({100, 100, 200, 200, 100, 100});
  const Picture logo = Row({16, 16, 16, 16, 16, 16});
  EXPECT_EQ(IfLogo(main, logo, -10, 1, {2, 0, 4, 1}), main);
  EXPECT_EQ(IfLogo(main, logo, 10, 0, {2, 0, 4, 1}), Alternate());
}

// Any nonzero step is a hit at threshold 0, a zero step a miss; the row (1, 1)
// adds its miss, not its hit; nothing is marked.
TEST_F(IfLogoTest, FrameThresholdZeroCountsAnyStepAndMarksNothing) {
  Picture main = Row({100, 100, 101, 100});
  const Picture logo = Row({16, 16, 16, 16});
  EXPECT_EQ(IfLogo(main, logo, 0, 0, {2, 0, 2, 1}), main);
  ExpectCounts(CountsOf(main, logo, 0, 2, 2, 0, 0), 1, 1);
  EXPECT_EQ(main, Row({100, 100, 101, 100}));
  EXPECT_EQ(IfLogo(Row({100, 100, 101, 99}), logo, 0, 0, {2, 0, 2, 1}), Alternate());
}

// Pixel 4 is read against pixel 2. With +10 pixel 2 keeps 200: |200 − 55| is
// a hit, (2, 1) passes. With −10 the hit at pixel 2 has become 55 by then:
// |55 − 55| is a miss, (1, 2) fails and the marked main frame comes back.
TEST_F(IfLogoTest, MarksChangeWhatLaterPositionsRead) {
  const Picture main = Row({100, 100, 200, 100, 55, 100});
  const Picture logo = Row({16, 16, 16, 16, 16, 16});
  const Region region{2, 0, 3, 1};
  EXPECT_EQ(IfLogo(main, logo, 10, 0, region), Alternate());
  EXPECT_EQ(IfLogo(main, logo, -10, 0, region), Row({100, 100, 55, 100, 55, 100}));

  Picture plus = main;
  Picture minus = main;
  ExpectCounts(CountsOf(plus, logo, 0, 2, 3, 10, 0), 2, 1);
  ExpectCounts(CountsOf(minus, logo, 0, 2, 3, -10, 0), 1, 2);
}

TEST_F(IfLogoTest, PassingTestReturnsTheAlternateWithoutMarks) {
  const Picture main = Row({100, 100, 200, 100});
  const PClip mainClip = ClipOf(main);
  const Picture out = Run("IfLogo", {mainClip, ClipOf(Alternate()), ClipOf(Row({16, 16, 16, 16})), 0, -10, 0, 2, 0,
                                     1, 1});
  EXPECT_EQ(out, Alternate());
  EXPECT_EQ(local::PictureOf(mainClip->GetFrame(0, &env)), main);
}

// Left of pixel 0 the logo and main rows are held at pixel 0; right of the
// last pixel at the last. At the left, logo 255 | 16 … gives edges at pixels
// 0 to 3 (means 255 | 95, 255 | 16, 255 | 16, 175 | 16); pixel 1 is read
// against the held pixel 0 (hit), pixel 3 against the marked pixel 1 (hit).
// At the right, … 16 | 255 gives edges at pixels 6 (16 | 175) and 7 (16 | 255).
TEST_F(IfLogoTest, RegionAtTheFrameEdgesHoldsNeighboursInTheRow) {
  EXPECT_EQ(IfLogo(Row({100, 200, 100, 100, 100, 100, 100, 100}), Row({255, 16, 16, 16, 16, 16, 16, 16}), -10, 100,
                   {0, 0, 5, 1}),
            Row({100, 55, 100, 155, 100, 100, 100, 100}));
  EXPECT_EQ(IfLogo(Row({100, 100, 100, 100, 100, 100, 200, 100}), Row({16, 16, 16, 16, 16, 16, 16, 255}), -10, 100,
                   {4, 0, 4, 1}),
            Row({100, 100, 100, 100, 100, 100, 55, 100}));
}

}  // namespace
}  // namespace pramvix::testing
