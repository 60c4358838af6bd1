#pragma once
// The switching filters' row tests for x86-64 (SSE2 only: AVX2 variants gained
// nothing that showed in a frame request); IfLogoRowFor and IfNoLogoRowFor
// hand them out.
#include "base/simd.h"
#include "detect/logo_edge_scan.h"

#if PRAMVIX_X86_64
namespace pramvix {

RowCounts IfLogoRowSse2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule);
RowCounts IfNoLogoRowSse2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule);

}  // namespace pramvix
#endif
