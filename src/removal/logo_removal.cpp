#include "removal/logo_removal.h"

#include <algorithm>
#include <cstdint>

#include "base/arithmetic.h"
#include "base/frame_request.h"

namespace pramvix {

int UncoveredLuma(int s, int L, const Overlay& overlay) {
  // 64-bit: level and offset are any 32-bit integers.
  const int64_t full = static_cast<int64_t>(overlay.level) + 16;
  const double a = static_cast<double>(full - s);
  const double b = static_cast<double>(full - L);
  const double d = static_cast<double>(L - 16) * static_cast<double>(overlay.gain) + 0.001;
  const double r = b / d;
  const int64_t q = TruncateToInt32(a / r);
  return ClampInt64(s - q + overlay.offset, 0, 250);
}

namespace {

// The settings of one row pass, as locals: the byte stores of the pass may
// alias anything, and the compiler would reload a rule's fields after each.
struct RowPass {
  int threshold;
  bool mark;
  bool everywhere;
  Overlay overlay;
  int edge;  // reference luma at the region's left edge

  // Pixel k. kNearEnds: k is within two pixels of a row end, so neighbours
  // are held inside the row; elsewhere they are read directly.
  template <bool kNearEnds>
  void Step(MutableLumaRow main, ConstLumaRow reference, int k) const {
    const int s = main[k];
    const int L = reference[k];
    int v = s;
    if (threshold == 0) {
      v = 255 - s;
    } else if (Abs(edge - L) >= threshold) {
      v = mark ? 255 - s : UncoveredLuma(s, L, overlay);
    }
    main[k] = static_cast<uint8_t>(v);

    const int left = kNearEnds ? reference.Held(k - 1) : reference[k - 1];
    const int right = kNearEnds ? reference.Held(k + 1) : reference[k + 1];
    // The pixel to the left takes the mean of itself, its left neighbour (as
    // this pass left it) and the new value; at the row's start there is none.
    if ((everywhere || Abs(left - right) >= threshold) && k >= 1) {
      const int leftOfLeft = kNearEnds ? main.Held(k - 2) : main[k - 2];
      main[k - 1] = static_cast<uint8_t>((leftOfLeft + main[k - 1] + v) / 3);
    }
  }
};

}  // namespace

void RemoveLogoRow(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  if (width <= 0) return;
  const RowPass pass{rule.threshold, rule.logoPixels == LogoPixels::kMark,
                     rule.softening == Softening::kEverywhere, rule.overlay, reference[x]};
  const int end = x + width;
  // Pixels 2 … w − 2 of both rows have all their neighbours inside.
  const int innerEnd = std::min(std::min(main.Width(), reference.Width()) - 1, end);
  int k = x;
  for (; k < end && k < 2; ++k) pass.Step<true>(main, reference, k);
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < end; ++k) pass.Step<true>(main, reference, k);
}

RemoveLogoRowKernel RemoveLogoRowFor(Simd) { return RemoveLogoRow; }

void RemoveLogo(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                const RemovalRule& rule, Simd simd) {
  const RemoveLogoRowKernel row = RemoveLogoRowFor(simd);
  ForEachRegionRow(region, [&](int r) {
    row(LumaOf(main, r), LumaOf(reference, r), region.x, region.width, rule);
  });
}

}  // namespace pramvix
