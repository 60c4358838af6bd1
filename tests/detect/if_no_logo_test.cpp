#include <gtest/gtest.h>

#include <vector>

#include "detect/logo_edge_scan.h"
#include "detect/switch_test.h"

namespace pramvix::testing {
namespace {

class IfNoLogoTest : public SwitchTest {
 protected:
  Picture IfNoLogo(const Picture& main, const Picture& logo, int frameThreshold, int logoThreshold,
                   const Region& region) {
    return Switch("IfNoLogo", main, logo, frameThreshold, logoThreshold, region);
  }
};

// The row after the kernel, and its counts.
struct RowResult {
  std::vector<int> lumas;
  int hits, misses;
  bool operator==(const RowResult& o) const { return lumas == o.lumas && hits == o.hits && misses == o.misses; }
};

std::ostream& operator<<(std::ostream& out, const RowResult& r) {
  out << "(" << r.hits << ", " << r.misses << ") [";
  for (int v : r.lumas) out << v << " ";
  return out << "]";
}

RowResult Kernel(const std::vector<int>& lumas, int x, int width, int frameThreshold) {
  Picture main = Row(lumas);
  const Picture logo = Picture::YUY2(static_cast<int>(lumas.size()), 1);
  const RowCounts counts =
      IfNoLogoRow(MutableRow(main, 0), ConstRow(logo, 0), x, width, TestRuleOf(frameThreshold, 0));
  return RowResult{main.LumaRow(0), counts.hits, counts.misses};
}

const Picture kFlat6 = Row({16, 16, 16, 16, 16, 16});

// A step of exactly the threshold is a hit here and a miss in IfLogo.
TEST_F(IfNoLogoTest, StepEqualToTheThresholdIsAHit) {
  const Picture main = Row({100, 100, 110, 16});
  const Picture logo = Row({16, 16, 16, 16});
  EXPECT_EQ(IfNoLogo(main, logo, 10, 0, {2, 0, 1, 1}), Alternate());
  EXPECT_EQ(Switch("IfLogo", main, logo, 10, 0, {2, 0, 1, 1}), main);
}

// Steps of 8 and 0 against threshold 50. Pixels 3 and 4 (luma 12) are hits by
// the dark rule while the first region pixel is 20; with it at 15 only steps
// decide, and all three are misses.
TEST_F(IfNoLogoTest, DarkPixelsAreHitsWhileTheFirstPixelIsNotDark) {
  EXPECT_EQ(IfNoLogo(Row({12, 12, 20, 12, 12, 16}), kFlat6, 50, 0, {2, 0, 3, 1}), Alternate());
  EXPECT_EQ(Kernel({12, 12, 20, 12, 12, 16}, 2, 3, 50), (RowResult{{12, 12, 20, 12, 12, 16}, 2, 1}));
  EXPECT_EQ(IfNoLogo(Row({12, 12, 15, 12, 12, 16}), kFlat6, 50, 0, {2, 0, 3, 1}), Row({12, 12, 15, 12, 12, 16}));
  EXPECT_EQ(Kernel({12, 12, 15, 12, 12, 16}, 2, 3, 50), (RowResult{{12, 12, 15, 12, 12, 16}, 0, 3}));
}

// The dark rule reads the first pixel as the marks have left it.
TEST_F(IfNoLogoTest, DarkRuleReadsTheFirstPixelAsMarked) {
  // 240 is a hit and becomes 15: pixel 3 (10, step 0) is no longer dark-hit.
  EXPECT_EQ(Kernel({100, 10, 240, 10}, 2, 2, 50), (RowResult{{100, 10, 240, 10}, 2, 0}));
  EXPECT_EQ(Kernel({100, 10, 240, 10}, 2, 2, -50), (RowResult{{100, 10, 15, 10}, 1, 1}));
  // 5 is a hit and becomes 250: now pixel 3 is dark-hit and marked, and the
  // row (2, 0) complements pixel 2 back to 5.
  EXPECT_EQ(Kernel({200, 10, 5, 10}, 2, 2, 50), (RowResult{{200, 10, 5, 10}, 1, 1}));
  EXPECT_EQ(Kernel({200, 10, 5, 10}, 2, 2, -50), (RowResult{{200, 10, 5, 245}, 2, 0}));
  EXPECT_EQ(IfNoLogo(Row({200, 10, 5, 10}), Row({16, 16, 16, 16}), -50, 0, {2, 0, 2, 1}), Row({200, 10, 5, 245}));
}

// Row 0 would pass alone: threshold 0 still returns the main frame, unmarked.
TEST_F(IfNoLogoTest, FrameThresholdZeroAlwaysReturnsTheMainFrameUnmarked) {
  const Picture main = Row({100, 100, 200, 100, 150, 16});
  EXPECT_EQ(IfNoLogo(main, kFlat6, 0, 0, {2, 0, 3, 1}), main);
  EXPECT_EQ(Kernel({100, 100, 200, 100, 150, 16}, 2, 3, 0), (RowResult{{100, 100, 200, 100, 150, 16}, 3, 0}));
}

// Totals of 4 hits and no miss would pass; a negative threshold returns the
// main frame with every hit and both rows marked. In row 0 the first pixel is
// a hit and gets the row mark too: complemented twice, it ends as it began.
TEST_F(IfNoLogoTest, NegativeThresholdAlwaysReturnsTheMarkedMainFrame) {
  Picture main = Picture::YUY2(6, 2);
  main.SetLumaRow(0, 0, {100, 100, 200, 100, 150, 16});
  main.SetLumaRow(1, 0, {50, 50, 50, 80, 40, 16});
  Picture marked = main;
  marked.SetLumaRow(0, 0, {100, 100, 200, 100, 105, 16});
  marked.SetLumaRow(1, 0, {50, 50, 205, 175, 215, 16});
  EXPECT_EQ(IfNoLogo(main, Picture::YUY2(6, 2), -10, 0, {2, 0, 3, 2}), marked);
  EXPECT_EQ(Kernel({100, 100, 200, 100, 150, 16}, 2, 3, -10), (RowResult{{100, 100, 200, 100, 105, 16}, 2, 1}));
}

// Single-sample logo edges, held at the row's ends: at the left, pixels 1 and
// 2 read the held 255 of pixel 0; at the right only pixel 5 (16 | 255) is an
// edge. Row marks need more hits than misses.
TEST_F(IfNoLogoTest, RegionAtTheFrameEdgesHoldsNeighboursInTheRow) {
  EXPECT_EQ(IfNoLogo(Row({100, 200, 100, 100, 100, 100}), Row({255, 16, 16, 16, 16, 16}), -10, 100, {0, 0, 3, 1}),
            Row({100, 55, 100, 100, 100, 100}));
  EXPECT_EQ(IfNoLogo(Row({100, 100, 100, 100, 100, 200}), Row({16, 16, 16, 16, 16, 255}), -10, 100, {2, 0, 4, 1}),
            Row({100, 100, 155, 100, 100, 55}));
}

}  // namespace
}  // namespace pramvix::testing
