#pragma once
// The luma tests of the switching filters: at every position where the logo
// frame has a luma step, does the main frame have one too? Pure kernels over
// rows of bytes, with IfLogo's and IfNoLogo's rules side by side.
#include <cstdint>

#include "base/region.h"
#include "base/simd.h"
#include "base/yuy2.h"

namespace pramvix {

// The step sizes of a test, from the script's thresholds.
struct TestRule {
  int logoStep = 0;      // |logoThreshold|: the step that makes a logo-edge position
  int frameStep = 0;     // |frameThreshold|: the step the main frame is tested against
  bool marking = false;  // frameThreshold < 0: complement the luma of every hit
};

// Magnitudes saturate at INT_MAX: a step of bytes is at most 255, so no
// comparison changes, and |INT_MIN| never overflows.
TestRule TestRuleOf(int frameThreshold, int logoThreshold);

struct RowCounts {
  int hits = 0;
  int misses = 0;
};

// A row adds its hits only when they outnumber its misses, otherwise (equal
// counts included) its misses.
struct Totals {
  int64_t hits = 0;
  int64_t misses = 0;

  void AddRow(const RowCounts& row) {
    if (row.misses < row.hits) {
      hits += row.hits;
    } else {
      misses += row.misses;
    }
  }
  bool LogoFound() const { return misses < 2 * hits; }
};

// One row: pixels x … x + width − 1, left to right. The region must lie inside
// both rows; neighbours beyond a row's ends are held inside it. Marks are
// written while the row runs, so later positions read them.
//
// IfLogo: an edge where the means of logo pixels p−4…p−2 and p…p+2 (each an
// integer division by 3) differ by logoStep or more; a hit where main pixels
// p−2 and p differ by more than frameStep.
RowCounts IfLogoRow(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule);
// IfNoLogo: an edge where logo pixels p−2 and p differ by logoStep or more; a
// hit where main pixels p−2 and p differ by frameStep or more, or where pixel p
// is dark (below 16) while the row's first region pixel, as it is now, is not.
// A row whose hits outnumber its misses also complements that first pixel.
RowCounts IfNoLogoRow(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule);

using ScanRowKernel = RowCounts (*)(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule);
// The row tests built for `simd` (the ones above where none is). Every variant
// counts and writes as they do; rows with marks always run the ones above,
// since each mark is read by a later position.
ScanRowKernel IfLogoRowFor(Simd simd);
ScanRowKernel IfNoLogoRowFor(Simd simd);

// Every row of the region with the row test `row`; each frame stepped by its
// own pitch.
Totals ScanRegion(const MutableFrame& main, const ConstFrame& logo, const Region& region, const TestRule& rule,
                  ScanRowKernel row);
inline Totals ScanIfLogo(const MutableFrame& main, const ConstFrame& logo, const Region& region,
                         const TestRule& rule, Simd simd) {
  return ScanRegion(main, logo, region, rule, IfLogoRowFor(simd));
}
inline Totals ScanIfNoLogo(const MutableFrame& main, const ConstFrame& logo, const Region& region,
                           const TestRule& rule, Simd simd) {
  return ScanRegion(main, logo, region, rule, IfNoLogoRowFor(simd));
}

}  // namespace pramvix
