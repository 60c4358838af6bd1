#include "base/simd.h"
#if PRAMVIX_X86_64
#include <emmintrin.h>

#include "base/ratio_correction_x86.h"
#include "removal/logo_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "removal/row_pass_vector.h"

namespace pramvix {

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule) {
  VectorRowPass(main, reference, x, width, rule, RatioCorrectionSse2(Uncovering(rule.overlay)));
}

}  // namespace pramvix
#endif
