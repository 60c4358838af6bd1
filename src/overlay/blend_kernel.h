#pragma once
// The pixel work of AddLogo: draws the logo of a reference picture into luma.
#include <cstdint>

#include "base/region.h"
#include "base/simd.h"
#include "base/yuy2.h"

namespace pramvix {

// Main luma a shifted toward the logo: c is the logo luma at the pixel, b the
// logo luma at the row's first pixel. The shift is (240 − a) / d with
// d = (240 − c) / ((c − b) + 0.001), in double precision and truncated toward
// zero (c = 240 gives d = 0 and no shift); the result is clamped to 16…238.
int BlendedLuma(int a, int b, int c);

// One region row of `width` pixels; each pointer at the region's first byte
// (pixel x) of its row. Only luma bytes are read or written. Threshold 0
// inverts every luma (255 − a, no clamp); otherwise a pixel whose logo luma
// differs from the row's first by at least `threshold` is blended.
void BlendRow(uint8_t* main, const uint8_t* logo, int width, int threshold);

using BlendRowKernel = void (*)(uint8_t* main, const uint8_t* logo, int width, int threshold);
// The blend built for `simd`; every variant writes the same bytes.
BlendRowKernel BlendRowFor(Simd simd);

// Every row of the region with the blend `row`, each frame stepped by its own
// pitch. The region must lie inside both frames.
void BlendRegion(const MutableFrame& main, const ConstFrame& logo, const Region& region, int threshold,
                 BlendRowKernel row);
inline void BlendRegion(const MutableFrame& main, const ConstFrame& logo, const Region& region, int threshold,
                        Simd simd) {
  BlendRegion(main, logo, region, threshold, BlendRowFor(simd));
}

}  // namespace pramvix
