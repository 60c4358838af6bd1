#include "detect/logo_edge_scan.h"

#include <cstdint>

#include "base/arithmetic.h"
#include "base/frame_request.h"
#include "detect/logo_edge_scan_x86.h"

namespace pramvix {

namespace {

uint8_t Complement(uint8_t v) { return static_cast<uint8_t>(255 - v); }

}  // namespace

TestRule TestRuleOf(int frameThreshold, int logoThreshold) {
  return TestRule{SaturatingAbs(logoThreshold), SaturatingAbs(frameThreshold), frameThreshold < 0};
}

RowCounts IfLogoRow(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  RowCounts counts;
  const int end = x + width;
  for (int p = x; p < end; ++p) {
    const int left = (logo.Held(p - 4) + logo.Held(p - 3) + logo.Held(p - 2)) / 3;
    const int right = (logo[p] + logo.Held(p + 1) + logo.Held(p + 2)) / 3;
    if (Abs(left - right) < rule.logoStep) continue;
    if (Abs(main.Held(p - 2) - main[p]) > rule.frameStep) {
      ++counts.hits;
      if (rule.marking) main[p] = Complement(main[p]);
    } else {
      ++counts.misses;
    }
  }
  return counts;
}

RowCounts IfNoLogoRow(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  RowCounts counts;
  const int end = x + width;
  for (int p = x; p < end; ++p) {
    if (Abs(logo.Held(p - 2) - logo[p]) < rule.logoStep) continue;
    const bool dark = main[p] < 16 && main[x] >= 16;
    if (Abs(main.Held(p - 2) - main[p]) >= rule.frameStep || dark) {
      ++counts.hits;
      if (rule.marking) main[p] = Complement(main[p]);
    } else {
      ++counts.misses;
    }
  }
  if (rule.marking && counts.misses < counts.hits) main[x] = Complement(main[x]);
  return counts;
}

ScanRowKernel IfLogoRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kSse2) return IfLogoRowSse2;
#endif
  static_cast<void>(simd);
  return IfLogoRow;
}

ScanRowKernel IfNoLogoRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kSse2) return IfNoLogoRowSse2;
#endif
  static_cast<void>(simd);
  return IfNoLogoRow;
}

Totals ScanRegion(const MutableFrame& main, const ConstFrame& logo, const Region& region, const TestRule& rule,
                  ScanRowKernel row) {
  Totals totals;
  ForEachRegionRow(region, [&](int r) {
    totals.AddRow(row(LumaOf(main, r), LumaOf(logo, r), region.x, region.width, rule));
  });
  return totals;
}

}  // namespace pramvix
