#pragma once
// The pixel work of LogoMask: logo pixels take the alternate picture's pixels.
#include <cstdint>

#include "base/region.h"
#include "base/simd.h"
#include "base/yuy2.h"

namespace pramvix {

// One region row of `width` pixels. Each pointer is at the region's first byte
// (pixel x) of its row. A pixel is logo when its logo luma rises by at least
// `threshold` over the logo luma of the row's first pixel (one-sided, no
// absolute value); its luma and the chroma byte after it (U at even pixels, V
// at odd ones) are then copied from the alternate row.
void MaskRow(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold);

using MaskRowKernel = void (*)(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width,
                               int threshold);
// The row kernel built for `simd` (MaskRow where none is); every variant writes
// the same bytes.
MaskRowKernel MaskRowFor(Simd simd);

// Every row of the region with the row kernel `row`, each frame stepped by its
// own pitch. The region must lie inside all three frames.
void MaskRegion(const MutableFrame& main, const ConstFrame& alternate, const ConstFrame& logo,
                const Region& region, int threshold, MaskRowKernel row);
inline void MaskRegion(const MutableFrame& main, const ConstFrame& alternate, const ConstFrame& logo,
                       const Region& region, int threshold, Simd simd) {
  MaskRegion(main, alternate, logo, region, threshold, MaskRowFor(simd));
}

}  // namespace pramvix
