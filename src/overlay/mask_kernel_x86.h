#pragma once
// LogoMask's row kernel for x86-64 vector sets; MaskRowFor hands them out.
#include <cstdint>

#include "base/simd.h"

#if PRAMVIX_X86_64
namespace pramvix {

void MaskRowSse2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold);
void MaskRowAvx2(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold);

}  // namespace pramvix
#endif
