// The chroma pass four pixel pairs at a time, byte for byte RestoreChromaRow.
#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "removal/chroma_restoration_x86.h"

namespace pramvix {

void RestoreChromaRowSse2(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule) {
  ForEachPair(main, reference, x, width, rule, [&](int first, int end, int edge) {
    RestorePairsFrom(main, reference, first, end, edge, rule);
  });
}

}  // namespace pramvix
#endif
