#pragma once
// The chroma under a semi-transparent logo. The reference picture shows the
// logo over black, so its chroma is the logo's own blended over neutral 128:
// R = 128·(1 − α) + Clogo·α, and a frame shows C = Cunder·(1 − α) + Clogo·α.
// The chroma under the logo is then Cunder = 128 + (C − R) / (1 − α), with the
// opacity α of the luma correction's overlay model.
#include <array>
#include <cstdint>

#include "removal/logo_removal.h"

namespace pramvix {

// The share of the picture under the logo that shows through it, 1 − α, for
// every reference luma L, where α / (1 − α) = gain·(L − 16) / (level + 16 − L)
// (for gain 1, α = (L − 16) / level). Limited to 1/8 … 1: an opacity below 0
// counts as 0, and one of 7/8 or more (a logo that is, or is nearly, opaque:
// little or nothing left to recover) as 7/8, so the difference from the
// reference is amplified at most eightfold and fades to neutral as the logo
// becomes opaque. An opacity that is not a number counts as 0.
class Transmission {
 public:
  static constexpr double kLeast = 1.0 / 8;

  explicit Transmission(const Overlay& overlay);
  double operator[](int L) const { return share_[static_cast<size_t>(L)]; }
  // 1 / share, worked out once: a pair of two equal reference lumas, as
  // inside a logo, needs no division.
  double Inverse(int L) const { return inverse_[static_cast<size_t>(L)]; }

 private:
  std::array<double, 256> share_, inverse_;
};

struct ChromaRule {
  // The luma's logo test: a pixel is logo when |E − L| ≥ threshold, E being
  // the reference luma at the region's left edge. 0, the luma's inverting
  // mode, leaves chroma alone.
  int threshold;
  Transmission transmission;
};

// Chroma c over reference chroma r where 1 / `inverse` of the picture shows
// through: 128 + (c − r) · inverse, rounded to the nearest integer (halves
// up) and limited to 16 … 240. `inverse` lies in 1 … 8.
inline int UncoveredChroma(int c, int r, double inverse) {
  // |(c − r) · inverse| ≤ 255 · 8 < 2048, so the sum below is positive,
  // truncating it rounds down, and the conversion is always defined.
  const int rounded = static_cast<int>(static_cast<double>(c - r) * inverse + 2048.5) - 2048;
  const int v = 128 + rounded;
  return v < 16 ? 16 : (v > 240 ? 240 : v);
}

// One row of a YUY2 frame (`main` and `reference` point at the rows' first
// bytes): the chroma of every pixel pair that holds a logo pixel of the region
// x … x + width − 1. A pair's U and V serve both its pixels, which were both
// blended into them, so its opacity is the mean of both pixels' opacities,
// whether or not both lie in the region or pass the logo test. Pairs without
// a logo pixel are left as they are. Reads and writes the whole pairs that the
// region touches; x must not be negative and those pairs must lie inside both
// rows.
void RestoreChromaRow(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule);

}  // namespace pramvix
