#include "removal/auto_removal.h"

#include "removal/auto_removal_x86.h"

namespace pramvix {

void RemoveLogoAutoRow(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels) {
  RemoveLogoRow(main, reference, 1, main.Width() - 1, AutoRule(pixels));
}

AutoRowKernel AutoRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx512) return RemoveLogoAutoRowAvx512;
  if (simd >= Simd::kAvx2) return RemoveLogoAutoRowAvx2;
  if (simd >= Simd::kSse2) return RemoveLogoAutoRowSse2;
#endif
  static_cast<void>(simd);
  return RemoveLogoAutoRow;
}

void RemoveLogoAuto(const MutableFrame& main, const ConstFrame& reference, LogoPixels pixels, AutoRowKernel row) {
  if (main.Width() <= 1) return;  // no pixel to visit: the reference is never read
  for (int r = 0; r + 1 < main.height; ++r) row(LumaOf(main, r), LumaOf(reference, r), pixels);
}

}  // namespace pramvix
