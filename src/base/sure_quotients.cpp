#include "base/ratio_correction.h"
#include "base/simd.h"

#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "base/single_quotients_x86.h"
#endif

namespace pramvix {

bool SureButAtTop(const RatioCorrection& c) {
#if PRAMVIX_X86_64
  if (!c.SinglePrecisionFits()) return false;
  // The floats the vector corrections take, exact where SinglePrecisionFits holds.
  const __m128 top = _mm_set1_ps(static_cast<float>(c.top));
  const __m128 base = _mm_set1_ps(static_cast<float>(c.base));
  const __m128 gain = _mm_set1_ps(static_cast<float>(c.gain));
  for (int x = 0; x < 256; ++x) {
    if (x == c.top) continue;
    // 1 / ratio(x) as each lane works it out in single precision.
    const __m128 w = QuickReciprocalsSse2(_mm_set1_ps(static_cast<float>(x)), top, base, gain);
    for (int s = 0; s < 256; s += 4) {
      const __m128 a = _mm_sub_ps(top, _mm_cvtepi32_ps(_mm_setr_epi32(s, s + 1, s + 2, s + 3)));
      __m128i sure;
      SureQuotientsSse2(a, w, sure);
      if (_mm_movemask_epi8(sure) != 0xFFFF) return false;
    }
  }
  return true;
#else
  static_cast<void>(c);
  return false;
#endif
}

}  // namespace pramvix
