// The chroma pass four pixel pairs at a time, byte for byte RestoreChromaRow.
#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "removal/chroma_restoration_x86.h"

namespace pramvix {

void RestoreChromaRowSse2(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule) {
  ForEachPair(main, reference, x, width, rule, [&](int first, int end, int edge) {
    const __m128i edges = _mm_set1_epi16(static_cast<int16_t>(edge));
    const __m128i below = LaneBound(int64_t{rule.threshold} - 1);  // d > below is d ≥ threshold
    int pair = first;
    for (; pair + 4 <= end; pair += 4) RestoreFourPairs(main, reference, pair, edges, below, rule.transmission);
    for (; pair < end; ++pair) RestorePair(main, reference, pair, true, true, edge, rule.threshold, rule.transmission);
  });
}

}  // namespace pramvix
#endif
