#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "base/ratio_correction_x86.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/row_pass_vector.h"
#include "removal/row_pass_avx2.h"
#include "removal/strip_pass_avx2.h"

namespace pramvix {

PRAMVIX_TARGET_AVX2 void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                           const RemovalRule& rule) {
  WideRowPass(main, reference, x, width, rule, RatioCorrectionAvx2(Uncovering(rule.overlay)));
}

PRAMVIX_TARGET_AVX2 void RemoveLogoAvx2(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                                        const RemovalRule& rule) {
  if (region.Empty()) return;
  const RatioCorrectionAvx2 correct(Uncovering(rule.overlay));
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
