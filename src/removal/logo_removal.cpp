#include "removal/logo_removal.h"

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

void RemoveLogoRow(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  if (width <= 0) return;
  // Locals, not the rule's fields: the byte stores below may alias anything,
  // and the compiler would reload every field after each of them.
  const int threshold = rule.threshold;
  const bool mark = rule.logoPixels == LogoPixels::kMark;
  const bool everywhere = rule.softening == Softening::kEverywhere;
  const Overlay overlay = rule.overlay;
  const int edge = reference[x];
  const int end = x + width;
  for (int k = x; k < end; ++k) {
    const int s = main[k];
    const int L = reference[k];
    int v = s;
    if (threshold == 0) {
      v = 255 - s;
    } else if (Abs(edge - L) >= threshold) {
      v = mark ? 255 - s : UncoveredLuma(s, L, overlay);
    }
    main[k] = static_cast<uint8_t>(v);

    const bool soften = everywhere || Abs(reference.Held(k - 1) - reference.Held(k + 1)) >= threshold;
    // The pixel to the left takes the mean of itself, its left neighbour (as
    // this pass left it) and the new value; at the row's start there is none.
    if (soften && k >= 1) main[k - 1] = static_cast<uint8_t>((main.Held(k - 2) + main[k - 1] + v) / 3);
  }
}

void RemoveLogo(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                const RemovalRule& rule) {
  ForEachRegionRow(region, [&](int r) {
    RemoveLogoRow(LumaOf(main, r), LumaOf(reference, r), region.x, region.width, rule);
  });
}

}  // namespace pramvix
