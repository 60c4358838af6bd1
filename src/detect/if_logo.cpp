#include "detect/if_logo.h"

#include "detect/logo_edge_scan.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("IfLogo", "IfLogo: width must be a multiple of 2; use Crop",
                                                "You X position is too far right.");
}  // namespace

PVideoFrame IfLogo::GetFrame(int n, IScriptEnvironment* env) {
  Request request = Begin(n, kTexts, env);
  const Totals totals = ScanIfLogo(request.rows.main, request.rows.logo, region, Rule(), simd);
  // The alternate frame goes back as it came; the main frame's marks are dropped.
  return totals.LogoFound() ? request.alternate : request.main;
}

}  // namespace pramvix
