#pragma once
// LogoMask's row kernel for x86-64 (SSE2 only: an AVX2 variant gained nothing
// that showed in a frame request); MaskRowFor hands it out.
#include <cstdint>

#include "base/simd.h"

#if PRAMVIX_X86_64
namespace pramvix {

void MaskRowSse2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold);

}  // namespace pramvix
#endif
