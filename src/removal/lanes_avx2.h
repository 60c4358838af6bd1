#pragma once
// 256-bit lane helpers shared by the AVX2 row passes (NoLogo's and NoLogoM's
// in row_pass_avx2.h, NoLogoAuto's in auto_removal_avx2.cpp): sixteen pixels
// of a row as 16-bit lanes. For files built for AVX2 only.
#include <immintrin.h>

#include <cstdint>

#include "base/simd.h"

namespace pramvix::lanes256 {

PRAMVIX_TARGET_AVX2 inline __m256i Load(const uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The lanes of `current` moved up by one, the last lane of `previous` in
// lane 0 (pixels k − 1 … k + 14 for the block at k).
PRAMVIX_TARGET_AVX2 inline __m256i LaneBefore(__m256i previous, __m256i current) {
  return _mm256_alignr_epi8(current, _mm256_permute2x128_si256(previous, current, 0x21), 14);
}

// floor(n / 3) for 16-bit lanes n ≤ 765, in one step: n·21846 / 2^16 is
// n / 3 + n / 98304, under the 1/3 that separates n / 3 from the next whole
// number while n < 2^15.
PRAMVIX_TARGET_AVX2 inline __m256i DivideBy3(__m256i n) {
  return _mm256_mulhi_epu16(n, _mm256_set1_epi16(21846));
}

// The softening of a block's lanes, a recurrence from left to right: each
// lane in `soften` becomes (its left neighbour's new luma + its own + its
// right one's) / 3, the others keep `own`; `sums` holds own + right, `before`
// the new luma of the pixel before lane 0 in its last lane. Repeats y ← F(y)
// on all lanes at once; F has one fixed point, the result. Runs of up to
// three softened pixels, the most common at logo edges, are final after three
// rounds and the test.
PRAMVIX_TARGET_AVX2 inline __m256i Softened(__m256i own, __m256i sums, __m256i soften, __m256i before) {
  const auto round = [&](__m256i y) PRAMVIX_TARGET_AVX2 {
    return _mm256_blendv_epi8(own, DivideBy3(_mm256_add_epi16(LaneBefore(before, y), sums)), soften);
  };
  __m256i y = round(round(round(own)));
  for (;;) {
    const __m256i next = round(y);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(next, y)) == -1) return y;
    y = next;
  }
}

}  // namespace pramvix::lanes256
