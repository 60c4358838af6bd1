#pragma once
// The chroma pass's vector steps (x86-64 only), each byte for byte the same
// as RestorePair on its pairs.
#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "base/vector_lanes.h"
#include "removal/chroma_restoration.h"

namespace pramvix {

// Pairs k … k + 3, both pixels of each in the region.
inline void RestoreFourPairs(uint8_t* main, const uint8_t* reference, int k, __m128i edge, __m128i below,
                             const Transmission& share) {
  __m128i* at = reinterpret_cast<__m128i*>(main + 4 * static_cast<ptrdiff_t>(k));
  const __m128i ref = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reference + 4 * static_cast<ptrdiff_t>(k)));
  const __m128i L = _mm_and_si128(ref, _mm_set1_epi16(0x00FF));
  const __m128i logo = _mm_cmpgt_epi16(Distance(edge, L), below);
  // A pair's 32 bits all set when either of its pixels is logo.
  __m128i pairs = _mm_or_si128(logo, _mm_srli_epi32(logo, 16));
  pairs = _mm_or_si128(pairs, _mm_slli_epi32(pairs, 16));
  if (_mm_movemask_epi8(pairs) == 0) return;

  // Each pair's factor, as PairFactor works it out.
  const __m128 first = _mm_setr_ps(share[_mm_extract_epi16(L, 0)], share[_mm_extract_epi16(L, 2)],
                                   share[_mm_extract_epi16(L, 4)], share[_mm_extract_epi16(L, 6)]);
  const __m128 second = _mm_setr_ps(share[_mm_extract_epi16(L, 1)], share[_mm_extract_epi16(L, 3)],
                                    share[_mm_extract_epi16(L, 5)], share[_mm_extract_epi16(L, 7)]);
  const __m128 factor = _mm_div_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_add_ps(first, second), _mm_set1_ps(0.5f)));

  // U and V of each pair side by side: c − r in 16-bit lanes, then as UncoveredChroma.
  const __m128i main16 = _mm_loadu_si128(at);
  const __m128i c = _mm_srli_epi16(main16, 8);
  const __m128i difference = _mm_sub_epi16(c, _mm_srli_epi16(ref, 8));
  const auto uncovered = [](__m128i d32, __m128 f) {
    const __m128 sum = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(d32), f), _mm_set1_ps(2048.5f));
    return _mm_sub_epi32(_mm_cvttps_epi32(sum), _mm_set1_epi32(2048 - 128));
  };
  const __m128i low = uncovered(_mm_srai_epi32(_mm_unpacklo_epi16(difference, difference), 16),
                                _mm_unpacklo_ps(factor, factor));
  const __m128i high = uncovered(_mm_srai_epi32(_mm_unpackhi_epi16(difference, difference), 16),
                                 _mm_unpackhi_ps(factor, factor));
  const __m128i limited =
      _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(low, high), _mm_set1_epi16(16)), _mm_set1_epi16(240));
  const __m128i chroma = Select(pairs, limited, c);
  _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(main16, _mm_set1_epi16(0x00FF)), _mm_slli_epi16(chroma, 8)));
}

// Whole pairs pair … end − 1, four at a time, then one by one.
inline void RestorePairsFrom(uint8_t* main, const uint8_t* reference, int pair, int end, int edge, const ChromaRule& rule) {
  const __m128i edges = _mm_set1_epi16(static_cast<int16_t>(edge));
  const __m128i below = LaneBound(int64_t{rule.threshold} - 1);  // d > below is d ≥ threshold
  for (; pair + 4 <= end; pair += 4) RestoreFourPairs(main, reference, pair, edges, below, rule.transmission);
  for (; pair < end; ++pair) RestorePair(main, reference, pair, true, true, edge, rule.threshold, rule.transmission);
}

void RestoreChromaRowAvx2(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule);

}  // namespace pramvix
#endif
