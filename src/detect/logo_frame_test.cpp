#include "detect/logo_frame_test.h"

#include "base/filter_texts.h"
#include "base/frame_request.h"

namespace pramvix {

namespace {
const FilterTexts kIfLogoTexts = PRAMVIX_FILTER_TEXTS("IfLogo", "IfLogo: width must be a multiple of 2; use Crop",
                                                      "You X position is too far right.");
const FilterTexts kIfNoLogoTexts = PRAMVIX_FILTER_TEXTS(
    "IfNoLogo", "IfNoLogo: width must be a multiple of 2; use Crop", "Your X position is too far right.");
}  // namespace

LogoFrameTest TestLogoFrame(LogoRule rule, PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                            const Region& region, int frameThreshold, int logoThreshold, Simd simd,
                            IScriptEnvironment* env) {
  const bool ifLogo = rule == LogoRule::kIfLogo;
  const RegionFrames rows =
      BeginRegionRequest(main, logoClip, logo, region, ifLogo ? kIfLogoTexts : kIfNoLogoTexts, env);
  const TestRule testRule = TestRuleOf(frameThreshold, logoThreshold);
  LogoFrameTest test;
  test.totals = ifLogo ? ScanIfLogo(rows.main, rows.logo, region, testRule, simd)
                       : ScanIfNoLogo(rows.main, rows.logo, region, testRule, simd);
  test.passes = test.totals.LogoFound() && (ifLogo || frameThreshold > 0);
  return test;
}

}  // namespace pramvix
