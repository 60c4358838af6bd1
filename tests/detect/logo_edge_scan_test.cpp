// IfLogo's and IfNoLogo's row tests on worked rows: the counts, the marks,
// and which frame the filter then hands back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/logo_edge_scan.h"
#include "detect/switch_test.h"

namespace pramvix::testing {
namespace {

class LogoEdgeScanTest : public SwitchTest {};

// One row, region (x, 0, width, 1). An empty logo is flat at 16; an empty
// `after` means the row test leaves the main row as it is.
struct RowCase {
  const char* function;
  const char* what;
  std::vector<int> main, logo;
  int frameThreshold, logoThreshold, x, width;
  std::vector<int> after;
  int hits, misses;
  bool alternate;  // the filter hands back the alternate frame
};

const RowCase kRowCases[] = {
    // IfLogo: an edge where means of three logo pixels differ by the logo step;
    // a hit where main pixels two apart differ by more than the frame step.
    {"IfLogo", "a flat logo has no edge: nothing counts", {100, 100, 200, 200, 100, 100}, {}, -10, 1, 2, 4, {}, 0, 0,
     false},
    {"IfLogo", "logo step 0 makes every position an edge", {100, 100, 200, 200, 100, 100}, {}, 10, 0, 2, 4, {}, 4, 0,
     true},
    {"IfLogo", "frame step 0: any step is a hit, (1, 1) adds its miss", {100, 100, 101, 100}, {}, 0, 0, 2, 2, {}, 1, 1,
     false},
    {"IfLogo", "frame step 0, two hits", {100, 100, 101, 99}, {}, 0, 0, 2, 2, {}, 2, 0, true},
    {"IfLogo", "unmarked, pixel 4 reads 200 at pixel 2: a hit", {100, 100, 200, 100, 55, 100}, {}, 10, 0, 2, 3, {}, 2,
     1, true},
    {"IfLogo", "marked, pixel 4 reads 55 at pixel 2: a miss", {100, 100, 200, 100, 55, 100}, {}, -10, 0, 2, 3,
     {100, 100, 55, 100, 55, 100}, 1, 2, false},
    {"IfLogo", "a passing test drops the marks", {100, 100, 200, 100}, {}, -10, 0, 2, 1, {100, 100, 55, 100}, 1, 0,
     true},
    {"IfLogo", "a step equal to the frame step is a miss", {100, 100, 110, 16}, {}, 10, 0, 2, 1, {}, 0, 1, false},
    // Neighbours beyond the row's ends are held at its end pixels: logo
    // 255 | 16 … gives edges at pixels 0 to 3, pixel 1 reads the held pixel 0
    // and pixel 3 the marked pixel 1; … 16 | 255 gives edges at 6 and 7.
    {"IfLogo", "region at the left edge", {100, 200, 100, 100, 100, 100, 100, 100}, {255, 16, 16, 16, 16, 16, 16, 16},
     -10, 100, 0, 5, {100, 55, 100, 155, 100, 100, 100, 100}, 2, 2, false},
    {"IfLogo", "region at the right edge", {100, 100, 100, 100, 100, 100, 200, 100}, {16, 16, 16, 16, 16, 16, 16, 255},
     -10, 100, 4, 4, {100, 100, 100, 100, 100, 100, 55, 100}, 1, 1, false},
    // IfNoLogo: an edge where logo pixels two apart differ by the logo step; a
    // hit where main pixels two apart differ by the frame step or more, or
    // where a pixel is dark while the region's first pixel is not. The
    // alternate comes back only for frame thresholds above 0.
    {"IfNoLogo", "a step equal to the frame step is a hit", {100, 100, 110, 16}, {}, 10, 0, 2, 1, {}, 1, 0, true},
    {"IfNoLogo", "dark pixels are hits while the first is not dark", {12, 12, 20, 12, 12, 16}, {}, 50, 0, 2, 3, {}, 2,
     1, true},
    {"IfNoLogo", "beside a dark first pixel only steps count", {12, 12, 15, 12, 12, 16}, {}, 50, 0, 2, 3, {}, 0, 3,
     false},
    // The dark rule reads the first pixel as marked: 240 becomes 15, so pixel
    // 3 is no longer dark-hit; 5 becomes 250, so pixel 3 is, and the row mark
    // complements pixel 2 back to 5.
    {"IfNoLogo", "bright first pixel, unmarked", {100, 10, 240, 10}, {}, 50, 0, 2, 2, {}, 2, 0, true},
    {"IfNoLogo", "bright first pixel, marked", {100, 10, 240, 10}, {}, -50, 0, 2, 2, {100, 10, 15, 10}, 1, 1, false},
    {"IfNoLogo", "dark first pixel, unmarked", {200, 10, 5, 10}, {}, 50, 0, 2, 2, {}, 1, 1, false},
    {"IfNoLogo", "dark first pixel, marked", {200, 10, 5, 10}, {}, -50, 0, 2, 2, {200, 10, 5, 245}, 2, 0, false},
    {"IfNoLogo", "frame threshold 0 keeps the main frame, unmarked", {100, 100, 200, 100, 150, 16}, {}, 0, 0, 2, 3, {},
     3, 0, false},
    // A row with more hits than misses complements its first pixel too; a
    // first pixel that is a hit ends as it began.
    {"IfNoLogo", "a negative threshold marks every hit and the row",
     {100, 100, 200, 100, 150, 16}, {}, -10, 0, 2, 3, {100, 100, 200, 100, 105, 16}, 2, 1, false},
    {"IfNoLogo", "the row mark on a first pixel that is a miss", {50, 50, 50, 80, 40, 16}, {}, -10, 0, 2, 3,
     {50, 50, 205, 175, 215, 16}, 2, 1, false},
    // Held neighbours: pixels 1 and 2 read the held 255 of pixel 0; at the
    // right only pixel 5 (16 | 255) is an edge.
    {"IfNoLogo", "region at the left edge", {100, 200, 100, 100, 100, 100}, {255, 16, 16, 16, 16, 16}, -10, 100, 0, 3,
     {100, 55, 100, 100, 100, 100}, 1, 1, false},
    {"IfNoLogo", "region at the right edge", {100, 100, 100, 100, 100, 200}, {16, 16, 16, 16, 16, 255}, -10, 100, 2,
     4, {100, 100, 155, 100, 100, 55}, 1, 0, false},
};

TEST_F(LogoEdgeScanTest, WorkedRowsCountMarkAndChooseTheFrame) {
  for (const RowCase& c : kRowCases) {
    SCOPED_TRACE(std::string(c.function) + ": " + c.what);
    const Picture logo = c.logo.empty() ? Picture::YUY2(static_cast<int>(c.main.size()), 1) : Row(c.logo);
    const std::vector<int>& after = c.after.empty() ? c.main : c.after;
    Picture main = Row(c.main);
    const ScanRowKernel kernel = std::string(c.function) == "IfLogo" ? IfLogoRow : IfNoLogoRow;
    const RowCounts counts =
        kernel(MutableRow(main, 0), ConstRow(logo, 0), c.x, c.width, TestRuleOf(c.frameThreshold, c.logoThreshold));
    EXPECT_EQ(counts.hits, c.hits);
    EXPECT_EQ(counts.misses, c.misses);
    EXPECT_EQ(main.LumaRow(0), after);
    EXPECT_EQ(Switch(c.function, Row(c.main), logo, c.frameThreshold, c.logoThreshold, {c.x, 0, c.width, 1}),
              c.alternate ? Alternate() : Row(after));
  }
}

// Logo rows of 16 with blocks of 255; at logo step 161 only positions whose
// two means are 16 and 255 are edges. Rows of (hits, misses) (5, 2), (1, 1),
// (0, 3): the first adds its hits, the others their misses, and 4 < 2 × 5.
TEST_F(LogoEdgeScanTest, RowTotalsChooseTheAlternate) {
  Picture logo = Picture::YUY2(32, 3);
  const int blocks[][3] = {{0, 1, 5}, {0, 10, 14}, {1, 20, 23}, {2, 1, 5}};  // row, first pixel, end
  for (const auto& block : blocks) {
    for (int p = block[1]; p < block[2]; ++p) logo.Luma(block[0], p) = 255;
  }
  Picture main = Picture::YUY2(32, 3, 100);
  for (int p : {2, 5, 6, 10, 11}) main.Luma(0, p) = 150;  // edges 14 and 15 stay flat: misses
  main.Luma(1, 20) = 150;                                 // edge 24 stays flat
  EXPECT_EQ(Switch("IfLogo", main, logo, 10, 161, {2, 0, 28, 3}), Alternate());
  const RowCounts expected[] = {{5, 2}, {1, 1}, {0, 3}};
  Totals totals;
  for (int r = 0; r < 3; ++r) {
    const RowCounts counts = IfLogoRow(MutableRow(main, r), ConstRow(logo, r), 2, 28, TestRuleOf(10, 161));
    EXPECT_EQ(counts.hits, expected[r].hits) << "row " << r;
    EXPECT_EQ(counts.misses, expected[r].misses) << "row " << r;
    totals.AddRow(counts);
  }
  EXPECT_EQ(totals.hits, 5);
  EXPECT_EQ(totals.misses, 4);
}

}  // namespace
}  // namespace pramvix::testing
