#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "base/vector_lanes.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "removal/row_pass_vector.h"

namespace pramvix {

namespace {

// The luma under the logo, as UncoveredLuma gives it, two pixels at a time.
class Sse2Correction {
 public:
  explicit Sse2Correction(const Overlay& overlay)
      : full_(_mm_set1_pd(static_cast<double>(static_cast<int64_t>(overlay.level) + 16))),
        gain_(_mm_set1_pd(static_cast<double>(overlay.gain))),
        offset_(_mm_set1_pd(static_cast<double>(overlay.offset))) {}

  // The pixels of eight that `lanes` selects: main luma s and reference
  // luma L in 16-bit lanes.
  __m128i operator()(__m128i s, __m128i L, unsigned lanes) const {
    return EachPairSse2(s, L, lanes, *this);
  }

  __m128d operator()(__m128d s, __m128d L) const {
    const __m128d a = _mm_sub_pd(full_, s);
    const __m128d b = _mm_sub_pd(full_, L);
    const __m128d d = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(L, _mm_set1_pd(16.0)), gain_), _mm_set1_pd(0.001));
    const __m128d q = TruncatedSse2(_mm_div_pd(a, _mm_div_pd(b, d)));
    // s − q + offset is exact in double; then limited to 0 … 250.
    const __m128d v = _mm_add_pd(_mm_sub_pd(s, q), offset_);
    return _mm_min_pd(_mm_max_pd(v, _mm_setzero_pd()), _mm_set1_pd(250.0));
  }

 private:
  __m128d full_, gain_, offset_;
};

}  // namespace

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, Sse2Correction(rule.overlay));
}

}  // namespace pramvix
#endif
