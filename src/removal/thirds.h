#pragma once
// Whole quotients by powers of three for the softening of whole blocks,
// without a division: floor(n / 3^m) for every whole n from 0 to
// 255 + 510·(3^m − 1) / 2 (each lane's own m, 1 … 8), held exactly as floats.
// n · fl(3^−m) errs by under 5·10^−5 there; adding 2^−14 keeps a whole
// quotient from falling short, and as 3^−m ≥ 1/6561 > 1.5·10^−4, lifts no
// other quotient past the next whole number. The tests check every n.
#include "base/simd.h"

#if PRAMVIX_X86_64
#include <immintrin.h>

namespace pramvix {

inline __m128i FloorByPowersOfThree(__m128 n, __m128 reciprocals) {
  return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(n, reciprocals), _mm_set1_ps(1.0f / 16384)));
}

// 3^−1 … 3^−4 and 3^−5 … 3^−8, for the low and high four lanes.
inline __m128 LowThirds() { return _mm_setr_ps(1.0f / 3, 1.0f / 9, 1.0f / 27, 1.0f / 81); }
inline __m128 HighThirds() { return _mm_setr_ps(1.0f / 243, 1.0f / 729, 1.0f / 2187, 1.0f / 6561); }

// The same on eight lanes, 3^−1 … 3^−8: lane m − 1 divides by 3^m.
PRAMVIX_TARGET_AVX2 inline __m256i FloorByPowersOfThree(__m256 n) {
  const __m256 thirds = _mm256_setr_ps(1.0f / 3, 1.0f / 9, 1.0f / 27, 1.0f / 81, 1.0f / 243, 1.0f / 729,
                                       1.0f / 2187, 1.0f / 6561);
  return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(n, thirds), _mm256_set1_ps(1.0f / 16384)));
}

}  // namespace pramvix
#endif
