#include "removal/chroma_restoration.h"

#include <cmath>

#include "removal/chroma_restoration_x86.h"

namespace pramvix {

namespace {

// 1 − α = b / (b + gain·c) for b = level + 16 − L and covered = gain·c,
// c = L − 16, limited to 1/8 … 1. A sum of 0 is not divided by: the quotient
// would be infinite with the sign of b (or not a number for b = 0), and the
// limits take it as they would take that.
double ShareShownThrough(double b, double covered) {
  const double whole = b + covered;
  const double share = whole != 0 ? b / whole : (b < 0 ? 0.0 : 1.0);
  if (std::isnan(share)) return 1.0;  // an infinite gain times c = 0
  return share < Transmission::kLeast ? Transmission::kLeast : (share > 1.0 ? 1.0 : share);
}

}  // namespace

Transmission::Transmission(const Overlay& overlay) {
  // 64-bit: level is any 32-bit integer.
  const double full = static_cast<double>(static_cast<int64_t>(overlay.level) + 16);
  for (size_t L = 0; L < 256; ++L) {
    const double covered = (static_cast<double>(L) - 16) * static_cast<double>(overlay.gain);
    share_[L] = static_cast<float>(ShareShownThrough(full - static_cast<double>(L), covered));
  }
}

void RestoreChromaRow(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule) {
  ForEachPair(main, reference, x, width, rule, [&](int first, int end, int edge) {
    for (int pair = first; pair < end; ++pair) {
      RestorePair(main, reference, pair, true, true, edge, rule.threshold, rule.transmission);
    }
  });
}

RestoreChromaRowKernel RestoreChromaRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx2) return RestoreChromaRowAvx2;
  if (simd >= Simd::kSse2) return RestoreChromaRowSse2;
#endif
  static_cast<void>(simd);
  return RestoreChromaRow;
}

}  // namespace pramvix
