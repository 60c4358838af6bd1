#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "removal/row_pass_vector.h"

namespace pramvix {

namespace {

// The luma under the logo, as UncoveredLuma gives it, two pixels per vector.
class Sse2Correction {
 public:
  explicit Sse2Correction(const Overlay& overlay)
      : full_(_mm_set1_pd(static_cast<double>(static_cast<int64_t>(overlay.level) + 16))),
        gain_(_mm_set1_pd(static_cast<double>(overlay.gain))),
        offset_(_mm_set1_pd(static_cast<double>(overlay.offset))) {}

  // Eight pixels: main luma s and reference luma L in 16-bit lanes.
  __m128i operator()(__m128i s, __m128i L) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s0 = _mm_unpacklo_epi16(s, zero), s1 = _mm_unpackhi_epi16(s, zero);
    const __m128i L0 = _mm_unpacklo_epi16(L, zero), L1 = _mm_unpackhi_epi16(L, zero);
    const __m128i low = _mm_unpacklo_epi64(Pair(s0, L0), Pair(_mm_srli_si128(s0, 8), _mm_srli_si128(L0, 8)));
    const __m128i high = _mm_unpacklo_epi64(Pair(s1, L1), Pair(_mm_srli_si128(s1, 8), _mm_srli_si128(L1, 8)));
    return _mm_packs_epi32(low, high);
  }

 private:
  // The two lowest 32-bit lanes.
  __m128i Pair(__m128i s32, __m128i L32) const {
    const __m128d s = _mm_cvtepi32_pd(s32);
    const __m128d L = _mm_cvtepi32_pd(L32);
    const __m128d a = _mm_sub_pd(full_, s);
    const __m128d b = _mm_sub_pd(full_, L);
    const __m128d d = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(L, _mm_set1_pd(16.0)), gain_), _mm_set1_pd(0.001));
    const __m128d t = _mm_div_pd(a, _mm_div_pd(b, d));
    // Truncated toward zero and saturated; a quotient that is not finite gives 0.
    const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), t);
    const __m128d finite = _mm_cmplt_pd(magnitude, _mm_set1_pd(__builtin_inf()));
    const __m128d limited = _mm_max_pd(_mm_min_pd(t, _mm_set1_pd(2147483647.0)), _mm_set1_pd(-2147483648.0));
    const __m128d q = _mm_and_pd(_mm_cvtepi32_pd(_mm_cvttpd_epi32(limited)), finite);
    // s − q + offset is exact in double; then limited to 0 … 250.
    const __m128d v = _mm_add_pd(_mm_sub_pd(s, q), offset_);
    return _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(v, _mm_setzero_pd()), _mm_set1_pd(250.0)));
  }

  __m128d full_, gain_, offset_;
};

}  // namespace

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, Sse2Correction(rule.overlay));
}

}  // namespace pramvix
#endif
