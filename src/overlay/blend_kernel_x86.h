#pragma once
// AddLogo's blend in vector variants (x86-64 only), each byte for byte the
// same as BlendRow.
#include <cstdint>

#include "base/ratio_correction.h"

namespace pramvix {

// BlendedLuma for the row's first logo luma b, in the form the vector blends
// take.
inline RatioCorrection Blending(int b) { return RatioCorrection{240.0, static_cast<double>(b), 1.0, +1, 0, 16, 238}; }

void BlendRowSse2(uint8_t* main, const uint8_t* logo, int width, int threshold);
void BlendRowAvx2(uint8_t* main, const uint8_t* logo, int width, int threshold);

}  // namespace pramvix
