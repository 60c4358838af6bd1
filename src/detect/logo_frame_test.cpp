#include "detect/logo_frame_test.h"

#include <cstdint>

#include "base/frame_request.h"
#include "detect/if_logo.h"
#include "detect/if_no_logo.h"

namespace pramvix {

RegionFrames BeginLogoTest(PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo, const Region& region,
                           bool marking, const FilterTexts& texts, IScriptEnvironment* env) {
  if (marking) return BeginRegionRequest(main, logoClip, logo, region, texts, env);
  // The row kernels take writable rows because marking writes through them;
  // without marks no kernel writes (every set is checked byte for byte
  // against an untouched frame), so the read pointer serves.
  const RegionFrames frames{MutableFrame{const_cast<uint8_t*>(main->GetReadPtr()), main->GetPitch(),
                                         main->GetRowSize(), main->GetHeight()},
                            ViewOf(logo)};
  CheckRegionFrames(frames, logoClip, region, texts, env);
  return frames;
}

LogoFrameTest TestLogoFrame(LogoRule rule, PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                            const Region& region, int frameThreshold, int logoThreshold, Simd simd,
                            IScriptEnvironment* env) {
  const bool ifLogo = rule == LogoRule::kIfLogo;
  const TestRule testRule = TestRuleOf(frameThreshold, logoThreshold);
  const RegionFrames rows = BeginLogoTest(main, logoClip, logo, region, testRule.marking,
                                          ifLogo ? IfLogo::kTexts : IfNoLogo::kTexts, env);
  LogoFrameTest test;
  test.totals = ScanRegion(rows.main, rows.logo, region, testRule, ifLogo ? IfLogoRowFor(simd) : IfNoLogoRowFor(simd));
  test.passes = ifLogo ? IfLogo::ReturnsAlternate(test.totals, frameThreshold)
                       : IfNoLogo::ReturnsAlternate(test.totals, frameThreshold);
  return test;
}

}  // namespace pramvix
