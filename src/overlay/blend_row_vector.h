#pragma once
// AddLogo's blend eight pixels at a time, for the x86-64 variants. Each
// variant's file defines PRAMVIX_VECTOR_TARGET (its set's function attribute,
// or nothing) before including this, and hands in its blend of eight pixels.
// Everything here has internal linkage, so each set compiles its own copy.
#include <cstdint>

#include "base/arithmetic.h"
#include "base/vector_lanes.h"
#include "overlay/blend_kernel.h"

namespace pramvix {
namespace {

// One region row as BlendRow gives it: blocks of eight, the rest one by one.
template <class Blend>
PRAMVIX_VECTOR_TARGET void VectorBlendRow(uint8_t* main, const uint8_t* logo, int width, int threshold,
                                          const Blend& blend) {
  if (width <= 0) return;
  const __m128i lumaMask = _mm_set1_epi16(0x00FF);
  int p = 0;
  if (threshold == 0) {
    for (; p + 8 <= width; p += 8) StoreLumaAt(main, p, _mm_xor_si128(LumaAt(main, p), lumaMask));
    for (; p < width; ++p) main[2 * p] = static_cast<uint8_t>(255 - main[2 * p]);
    return;
  }
  const int b = logo[0];
  const __m128i first = _mm_set1_epi16(static_cast<int16_t>(b));
  const __m128i below = LaneBound(int64_t{threshold} - 1);
  for (; p + 8 <= width; p += 8) {
    const __m128i c = LumaAt(logo, p);
    const __m128i blended = _mm_cmpgt_epi16(Distance(first, c), below);
    const unsigned lanes = static_cast<unsigned>(_mm_movemask_epi8(blended));
    if (lanes == 0) continue;
    const __m128i a = LumaAt(main, p);
    StoreLumaAt(main, p, Select(blended, blend(a, c, lanes), a));
  }
  for (; p < width; ++p) {
    const int c = logo[2 * p];
    if (Abs(b - c) >= threshold) main[2 * p] = static_cast<uint8_t>(BlendedLuma(main[2 * p], b, c));
  }
}

}  // namespace
}  // namespace pramvix
