#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "base/ratio_correction_x86.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "removal/row_pass_vector.h"

namespace pramvix {

namespace {
// The luma under the logo, as UncoveredLuma gives it.
RatioCorrection Uncovering(const Overlay& overlay) {
  return RatioCorrection{static_cast<double>(static_cast<int64_t>(overlay.level) + 16), 16.0,
                         static_cast<double>(overlay.gain), -1, overlay.offset, 0, 250};
}
}  // namespace

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, RatioCorrectionSse2(Uncovering(rule.overlay)));
}

}  // namespace pramvix
#endif
