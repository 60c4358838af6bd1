#include "overlay/blend_kernel.h"

#include <cstddef>

#include "base/arithmetic.h"
#include "base/frame_request.h"
#include "overlay/blend_kernel_x86.h"

namespace pramvix {

int BlendedLuma(int a, int b, int c) {
  const double d = static_cast<double>(240 - c) / (static_cast<double>(c - b) + 0.001);
  // With d = 0 the quotient would not be finite, which counts as no shift.
  const int32_t k = d == 0.0 ? 0 : TruncateToInt32(static_cast<double>(240 - a) / d);
  return ClampInt64(static_cast<int64_t>(a) + k, 16, 238);
}

void BlendRow(uint8_t* main, const uint8_t* logo, int width, int threshold) {
  if (width <= 0) return;
  const ptrdiff_t end = 2 * static_cast<ptrdiff_t>(width);
  if (threshold == 0) {
    for (ptrdiff_t j = 0; j < end; j += 2) main[j] = static_cast<uint8_t>(255 - main[j]);
    return;
  }
  const int b = logo[0];
  for (ptrdiff_t j = 0; j < end; j += 2) {
    const int c = logo[j];
    if (Abs(b - c) >= threshold) main[j] = static_cast<uint8_t>(BlendedLuma(main[j], b, c));
  }
}

BlendRowKernel BlendRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx2) return BlendRowAvx2;
  if (simd >= Simd::kSse2) return BlendRowSse2;
#endif
  static_cast<void>(simd);
  return BlendRow;
}

void BlendRegion(const MutableFrame& main, const ConstFrame& logo, const Region& region, int threshold,
                 BlendRowKernel row) {
  const ptrdiff_t start = 2 * static_cast<ptrdiff_t>(region.x);
  ForEachRegionRow(region, [&](int r) { row(main.Row(r) + start, logo.Row(r) + start, region.width, threshold); });
}

}  // namespace pramvix
