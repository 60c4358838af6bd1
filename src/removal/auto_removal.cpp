#include "removal/auto_removal.h"

#include <cstring>

#include "removal/auto_removal_x86.h"

namespace pramvix {

void RemoveLogoAutoRow(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels) {
  CopyPixels(main, source, 0, main.Width());
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
  RemoveLogoAuto(ConstFrame{main.data, main.pitch, main.rowSize, main.height}, main, reference, pixels, row);
}

void RemoveLogoAuto(const ConstFrame& source, const MutableFrame& main, const ConstFrame& reference,
                    LogoPixels pixels, AutoRowKernel row) {
  const bool pass = main.Width() > 1;  // else no pixel is visited and the reference is never read
  for (int r = 0; r < main.height; ++r) {
    if (pass && r + 1 < main.height) {
      row(LumaOf(main, r), LumaOf(source, r), LumaOf(reference, r), pixels);
    } else if (source.data != main.data && main.rowSize > 0) {
      std::memcpy(main.Row(r), source.Row(r), static_cast<size_t>(main.rowSize));
    }
  }
}

}  // namespace pramvix
