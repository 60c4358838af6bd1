#include "overlay/mask_kernel.h"

#include <cstddef>

#include "base/frame_request.h"
#include "overlay/mask_kernel_x86.h"

namespace pramvix {

void MaskRow(uint8_t* main, const uint8_t* alternate, const uint8_t* logo, int width, int threshold) {
  if (width <= 0) return;
  const int reference = logo[0];
  for (ptrdiff_t j = 0; j < 2 * static_cast<ptrdiff_t>(width); j += 2) {
    if (logo[j] - reference >= threshold) {
      main[j] = alternate[j];
      main[j + 1] = alternate[j + 1];
    }
  }
}

MaskRowKernel MaskRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kSse2) return MaskRowSse2;
#endif
  static_cast<void>(simd);
  return MaskRow;
}

void MaskRegion(const MutableFrame& main, const ConstFrame& alternate, const ConstFrame& logo,
                const Region& region, int threshold, MaskRowKernel row) {
  const ptrdiff_t start = 2 * static_cast<ptrdiff_t>(region.x);
  ForEachRegionRow(region, [&](int r) {
    row(main.Row(r) + start, alternate.Row(r) + start, logo.Row(r) + start, region.width, threshold);
  });
}

}  // namespace pramvix
