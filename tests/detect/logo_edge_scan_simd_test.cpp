// The switching filters' vector row tests against IfLogoRow and IfNoLogoRow:
// the same hits and misses, and the same main bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>
#include <vector>

#include "detect/logo_edge_scan.h"
#include "support/variant_check.h"

namespace pramvix::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct Kernel {
  const char* name;
  ScanRowKernel reference;
  ScanRowKernel (*forSimd)(Simd);
};

const Kernel kKernels[] = {{"IfLogo", IfLogoRow, IfLogoRowFor}, {"IfNoLogo", IfNoLogoRow, IfNoLogoRowFor}};

// What a row test gives: hits, misses and the main row after it. Rows hold
// exactly their bytes; both are whole rows of their frames.
std::tuple<int, int, Bytes> RowTest(ScanRowKernel row, Bytes main, const Bytes& logo, int x, int width,
                                    const TestRule& rule) {
  const RowCounts counts = row(MutableLumaRow(main.data(), static_cast<int>(main.size() / 2)),
                               ConstLumaRow(logo.data(), static_cast<int>(logo.size() / 2)), x, width, rule);
  return {counts.hits, counts.misses, std::move(main)};
}

using LogoEdgeScanSimdTest = VectorKernelTest;

constexpr int kPairRowWidth = 1032;

// Lumas a a b b a a b+1 b+1 … (b = 254, 255, 0, 1, … wrapping): pixels p − 2
// and p hold every pair (a, b) and (b, a), all of them at least 8 pixels from
// the row's ends, where the vector code runs. Chroma bytes are 255 − luma, so
// a kernel that reads them as luma goes wrong.
Bytes PairRow(int a) {
  Bytes row(2 * kPairRowWidth);
  for (int p = 0; p < kPairRowWidth; ++p) {
    const int luma = (p & 2) ? ((p >> 2) + 254) % 256 : a;
    row[2 * p] = static_cast<uint8_t>(luma);
    row[2 * p + 1] = static_cast<uint8_t>(255 - luma);
  }
  return row;
}

// Every pair of logo lumas two pixels apart against every logo step, and every
// pair of main lumas against every frame step (with every position an edge).
// IfLogo's sums of three logo pixels are then 2a + b and a + 2b: every sum
// from 0 to 765.
TEST_F(LogoEdgeScanSimdTest, EveryLumaPairAgainstEveryStep) {
  std::vector<TestRule> rules;
  for (int step = -1; step <= 257; ++step) {
    rules.push_back({step, 40, false});
    rules.push_back({0, step, false});
  }
  for (int frameThreshold : {INT_MIN, INT_MAX}) {
    for (int logoThreshold : {INT_MIN, -1, 0, 1, INT_MAX}) rules.push_back(TestRuleOf(frameThreshold, logoThreshold));
  }
  for (int a = 0; a < 256; ++a) {
    const Bytes logo = PairRow(a);
    const Bytes main = PairRow(255 - a);
    for (const Kernel& kernel : kKernels) {
      for (const TestRule& rule : rules) {
        ASSERT_TRUE(LikeThePlainKernel(
            [&](Simd simd) { return RowTest(kernel.forSimd(simd), main, logo, 0, kPairRowWidth, rule); }))
            << kernel.name << ", a " << a << ", logo step " << rule.logoStep << ", frame step " << rule.frameStep;
      }
    }
  }
}

// Random rows, main and logo of their own widths, with the region anywhere in
// both (from pixel 0 to the right edge of the narrower), random steps, and
// marking rows too.
TEST_F(LogoEdgeScanSimdTest, RandomRows) {
  SeededDraw draw;
  for (int i = 0; i < 6000; ++i) {
    const int mainWidth = draw.OneIn(10) ? draw.Int(1, 800) : draw.Int(1, 80);
    const int logoWidth = draw.OneIn(2) ? mainWidth : std::max(1, mainWidth + draw.Int(-6, 6));
    const Bytes main = draw.Row(mainWidth);
    const Bytes logo = draw.Row(logoWidth);
    const int inside = std::min(mainWidth, logoWidth);
    const int x = draw.OneIn(4) ? draw.Int(0, std::min(inside, 5)) : draw.Int(0, inside);
    const int width = draw.OneIn(4) ? inside - x : draw.Int(0, inside - x);
    const TestRule rule = TestRuleOf(draw.OneIn(5) ? -draw.Int(0, 60) : draw.Threshold(), draw.Threshold());
    for (const Kernel& kernel : kKernels) {
      ASSERT_TRUE(LikeThePlainKernel([&](Simd simd) { return RowTest(kernel.forSimd(simd), main, logo, x, width, rule); }))
          << kernel.name << ": case " << i << ", rows " << mainWidth << "/" << logoWidth << ", x " << x << ", width "
          << width << ", steps " << rule.logoStep << "/" << rule.frameStep << (rule.marking ? " marking" : "");
    }
  }
}

// Rows long enough that each lane tallies more than a 16-bit lane holds: every
// position an edge, all of them hits, then all of them misses.
TEST_F(LogoEdgeScanSimdTest, LongRowsCountEveryPosition) {
  constexpr int kWidth = 600000;
  Bytes main(2 * kWidth);
  for (int p = 0; p < kWidth; ++p) main[2 * p] = static_cast<uint8_t>((p & 2) ? 100 : 20);
  for (const Kernel& kernel : kKernels) {
    // Lumas 0 0 200 200 … differ from those two pixels to the left everywhere;
    // 0 0 0 0 200 200 200 200 … have means of three that differ from those
    // four pixels to the left everywhere.
    const int period = kernel.reference == IfLogoRow ? 8 : 4;
    Bytes logo(2 * kWidth);
    for (int p = 0; p < kWidth; ++p) logo[2 * p] = static_cast<uint8_t>(p % period < period / 2 ? 0 : 200);
    for (const TestRule& rule : {TestRule{1, 10, false}, TestRule{1, 200, false}}) {
      const auto [hits, misses, marked] = RowTest(kernel.reference, main, logo, 0, kWidth, rule);
      ASSERT_GT(hits + misses, 500000) << kernel.name;
      EXPECT_TRUE(LikeThePlainKernel([&](Simd simd) { return RowTest(kernel.forSimd(simd), main, logo, 0, kWidth, rule); }))
          << kernel.name << ", frame step " << rule.frameStep;
    }
  }
}

// Whole regions of frames with their own pitches: the same totals, and the
// same frame bytes (marks included).
TEST_F(LogoEdgeScanSimdTest, RandomRegions) {
  SeededDraw draw;
  using Scan = Totals (*)(const MutableFrame&, const ConstFrame&, const Region&, const TestRule&, Simd);
  const std::pair<const char*, Scan> scans[] = {{"IfLogo", ScanIfLogo}, {"IfNoLogo", ScanIfNoLogo}};
  for (int i = 0; i < 400; ++i) {
    const int width = draw.Int(1, 120);
    const int height = draw.Int(1, 6);
    const TightFrame main = RandomFrame(draw, width, height);
    const TightFrame logo = RandomFrame(draw, width + draw.Int(0, 3), height);
    const Region region = RandomRegion(draw, width, height);
    const TestRule rule = TestRuleOf(draw.OneIn(4) ? -draw.Int(0, 60) : draw.Threshold(), draw.Threshold());
    for (const auto& [name, scan] : scans) {
      ASSERT_TRUE(LikeThePlainKernel([&](Simd simd) {
        TightFrame out = main;
        const Totals totals = scan(out.Rows(), logo.ReadRows(), region, rule, simd);
        return std::make_tuple(totals.hits, totals.misses, out.bytes);
      })) << name << ": case " << i;
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
