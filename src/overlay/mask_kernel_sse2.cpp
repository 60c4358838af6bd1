// LogoMask's row kernel in SSE2. A pixel pair Y C of the row is one 16-bit
// lane: its luma is the low byte, and the lane's comparison mask covers both
// bytes, so one select copies the luma and its chroma byte together.
#include "overlay/mask_kernel_x86.h"

#if PRAMVIX_X86_64
#include <cstddef>

#include "base/vector_lanes.h"
#include "overlay/mask_kernel.h"

namespace pramvix {

namespace {

// Pixels p … p + 7; bound: logo − reference ≥ threshold is logo > bound.
inline void Mask8(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, ptrdiff_t p, __m128i bound) {
  const __m128i take = _mm_cmpgt_epi16(LumaAt(logo, p), bound);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(main + 2 * p),
                   Select(take, PixelsAt(alternate, p), PixelsAt(main, p)));
}

}  // namespace

// A row ends with one step that overlaps the last whole one. A pixel done
// twice comes out the same: the logo row decides as before, and the bytes it
// copies or keeps are those already there. Rows shorter than one step run the
// plain kernel.
void MaskRowSse2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold) {
  if (width < 8) return MaskRow(main, alternate, logo, width, threshold);
  const __m128i bound = LaneBound(int64_t{logo[0]} + threshold - 1);
  ptrdiff_t p = 0;
  for (; p + 8 <= width; p += 8) Mask8(main, alternate, logo, p, bound);
  if (p < width) Mask8(main, alternate, logo, width - 8, bound);
}

}  // namespace pramvix
#endif
