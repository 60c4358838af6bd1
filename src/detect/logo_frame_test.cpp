#include "detect/logo_frame_test.h"

#include "base/frame_request.h"
#include "detect/if_logo.h"
#include "detect/if_no_logo.h"

namespace pramvix {

LogoFrameTest TestLogoFrame(LogoRule rule, PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                            const Region& region, int frameThreshold, int logoThreshold, Simd simd,
                            IScriptEnvironment* env) {
  const bool ifLogo = rule == LogoRule::kIfLogo;
  const RegionFrames rows =
      BeginRegionRequest(main, logoClip, logo, region, ifLogo ? IfLogo::kTexts : IfNoLogo::kTexts, env);
  LogoFrameTest test;
  test.totals = ScanRegion(rows.main, rows.logo, region, TestRuleOf(frameThreshold, logoThreshold),
                           ifLogo ? IfLogoRowFor(simd) : IfNoLogoRowFor(simd));
  test.passes = ifLogo ? IfLogo::ReturnsAlternate(test.totals, frameThreshold)
                       : IfNoLogo::ReturnsAlternate(test.totals, frameThreshold);
  return test;
}

}  // namespace pramvix
