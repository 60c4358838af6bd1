#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "removal/auto_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
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
  // As NearEdgeSse2, sixteen pixels a load.
  PRAMVIX_TARGET_AVX2 static bool NearEdge(const uint8_t* reference, int k, __m128i low, __m128i high) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i lows = _mm256_broadcastsi128_si256(low), highs = _mm256_broadcastsi128_si256(high);
    __m256i outside = _mm256_setzero_si256();
    for (const int offset : {-2, 30, 34}) {  // bytes of pixels k − 1 … k + 32
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      outside = _mm256_or_si256(outside, _mm256_or_si256(_mm256_subs_epu8(bytes, highs), _mm256_subs_epu8(lows, bytes)));
    }
    outside = _mm256_and_si256(outside, _mm256_set1_epi16(0x00FF));  // chroma does not count
    return _mm256_testz_si256(outside, outside) != 0;
  }

  // As UntouchedSse2, sixteen pixels a load.
  PRAMVIX_TARGET_AVX2 static bool Untouched(const uint8_t* reference, int k, __m128i edge) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i edges = _mm256_broadcastsi128_si256(edge);
    __m256i work = _mm256_setzero_si256();
    for (int offset = 0; offset < 64; offset += 32) {
      const __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset - 2));
      const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset + 2));
      work = _mm256_or_si256(work, _mm256_or_si256(ThresholdApart256(luma, edges), ThresholdApart256(left, right)));
    }
    work = _mm256_and_si256(work, _mm256_set1_epi16(0x00FF));  // chroma does not count
    return _mm256_testz_si256(work, work) != 0;
  }

  // The correction of all eight lanes.
  PRAMVIX_TARGET_AVX2 static __m128i Correct(__m128i s, __m128i L) {
    const __m256i s32 = _mm256_cvtepu16_epi32(s);
    const __m256i L32 = _mm256_cvtepu16_epi32(L);
    const __m256 luma = _mm256_cvtepi32_ps(L32);
    const __m256 b = _mm256_sub_ps(_mm256_set1_ps(kFull), luma);
    const __m256 d = _mm256_add_ps(_mm256_sub_ps(luma, _mm256_set1_ps(kBlack)), _mm256_set1_ps(0.001f));
    const __m256 ratio = _mm256_div_ps(d, b);
    const __m256 t = _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(kFull), _mm256_cvtepi32_ps(s32)), ratio);
    const __m256i q =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(L32, _mm256_set1_epi32(kFullLuma)), _mm256_cvttps_epi32(t));
    const __m256i v = _mm256_sub_epi32(s32, q);
    return Limited(_mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
  }
};

}  // namespace
}  // namespace auto_removal

PRAMVIX_TARGET_AVX2 void RemoveLogoAutoRowAvx2(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels) {
  auto_removal::AutoRowPass<auto_removal::Avx2>(main, reference, pixels);
}

}  // namespace pramvix
#endif
