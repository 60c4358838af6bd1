#pragma once
// The row pass's vector variants (x86-64 only), each byte for byte the same
// as RemoveLogoRow.
#include <cstdint>

#include "base/ratio_correction.h"
#include "removal/logo_removal.h"

namespace pramvix {

// The luma under the logo, as UncoveredLuma gives it, in the form the vector
// corrections take.
inline RatioCorrection Uncovering(const Overlay& overlay) {
  return RatioCorrection{static_cast<double>(static_cast<int64_t>(overlay.level) + 16), 16.0,
                         static_cast<double>(overlay.gain), -1, overlay.offset, 0, 250};
}

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule);
void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule);
void RemoveLogoAvx2(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                    const RemovalRule& rule);

}  // namespace pramvix
