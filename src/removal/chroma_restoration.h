#pragma once
// The chroma under a semi-transparent logo. The reference picture shows the
// logo over black, so its chroma is the logo's own blended over neutral 128:
// R = 128·(1 − α) + Clogo·α, and a frame shows C = Cunder·(1 − α) + Clogo·α.
// The chroma under the logo is then Cunder = 128 + (C − R) / (1 − α), with the
// opacity α of the luma correction's overlay model.
#include <array>
#include <cstddef>
#include <cstdint>

#include "base/arithmetic.h"
#include "base/simd.h"
#include "removal/logo_removal.h"

namespace pramvix {

// The share of the picture under the logo that shows through it, 1 − α, for
// every reference luma L, where α / (1 − α) = gain·(L − 16) / (level + 16 − L)
// (for gain 1, α = (L − 16) / level). Limited to 1/8 … 1: an opacity below 0
// counts as 0, and one of 7/8 or more (a logo that is, or is nearly, opaque:
// little or nothing left to recover) as 7/8, so the difference from the
// reference is amplified at most eightfold and fades to neutral as the logo
// becomes opaque. An opacity that is not a number counts as 0. Worked out in
// double precision, kept in single precision, which the pixel work uses.
class Transmission {
 public:
  static constexpr float kLeast = 1.0f / 8;

  explicit Transmission(const Overlay& overlay);
  float operator[](int L) const { return share_[static_cast<size_t>(L)]; }
  const float* Table() const { return share_.data(); }  // the 256 shares, for gathering

 private:
  std::array<float, 256> share_;
};

struct ChromaRule {
  // The luma's logo test: a pixel is logo when |E − L| ≥ threshold, E being
  // the reference luma at the region's left edge. 0, the luma's inverting
  // mode, leaves chroma alone.
  int threshold;
  Transmission transmission;
};

// The factor on a pair's chroma difference: 1 over the mean share of its two
// pixels, in single precision, in this order (the vector variants do the same).
inline float PairFactor(float share0, float share1) { return 1.0f / ((share0 + share1) * 0.5f); }

// Chroma c over reference chroma r with a pair's factor (1 … 8): 128 +
// (c − r)·factor, rounded to the nearest integer (halves up, the sum in
// single precision) and limited to 16 … 240.
inline int UncoveredChroma(int c, int r, float factor) {
  // |(c − r)·factor| ≤ 255 · 8 < 2048, so the sum is positive, truncating it
  // rounds down, and the conversion is always defined.
  const int rounded = static_cast<int>(static_cast<float>(c - r) * factor + 2048.5f) - 2048;
  const int v = 128 + rounded;
  return v < 16 ? 16 : (v > 240 ? 240 : v);
}

// Pixel pair `pair` of two rows (`main` and `reference` point at the rows'
// first bytes), restored when one of the pixels that `first` and `second`
// say to test is a logo pixel. A pair's U and V serve both its pixels, which
// were both blended into them, so its opacity is the mean of both pixels'
// opacities, whether or not both were tested.
inline void RestorePair(uint8_t* main, const uint8_t* reference, int pair, bool first, bool second, int edge,
                        int threshold, const Transmission& share) {
  uint8_t* m = main + 4 * static_cast<ptrdiff_t>(pair);
  const uint8_t* r = reference + 4 * static_cast<ptrdiff_t>(pair);
  const bool logo = (first && Abs(edge - r[0]) >= threshold) || (second && Abs(edge - r[2]) >= threshold);
  if (!logo) return;
  const float factor = PairFactor(share[r[0]], share[r[2]]);
  m[1] = static_cast<uint8_t>(UncoveredChroma(m[1], r[1], factor));
  m[3] = static_cast<uint8_t>(UncoveredChroma(m[3], r[3], factor));
}

// One row: the chroma of every pixel pair that holds a logo pixel of the region
// x … x + width − 1 (the pair's other pixel counts for the opacity even where
// it lies outside the region). Pairs without a logo pixel are left as they
// are. Reads and writes the whole pairs that the region touches; x must not be
// negative and those pairs must lie inside both rows.
void RestoreChromaRow(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule);

using RestoreChromaRowKernel = void (*)(uint8_t* main, const uint8_t* reference, int x, int width,
                                        const ChromaRule& rule);
// The chroma pass built for `simd`; every variant writes the same bytes.
RestoreChromaRowKernel RestoreChromaRowFor(Simd simd);

#if PRAMVIX_X86_64
void RestoreChromaRowSse2(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule);
#endif

// The pairs x / 2 … of a region x … end − 1 whose two pixels both lie in it,
// and a pass over a row that hands them to `whole` and the partial pairs at
// either end to RestorePair.
template <class Whole>
void ForEachPair(uint8_t* main, const uint8_t* reference, int x, int width, const ChromaRule& rule, Whole whole) {
  if (width <= 0 || rule.threshold == 0) return;
  const int edge = reference[2 * static_cast<ptrdiff_t>(x)];
  const int end = x + width;
  const int firstWhole = (x + 1) / 2, endWhole = end / 2;
  // A region starting on an odd pixel tests only that pixel of its first
  // pair; one ending on an even pixel only the first pixel of its last pair.
  if (x % 2 == 1) RestorePair(main, reference, x / 2, false, true, edge, rule.threshold, rule.transmission);
  if (endWhole > firstWhole) whole(firstWhole, endWhole, edge);
  if (end % 2 == 1) RestorePair(main, reference, end / 2, true, false, edge, rule.threshold, rule.transmission);
}

}  // namespace pramvix
