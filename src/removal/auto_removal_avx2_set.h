#pragma once
// NoLogoAuto's AVX2 set: the tests of spans sixteen pixels a load and the
// correction eight lanes of floats at a time. Shared by the AVX2 pass and the
// AVX-512 one, which takes its tests and narrow blocks from it; include after
// auto_removal_vector.h, in files built for AVX2 or more.
#include <immintrin.h>

#include "removal/auto_removal_vector.h"

namespace pramvix {
namespace auto_removal {
namespace {

PRAMVIX_TARGET_AVX2 inline __m256i ThresholdApart256(__m256i a, __m256i b) {
  const __m256i distance = _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
  return _mm256_subs_epu8(distance, _mm256_set1_epi8(kAutoThreshold - 1));
}

// Eight lanes of floats at a time.
struct Avx2 {
  static constexpr bool kFromSource = false;
  static int Spans(uint8_t* main, const uint8_t* source, const uint8_t* reference, int edge, bool mark, int innerEnd);

  // As NearEdgeSse2 over pixels k … k + n − 1 (n 32 or 64), sixteen pixels a
  // load; reads reference pixels k − 1 … k + n.
  PRAMVIX_TARGET_AVX2 static bool NearEdge(const uint8_t* reference, int k, int n, __m128i low, __m128i high) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i lows = _mm256_broadcastsi128_si256(low), highs = _mm256_broadcastsi128_si256(high);
    const auto outside = [&](int offset) PRAMVIX_TARGET_AVX2 {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      return _mm256_or_si256(_mm256_subs_epu8(bytes, highs), _mm256_subs_epu8(lows, bytes));
    };
    // Bytes of pixels k − 1 … k + n, the last load overlapping the one before.
    __m256i any = _mm256_or_si256(outside(-2), outside(2 * n - 30));
    for (int offset = 30; offset < 2 * n - 30; offset += 32) any = _mm256_or_si256(any, outside(offset));
    any = _mm256_and_si256(any, _mm256_set1_epi16(0x00FF));  // chroma does not count
    return _mm256_testz_si256(any, any) != 0;
  }

  // Which of the blocks k … k + 15 (bit 0) and k + 16 … k + 31 (bit 1) have
  // something to do, by the tests of BusyBlocksSse2; reads reference pixels
  // k − 1 … k + 32.
  PRAMVIX_TARGET_AVX2 static int BusyBlocks(const uint8_t* reference, int k, __m128i edge) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i edges = _mm256_broadcastsi128_si256(edge);
    const auto busy = [&](int offset) PRAMVIX_TARGET_AVX2 {
      const __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset - 2));
      const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset + 2));
      const __m256i work = _mm256_or_si256(ThresholdApart256(luma, edges), ThresholdApart256(left, right));
      return _mm256_testz_si256(work, _mm256_set1_epi16(0x00FF)) == 0;  // chroma does not count
    };
    return static_cast<int>(busy(0)) | static_cast<int>(busy(32)) << 1;
  }

  // As UntouchedSse2, sixteen pixels a load.
  PRAMVIX_TARGET_AVX2 static bool Untouched(const uint8_t* reference, int k, __m128i edge) {
    return BusyBlocks(reference, k, edge) == 0;
  }

  // The correction of all eight lanes.
  PRAMVIX_TARGET_AVX2 static __m128i Correct(__m128i s, __m128i L) {
    const __m256i v = Quotients(_mm256_cvtepu16_epi32(s), _mm256_cvtepu16_epi32(L));
    return Limited(_mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
  }

  // s − q for eight pixels in 32-bit lanes, s and L in the low half of each
  // 32-bit lane.
  PRAMVIX_TARGET_AVX2 static __m256i Quotients(__m256i s32, __m256i L32) {
    const __m256 t = _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(kFull), _mm256_cvtepi32_ps(s32)), Ratios(L32));
    const __m256i q =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(L32, _mm256_set1_epi32(kFullLuma)), _mm256_cvttps_epi32(t));
    return _mm256_sub_epi32(s32, q);
  }

  // d / b of eight reference lumas, without a division (see Reciprocal).
  PRAMVIX_TARGET_AVX2 static __m256 Ratios(__m256i L32) {
    const __m256 luma = _mm256_cvtepi32_ps(L32);
    const __m256 b = _mm256_sub_ps(_mm256_set1_ps(kFull), luma);
    const __m256 d = _mm256_add_ps(_mm256_sub_ps(luma, _mm256_set1_ps(kBlack)), _mm256_set1_ps(0.001f));
    const __m256 e = _mm256_rcp_ps(b);  // refined as NewtonStep does
    return _mm256_mul_ps(d, _mm256_mul_ps(e, _mm256_sub_ps(_mm256_set1_ps(2.0f), _mm256_mul_ps(b, e))));
  }
};

}  // namespace
}  // namespace auto_removal
}  // namespace pramvix
