// LogoMask's row kernel in SSE2 and AVX2. A pixel pair Y C of the row is one
// 16-bit lane: its luma is the low byte, and the lane's comparison mask covers
// both bytes, so one blend copies the luma and its chroma byte together.
#include "overlay/mask_kernel_x86.h"

#include "overlay/mask_kernel.h"

#if PRAMVIX_X86_64
#include <immintrin.h>

#include <algorithm>
#include <cstddef>

namespace pramvix {

namespace {

// logo − reference ≥ threshold is logo > reference + threshold − 1. Lumas lie
// in 0…255, so a bound below 0 passes every pixel and one of 255 or more none:
// clamped to −1…255 it fits a 16-bit lane and decides the same.
short LumaBound(int reference, int threshold) {
  const int64_t bound = int64_t{reference} + threshold - 1;
  return static_cast<short>(std::clamp<int64_t>(bound, -1, 255));
}

// Eight pixels from byte j.
inline void Mask8(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, ptrdiff_t j, __m128i bound) {
  const __m128i luma = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(logo + j)),
                                     _mm_set1_epi16(0x00FF));
  const __m128i take = _mm_cmpgt_epi16(luma, bound);
  const __m128i kept = _mm_loadu_si128(reinterpret_cast<const __m128i*>(main + j));
  const __m128i taken = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alternate + j));
  const __m128i out = _mm_or_si128(_mm_and_si128(take, taken), _mm_andnot_si128(take, kept));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(main + j), out);
}

// Sixteen pixels from byte j.
PRAMVIX_TARGET_AVX2 inline void Mask16(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, ptrdiff_t j,
                                       __m256i bound) {
  const __m256i luma = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(logo + j)),
                                        _mm256_set1_epi16(0x00FF));
  const __m256i take = _mm256_cmpgt_epi16(luma, bound);
  const __m256i kept = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(main + j));
  const __m256i taken = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(alternate + j));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(main + j), _mm256_blendv_epi8(kept, taken, take));
}

}  // namespace

// A row ends with one step that overlaps the last whole one. A pixel done
// twice comes out the same: the logo row decides as before, and the bytes it
// copies or keeps are those already there. Rows shorter than one step run a
// narrower variant.

void MaskRowSse2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold) {
  if (width < 8) return MaskRow(main, alternate, logo, width, threshold);
  const __m128i bound = _mm_set1_epi16(LumaBound(logo[0], threshold));
  const ptrdiff_t bytes = 2 * static_cast<ptrdiff_t>(width);
  for (ptrdiff_t j = 0; j + 16 <= bytes; j += 16) Mask8(main, alternate, logo, j, bound);
  if (bytes % 16 != 0) Mask8(main, alternate, logo, bytes - 16, bound);
}

PRAMVIX_TARGET_AVX2
void MaskRowAvx2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold) {
  if (width < 16) return MaskRowSse2(main, alternate, logo, width, threshold);
  const __m256i bound = _mm256_set1_epi16(LumaBound(logo[0], threshold));
  const ptrdiff_t bytes = 2 * static_cast<ptrdiff_t>(width);
  for (ptrdiff_t j = 0; j + 32 <= bytes; j += 32) Mask16(main, alternate, logo, j, bound);
  if (bytes % 32 != 0) Mask16(main, alternate, logo, bytes - 32, bound);
}

}  // namespace pramvix
#endif
