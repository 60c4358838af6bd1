#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "removal/auto_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "removal/auto_removal_vector.h"

namespace pramvix {
namespace auto_removal {
namespace {

// Four lanes of floats at a time.
struct Sse2 {
  static constexpr bool kFromSource = false;
  static int Spans(uint8_t* main, const uint8_t* source, const uint8_t* reference, int edge, bool mark, int innerEnd);

  static bool NearEdge(const uint8_t* reference, int k, __m128i low, __m128i high) {
    return NearEdgeSse2(reference, k, low, high);
  }
  static bool Untouched(const uint8_t* reference, int k, __m128i edge) { return UntouchedSse2(reference, k, edge); }

  // The correction of all eight lanes.
  static __m128i Correct(__m128i s, __m128i L) {
    const __m128i zero = _mm_setzero_si128();
    return Limited(_mm_packs_epi32(Four(_mm_unpacklo_epi16(s, zero), _mm_unpacklo_epi16(L, zero)),
                                   Four(_mm_unpackhi_epi16(s, zero), _mm_unpackhi_epi16(L, zero))));
  }

 private:
  // s − q on four pixels in 32-bit lanes.
  static __m128i Four(__m128i s4, __m128i L4) {
    const __m128 L = _mm_cvtepi32_ps(L4);
    const __m128 b = _mm_sub_ps(_mm_set1_ps(kFull), L);
    const __m128 d = _mm_add_ps(_mm_sub_ps(L, _mm_set1_ps(kBlack)), _mm_set1_ps(0.001f));
    const __m128 ratio = _mm_mul_ps(d, Reciprocal(b));
    const __m128 t = _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(kFull), _mm_cvtepi32_ps(s4)), ratio);
    const __m128i q = _mm_andnot_si128(_mm_cmpeq_epi32(L4, _mm_set1_epi32(kFullLuma)), _mm_cvttps_epi32(t));
    return _mm_sub_epi32(s4, q);
  }
};

int Sse2::Spans(uint8_t* main, const uint8_t*, const uint8_t* reference, int edge, bool mark, int innerEnd) {
  return AutoBlocks<Sse2>(main, reference, edge, mark).Spans(innerEnd);
}

}  // namespace
}  // namespace auto_removal

void RemoveLogoAutoRowSse2(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels) {
  auto_removal::AutoRowPass<auto_removal::Sse2>(main, source, reference, pixels);
}

}  // namespace pramvix
#endif
