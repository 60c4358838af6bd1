#include "removal/chroma_restoration.h"

#include <cmath>

#include "base/arithmetic.h"

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
    share_[L] = ShareShownThrough(full - static_cast<double>(L), covered);
    inverse_[L] = 1.0 / share_[L];
  }
}

void RestoreChromaRow(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule) {
  const int threshold = rule.threshold;
  if (width <= 0 || threshold == 0) return;
  const Transmission& share = rule.transmission;
  const int edge = reference[2 * static_cast<ptrdiff_t>(x)];
  const int end = x + width;  // pixels x … end − 1
  for (int pair = x / 2; 2 * pair < end; ++pair) {
    const int p = 2 * pair;
    uint8_t* m = main + 2 * static_cast<ptrdiff_t>(p);
    const uint8_t* r = reference + 2 * static_cast<ptrdiff_t>(p);
    const int L0 = r[0], L1 = r[2];
    const bool logo = (p >= x && Abs(edge - L0) >= threshold) || (p + 1 < end && Abs(edge - L1) >= threshold);
    if (!logo) continue;
    const double inverse = L0 == L1 ? share.Inverse(L0) : 1.0 / ((share[L0] + share[L1]) * 0.5);
    m[1] = static_cast<uint8_t>(UncoveredChroma(m[1], r[1], inverse));
    m[3] = static_cast<uint8_t>(UncoveredChroma(m[3], r[3], inverse));
  }
}

}  // namespace pramvix
