#pragma once
// What the logo-removal filters share: the luma that lies under a logo, and
// the row pass that writes it and softens the logo's edges.
#include "base/region.h"
#include "base/simd.h"
#include "base/yuy2.h"

namespace pramvix {

// The reference picture shows the logo over black (luma 16); the logo is an
// overlay of luma level + 16 whose opacity at a pixel is gain·(L − 16) / level.
struct Overlay {
  int level = 222;
  float gain = 1.0f;
  int offset = 0;
};

// The luma under the logo for main luma s and reference luma L, plus the
// overlay's offset, limited to 0…250. Computed in double precision; a quotient
// that is not finite counts as 0, one outside the 32-bit range saturates.
int UncoveredLuma(int s, int L, const Overlay& overlay);

enum class LogoPixels { kCorrect, kMark };           // mark: show them inverted
enum class Softening { kAtReferenceEdges, kEverywhere };

struct RemovalRule {
  // A pixel is logo when |E − L| ≥ threshold, E being the reference luma at
  // the region's left edge; 0 inverts every pixel of the region instead.
  int threshold = 0;
  Overlay overlay;
  LogoPixels logoPixels = LogoPixels::kCorrect;
  Softening softening = Softening::kAtReferenceEdges;
  // Set by Checked(): the vector corrections' quick quotients for this
  // overlay are sure but where the reference luma is level + 16, so the
  // AVX2 pass need not test them. Changes no byte.
  bool sureQuotients = false;
};

// The rule with sureQuotients worked out for its overlay (about 60 µs): for
// a filter to keep, not for each frame.
RemovalRule Checked(RemovalRule rule);

// One row: pixels x … x + width − 1 of `main`, left to right, read against the
// same pixels of `reference`. Each new value also softens the pixel to its
// left, from what this pass has already written. The region must lie inside
// both rows; neighbours beyond a row's ends are held inside it.
void RemoveLogoRow(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule);

using RemoveLogoRowKernel = void (*)(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                     const RemovalRule& rule);
// The row pass built for `simd`; every variant writes the same bytes.
RemoveLogoRowKernel RemoveLogoRowFor(Simd simd);

// Every row of the region, each frame stepped by its own pitch: the bytes of
// the row pass on each row.
using RemoveLogoKernel = void (*)(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                                  const RemovalRule& rule);
// The region's pass built for `simd`; every variant writes the same bytes.
RemoveLogoKernel RemoveLogoFor(Simd simd);
inline void RemoveLogo(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                       const RemovalRule& rule, Simd simd) {
  RemoveLogoFor(simd)(main, reference, region, rule);
}

}  // namespace pramvix
