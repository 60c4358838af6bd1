#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/row_pass_vector.h"

namespace pramvix {

namespace {

// The luma under the logo, as UncoveredLuma gives it, four pixels per vector.
class Avx2Correction {
 public:
  PRAMVIX_TARGET_AVX2 explicit Avx2Correction(const Overlay& overlay)
      : full_(_mm256_set1_pd(static_cast<double>(static_cast<int64_t>(overlay.level) + 16))),
        gain_(_mm256_set1_pd(static_cast<double>(overlay.gain))),
        offset_(_mm256_set1_pd(static_cast<double>(overlay.offset))) {}

  // Eight pixels: main luma s and reference luma L in 16-bit lanes.
  PRAMVIX_TARGET_AVX2 __m128i operator()(__m128i s, __m128i L) const {
    const __m256i s32 = _mm256_cvtepu16_epi32(s);
    const __m256i L32 = _mm256_cvtepu16_epi32(L);
    const __m128i low = Quad(_mm256_castsi256_si128(s32), _mm256_castsi256_si128(L32));
    const __m128i high = Quad(_mm256_extracti128_si256(s32, 1), _mm256_extracti128_si256(L32, 1));
    return _mm_packs_epi32(low, high);
  }

 private:
  PRAMVIX_TARGET_AVX2 __m128i Quad(__m128i s32, __m128i L32) const {
    const __m256d s = _mm256_cvtepi32_pd(s32);
    const __m256d L = _mm256_cvtepi32_pd(L32);
    const __m256d a = _mm256_sub_pd(full_, s);
    const __m256d b = _mm256_sub_pd(full_, L);
    const __m256d d = _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(L, _mm256_set1_pd(16.0)), gain_), _mm256_set1_pd(0.001));
    const __m256d t = _mm256_div_pd(a, _mm256_div_pd(b, d));
    // Truncated toward zero and saturated; a quotient that is not finite gives 0.
    const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), t);
    const __m256d finite = _mm256_cmp_pd(magnitude, _mm256_set1_pd(__builtin_inf()), _CMP_LT_OQ);
    const __m256d limited =
        _mm256_max_pd(_mm256_min_pd(t, _mm256_set1_pd(2147483647.0)), _mm256_set1_pd(-2147483648.0));
    const __m256d q = _mm256_and_pd(_mm256_cvtepi32_pd(_mm256_cvttpd_epi32(limited)), finite);
    // s − q + offset is exact in double; then limited to 0 … 250.
    const __m256d v = _mm256_add_pd(_mm256_sub_pd(s, q), offset_);
    return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(250.0)));
  }

  __m256d full_, gain_, offset_;
};

}  // namespace

PRAMVIX_TARGET_AVX2 void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                           const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, Avx2Correction(rule.overlay));
}

}  // namespace pramvix
#endif
