#include "removal/logo_removal.h"

#include <cstdint>

#include "base/arithmetic.h"
#include "base/frame_request.h"
#include "removal/logo_removal_x86.h"
#include "removal/row_pass.h"

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

RemovalRule Checked(RemovalRule rule) {
  rule.sureQuotients = SureButAtTop(Uncovering(rule.overlay));
  return rule;
}

void RemoveLogoRow(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  if (width <= 0) return;
  const RowPass pass(rule, reference[x]);
  const int end = x + width;
  const int innerEnd = InnerEnd(main, reference, end);
  int k = x;
  for (; k < end && k < 2; ++k) pass.Step<true>(main, reference, k);
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < end; ++k) pass.Step<true>(main, reference, k);
}

RemoveLogoRowKernel RemoveLogoRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx2) return RemoveLogoRowAvx2;
  if (simd >= Simd::kSse2) return RemoveLogoRowSse2;
#endif
  static_cast<void>(simd);
  return RemoveLogoRow;
}

namespace {

template <RemoveLogoRowKernel kRow>
void RowByRow(const MutableFrame& main, const ConstFrame& reference, const Region& region, const RemovalRule& rule) {
  ForEachRegionRow(region, [&](int r) {
    kRow(LumaOf(main, r), LumaOf(reference, r), region.x, region.width, rule);
  });
}

}  // namespace

RemoveLogoKernel RemoveLogoFor(Simd simd) {
#if PRAMVIX_X86_64
  // AVX2 works sixteen rows side by side.
  if (simd >= Simd::kAvx2) return RemoveLogoAvx2;
  if (simd >= Simd::kSse2) return RowByRow<RemoveLogoRowSse2>;
#endif
  static_cast<void>(simd);
  return RowByRow<RemoveLogoRow>;
}

}  // namespace pramvix
