#include "detect/if_no_logo.h"

#include "detect/logo_edge_scan.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("IfNoLogo", "IfNoLogo: width must be a multiple of 2; use Crop",
                                                "Your X position is too far right.");
}  // namespace

PVideoFrame IfNoLogo::GetFrame(int n, IScriptEnvironment* env) {
  Request request = Begin(n, kTexts, env);
  const Totals totals = ScanIfNoLogo(request.rows.main, request.rows.logo, region, Rule(), simd);
  return totals.LogoFound() && frameThreshold > 0 ? request.alternate : request.main;
}

}  // namespace pramvix
