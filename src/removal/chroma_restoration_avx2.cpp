// The chroma pass eight pixel pairs at a time, byte for byte RestoreChromaRow:
// the shares of a pair's two pixels gathered from the table in one step each,
// where the SSE2 pass looks them up one by one.
#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "removal/chroma_restoration_x86.h"

namespace pramvix {

namespace {

// UncoveredChroma of eight differences d32 (32-bit lanes) with their factors.
PRAMVIX_TARGET_AVX2 inline __m256i Uncovered(__m256i d32, __m256 factor) {
  const __m256 sum = _mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(d32), factor), _mm256_set1_ps(2048.5f));
  return _mm256_sub_epi32(_mm256_cvttps_epi32(sum), _mm256_set1_epi32(2048 - 128));
}

// Pairs k … k + 7, both pixels of each in the region.
PRAMVIX_TARGET_AVX2 void RestoreEightPairs(uint8_t* main, const uint8_t* reference, int k, __m256i edge,
                                           __m256i below, const float* share) {
  __m256i* at = reinterpret_cast<__m256i*>(main + 4 * static_cast<ptrdiff_t>(k));
  const __m256i ref = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(reference + 4 * static_cast<ptrdiff_t>(k)));
  const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
  const __m256i L = _mm256_and_si256(ref, lumaMask);
  const __m256i logo = _mm256_cmpgt_epi16(_mm256_abs_epi16(_mm256_sub_epi16(edge, L)), below);
  // A pair's 32 bits all set when either of its pixels is logo.
  __m256i pairs = _mm256_or_si256(logo, _mm256_srli_epi32(logo, 16));
  pairs = _mm256_or_si256(pairs, _mm256_slli_epi32(pairs, 16));
  if (_mm256_testz_si256(pairs, pairs)) return;

  // Each pair's factor, as PairFactor works it out; a pair's 32 bits hold
  // its first pixel's luma in the low half and its second's in the high.
  const __m256 first = _mm256_i32gather_ps(share, _mm256_and_si256(L, _mm256_set1_epi32(0xFFFF)), 4);
  const __m256 second = _mm256_i32gather_ps(share, _mm256_srli_epi32(L, 16), 4);
  const __m256 factor =
      _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_mul_ps(_mm256_add_ps(first, second), _mm256_set1_ps(0.5f)));

  // U and V of each pair side by side: c − r in 16-bit lanes, then as
  // UncoveredChroma. Every step works within 128-bit halves, in which the
  // pairs and their factors line up.
  const __m256i main16 = _mm256_loadu_si256(at);
  const __m256i c = _mm256_srli_epi16(main16, 8);
  const __m256i difference = _mm256_sub_epi16(c, _mm256_srli_epi16(ref, 8));
  const __m256i low = Uncovered(_mm256_srai_epi32(_mm256_unpacklo_epi16(difference, difference), 16),
                                _mm256_unpacklo_ps(factor, factor));
  const __m256i high = Uncovered(_mm256_srai_epi32(_mm256_unpackhi_epi16(difference, difference), 16),
                                 _mm256_unpackhi_ps(factor, factor));
  const __m256i limited = _mm256_min_epi16(_mm256_max_epi16(_mm256_packs_epi32(low, high), _mm256_set1_epi16(16)),
                                           _mm256_set1_epi16(240));
  const __m256i chroma = _mm256_blendv_epi8(c, limited, pairs);
  _mm256_storeu_si256(at, _mm256_or_si256(_mm256_and_si256(main16, lumaMask), _mm256_slli_epi16(chroma, 8)));
}

// Whole pairs first … end − 1; the row pointers as values, which the stores
// through them cannot change.
PRAMVIX_TARGET_AVX2 void RestoreWholePairs(uint8_t* const main, const uint8_t* const reference, const int first,
                                           const int end, const int edge, const ChromaRule& rule) {
  const __m128i below = LaneBound(int64_t{rule.threshold} - 1);  // d > below is d ≥ threshold
  const __m256i wideEdge = _mm256_set1_epi16(static_cast<int16_t>(edge));
  const __m256i wideBelow = _mm256_broadcastsi128_si256(below);
  const float* const share = rule.transmission.Table();
  int pair = first;
  for (; pair + 8 <= end; pair += 8) RestoreEightPairs(main, reference, pair, wideEdge, wideBelow, share);
  RestorePairsFrom(main, reference, pair, end, edge, rule);
}

}  // namespace

PRAMVIX_TARGET_AVX2 void RestoreChromaRowAvx2(uint8_t* main, const uint8_t* reference, int x, int width,
                                              const ChromaRule& rule) {
  ForEachPair(main, reference, x, width, rule, [&](int first, int end, int edge) {
    RestoreWholePairs(main, reference, first, end, edge, rule);
  });
}

}  // namespace pramvix
#endif
