#include "base/simd.h"
#if PRAMVIX_X86_64
#include "base/ratio_correction_x86.h"
#include "overlay/blend_kernel_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "overlay/blend_row_vector.h"

namespace pramvix {

void BlendRowSse2(uint8_t* main, const uint8_t* logo, int width, int threshold) {
  VectorBlendRow(main, logo, width, threshold, RatioCorrectionSse2(Blending(width > 0 ? logo[0] : 0)));
}

}  // namespace pramvix
#endif
