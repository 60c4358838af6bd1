#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "base/vector_lanes.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/row_pass_vector.h"

namespace pramvix {

namespace {

// The luma under the logo, as UncoveredLuma gives it, four pixels at a time.
class Avx2Correction {
 public:
  PRAMVIX_TARGET_AVX2 explicit Avx2Correction(const Overlay& overlay)
      : full_(_mm256_set1_pd(static_cast<double>(static_cast<int64_t>(overlay.level) + 16))),
        gain_(_mm256_set1_pd(static_cast<double>(overlay.gain))),
        offset_(_mm256_set1_pd(static_cast<double>(overlay.offset))) {}

  // The pixels of eight that `lanes` selects: main luma s and reference
  // luma L in 16-bit lanes.
  PRAMVIX_TARGET_AVX2 __m128i operator()(__m128i s, __m128i L, unsigned lanes) const {
    return EachQuadAvx2(s, L, lanes, *this);
  }

  PRAMVIX_TARGET_AVX2 __m256d operator()(__m256d s, __m256d L) const {
    const __m256d a = _mm256_sub_pd(full_, s);
    const __m256d b = _mm256_sub_pd(full_, L);
    const __m256d d =
        _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(L, _mm256_set1_pd(16.0)), gain_), _mm256_set1_pd(0.001));
    const __m256d q = TruncatedAvx2(_mm256_div_pd(a, _mm256_div_pd(b, d)));
    // s − q + offset is exact in double; then limited to 0 … 250.
    const __m256d v = _mm256_add_pd(_mm256_sub_pd(s, q), offset_);
    return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(250.0));
  }

 private:
  __m256d full_, gain_, offset_;
};

}  // namespace

PRAMVIX_TARGET_AVX2 void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                           const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, Avx2Correction(rule.overlay));
}

}  // namespace pramvix
#endif
