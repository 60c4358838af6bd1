#pragma once
// What the x86-64 variants of the kernels share: eight pixels' luma in 16-bit
// lanes, the threshold test on them, and double-precision work on them, two
// (SSE2) or four (AVX2) lanes at a time.
#include "base/simd.h"

#if PRAMVIX_X86_64
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace pramvix {

// Pixels p … p + 7 of a row (16 bytes Y U Y V …), each pair of bytes a lane.
inline __m128i PixelsAt(const uint8_t* row, ptrdiff_t p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 2 * p));
}

// The luma of pixels p … p + 7 of a row in 16-bit lanes.
inline __m128i LumaAt(const uint8_t* row, ptrdiff_t p) {
  return _mm_and_si128(PixelsAt(row, p), _mm_set1_epi16(0x00FF));
}

// Replaces the luma of pixels p … p + 7 by the lanes of v, keeping chroma.
inline void StoreLumaAt(uint8_t* row, ptrdiff_t p, __m128i v) {
  __m128i* at = reinterpret_cast<__m128i*>(row + 2 * p);
  const __m128i chroma = _mm_andnot_si128(_mm_set1_epi16(0x00FF), _mm_loadu_si128(at));
  _mm_storeu_si128(at, _mm_or_si128(chroma, v));
}

// |a − b| of 16-bit lanes holding bytes.
inline __m128i Distance(__m128i a, __m128i b) { return _mm_sub_epi16(_mm_max_epi16(a, b), _mm_min_epi16(a, b)); }

// The lanes against which a luma or a distance of lumas (0 … 255) is compared
// with _mm_cmpgt_epi16: v > bound decides the same, whatever the bound, as v
// greater than the bound limited to −1 … 255, which fits a lane. v ≥ t is
// v > t − 1.
inline __m128i LaneBound(int64_t bound) {
  return _mm_set1_epi16(static_cast<int16_t>(bound < -1 ? -1 : (bound > 255 ? 255 : bound)));
}

// a in the lanes where the mask is set, s in the others.
inline __m128i Select(__m128i mask, __m128i a, __m128i s) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, s));
}

// TruncateToInt32 on each lane, given back as a double: a quotient that is
// not finite gives 0, a finite one outside the 32-bit range saturates.
inline __m128d TruncatedSse2(__m128d q) {
  const __m128d finite = _mm_cmplt_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), q), _mm_set1_pd(__builtin_inf()));
  const __m128d limited = _mm_max_pd(_mm_min_pd(q, _mm_set1_pd(2147483647.0)), _mm_set1_pd(-2147483648.0));
  return _mm_and_pd(_mm_cvtepi32_pd(_mm_cvttpd_epi32(limited)), finite);
}

PRAMVIX_TARGET_AVX2 inline __m256d TruncatedAvx2(__m256d q) {
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), q);
  const __m256d finite = _mm256_cmp_pd(magnitude, _mm256_set1_pd(__builtin_inf()), _CMP_LT_OQ);
  const __m256d limited =
      _mm256_max_pd(_mm256_min_pd(q, _mm256_set1_pd(2147483647.0)), _mm256_set1_pd(-2147483648.0));
  return _mm256_and_pd(_mm256_round_pd(limited, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC), finite);
}

// f(x, y) on the lanes of eight 16-bit values 0 … 255 that `lanes` (a byte
// mask of the eight) selects, four at a time: floating-point work only where
// a lane needs it. f gives whole numbers that fit in 16 bits, as doubles;
// lanes of a four left out come back 0.
template <class F>
inline __m128i EachPairSse2(__m128i x, __m128i y, unsigned lanes, const F& f) {
  const __m128i zero = _mm_setzero_si128();
  const auto half = [&](__m128i x32, __m128i y32) {
    const __m128i low = _mm_cvttpd_epi32(f(_mm_cvtepi32_pd(x32), _mm_cvtepi32_pd(y32)));
    const __m128i high =
        _mm_cvttpd_epi32(f(_mm_cvtepi32_pd(_mm_srli_si128(x32, 8)), _mm_cvtepi32_pd(_mm_srli_si128(y32, 8))));
    return _mm_unpacklo_epi64(low, high);
  };
  const __m128i low = (lanes & 0x00FF) ? half(_mm_unpacklo_epi16(x, zero), _mm_unpacklo_epi16(y, zero)) : zero;
  const __m128i high = (lanes & 0xFF00) ? half(_mm_unpackhi_epi16(x, zero), _mm_unpackhi_epi16(y, zero)) : zero;
  return _mm_packs_epi32(low, high);
}

// As EachPairSse2, four lanes at a time; f's call operator must be built for AVX2.
template <class F>
PRAMVIX_TARGET_AVX2 inline __m128i EachQuadAvx2(__m128i x, __m128i y, unsigned lanes, const F& f) {
  const __m256i x32 = _mm256_cvtepu16_epi32(x);
  const __m256i y32 = _mm256_cvtepu16_epi32(y);
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = (lanes & 0x00FF) ? _mm256_cvttpd_epi32(f(_mm256_cvtepi32_pd(_mm256_castsi256_si128(x32)),
                                                              _mm256_cvtepi32_pd(_mm256_castsi256_si128(y32))))
                                       : zero;
  const __m128i high = (lanes & 0xFF00) ? _mm256_cvttpd_epi32(f(_mm256_cvtepi32_pd(_mm256_extracti128_si256(x32, 1)),
                                                               _mm256_cvtepi32_pd(_mm256_extracti128_si256(y32, 1))))
                                        : zero;
  return _mm_packs_epi32(low, high);
}

}  // namespace pramvix
#endif
