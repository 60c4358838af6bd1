#pragma once
// RatioCorrection's quotient q = TruncateToInt32(a / ratio(x)), a = top − s,
// tried first in single precision: eight lanes per step, with one float
// division for eight distinct reference lumas and none for eight equal ones.
// Each lane says whether its q is sure to be the double computation's; the
// vector corrections keep a block's quick quotients only where all of its
// lanes are sure, and fall back to the double computation otherwise.
//
// Why a sure q is exact. Where RatioCorrection::SinglePrecisionFits holds,
// a, top − x and x − base are whole numbers below 2^24, exact as floats, and
// gain is a float. The float w ≈ 1 / ratio(x) is either the double 1 / ratio
// rounded to float, or d' / (top − x), d' being the denominator
// d = (x − base)·gain + 0.001 worked out in floats. Both d' and the double d
// are off from the exact d by at most A + 1 roundings of their precision,
// A = (|(x − base)·gain| + 0.001) / |d|, and A ≤ 2 wherever the quotient
// matters: A > 2 takes a negative product and |d| < 0.002, and then, as
// |a / (top − x)| ≤ 256, the quotient and p are both below 0.52 in size and
// truncate to 0. Otherwise w is off from 1 / ratio by at most four float
// roundings and four double ones, p = a·w by one float rounding more, and the
// double quotient from a / ratio by one double rounding: so
// |p − quotient| < |p|·5.1·2^−24 for finite p. Truncation changes value only
// at whole numbers other than 0, so the quotient truncates as every number
// between p·(1 − 2^−20) and p·(1 + 2^−20) does when the two ends do, even
// after their own rounding (which moves each end by |p|·2^−24 at most).
// Ends that truncate to the saturated value −2^31 (p not finite, or beyond
// the 32-bit range) are never sure; sure quotients are below 2^24 in size,
// since at that size the two ends are different whole numbers.
#include "base/simd.h"

#if PRAMVIX_X86_64
#include <immintrin.h>

#include <cstdint>

namespace pramvix {

// Truncated a·w of four lanes; `sure` set where it is the double quotient's.
inline __m128i SureQuotientsSse2(__m128 a, __m128 w, __m128i& sure) {
  const __m128 p = _mm_mul_ps(a, w);
  const __m128i low = _mm_cvttps_epi32(_mm_mul_ps(p, _mm_set1_ps(1.0f - 0x1p-20f)));
  const __m128i high = _mm_cvttps_epi32(_mm_mul_ps(p, _mm_set1_ps(1.0f + 0x1p-20f)));
  sure = _mm_andnot_si128(_mm_cmpeq_epi32(low, _mm_set1_epi32(INT32_MIN)), _mm_cmpeq_epi32(low, high));
  return low;
}

PRAMVIX_TARGET_AVX2 inline __m256i SureQuotientsAvx2(__m256 a, __m256 w, __m256i& sure) {
  const __m256 p = _mm256_mul_ps(a, w);
  const __m256i low = _mm256_cvttps_epi32(_mm256_mul_ps(p, _mm256_set1_ps(1.0f - 0x1p-20f)));
  const __m256i high = _mm256_cvttps_epi32(_mm256_mul_ps(p, _mm256_set1_ps(1.0f + 0x1p-20f)));
  sure = _mm256_andnot_si256(_mm256_cmpeq_epi32(low, _mm256_set1_epi32(INT32_MIN)), _mm256_cmpeq_epi32(low, high));
  return low;
}

// w = d' / (top − x) of four reference lumas x (floats).
inline __m128 QuickReciprocalsSse2(__m128 x, __m128 top, __m128 base, __m128 gain) {
  const __m128 scaled = _mm_mul_ps(_mm_sub_ps(x, base), gain);
  return _mm_div_ps(_mm_add_ps(scaled, _mm_set1_ps(0.001f)), _mm_sub_ps(top, x));
}

PRAMVIX_TARGET_AVX2 inline __m256 QuickReciprocalsAvx2(__m256 x, __m256 top, __m256 base, __m256 gain) {
  const __m256 scaled = _mm256_mul_ps(_mm256_sub_ps(x, base), gain);
  return _mm256_div_ps(_mm256_add_ps(scaled, _mm256_set1_ps(0.001f)), _mm256_sub_ps(top, x));
}

// The double 1 / ratio rounded to float, in every lane.
inline __m128 FloatOf(double v) { return _mm_cvtsd_ss(_mm_setzero_ps(), _mm_set_sd(v)); }

}  // namespace pramvix
#endif
