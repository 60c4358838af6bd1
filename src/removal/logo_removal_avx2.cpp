#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include <limits>

#include "base/ratio_correction_x86.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/row_pass_vector.h"
#include "removal/row_pass_avx2.h"
#include "removal/strip_tiles_avx2.h"

namespace pramvix {
namespace {

// Sixteen rows of a region from firstRow: each row's first steps one pixel at
// a time, the tiles, then each row's end as WideRowPass finishes a row.
template <class Correction>
PRAMVIX_TARGET_AVX2 void StripPass(const MutableFrame& main, const ConstFrame& reference, int firstRow, int x,
                                   int width, const RemovalRule& rule, const Correction& correct) {
  const int end = x + width;
  const int readEnd = InnerEnd(LumaOf(main, firstRow), LumaOf(reference, firstRow), std::numeric_limits<int>::max());
  const int innerEnd = readEnd < end ? readEnd : end;
  const int first = x > 2 ? x : 2;
  if (first >= innerEnd || first + 16 > readEnd) {
    for (int i = 0; i < kStripRows; ++i) {
      WideRowPass(LumaOf(main, firstRow + i), LumaOf(reference, firstRow + i), x, width, rule, correct);
    }
    return;
  }
  for (int i = 0; i < kStripRows; ++i) {
    const RowPass pass(rule, LumaOf(reference, firstRow + i)[x]);
    for (int k = x; k < first; ++k) pass.Step<true>(LumaOf(main, firstRow + i), LumaOf(reference, firstRow + i), k);
  }
  const int k = StripTiles<Correction>(rule, correct, main, reference, firstRow, x).Run(first, innerEnd, readEnd);
  for (int i = 0; i < kStripRows; ++i) {
    const MutableLumaRow mainRow = LumaOf(main, firstRow + i);
    const ConstLumaRow referenceRow = LumaOf(reference, firstRow + i);
    FinishRow(mainRow, referenceRow, RowPass(rule, referenceRow[x]), correct, k, innerEnd, end);
  }
}

}  // namespace

PRAMVIX_TARGET_AVX2 void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                           const RemovalRule& rule) {
  WideRowPass(main, reference, x, width, rule, RatioCorrectionAvx2(Uncovering(rule.overlay), rule.sureQuotients));
}

PRAMVIX_TARGET_AVX2 void RemoveLogoAvx2(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                                        const RemovalRule& rule) {
  if (region.Empty()) return;
  const RatioCorrectionAvx2 correct(Uncovering(rule.overlay), rule.sureQuotients);
  const int first = region.FirstRow(), rows = region.RowCount();
  int i = 0;
  for (; i + kStripRows <= rows; i += kStripRows) {
    StripPass(main, reference, first + i, region.x, region.width, rule, correct);
  }
  for (; i < rows; ++i) {
    WideRowPass(LumaOf(main, first + i), LumaOf(reference, first + i), region.x, region.width, rule, correct);
  }
}

}  // namespace pramvix
#endif
