#include "detect/if_logo.h"

#include <utility>

namespace pramvix {

// The incompatibility text names the test IfLogo and IfNoLogo share.
const FilterTexts IfLogo::kTexts =
    PRAMVIX_FILTER_TEXTS("IfLogo", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2",
                         "If Luma Logo test: Incompatible clips", "IfLogo: width must be a multiple of 2; use Crop",
                         "You X position is too far right.");

IfLogo::IfLogo(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold,
               int logoThreshold, int x, int y, int width, int height, IScriptEnvironment* env)
    : LogoTestFilter(std::move(child), std::move(alternateClip), std::move(logoClip), logoFrame, frameThreshold,
                     logoThreshold, x, y, width, height, kTexts, IfLogoRowFor(BestSimd()), env) {}

PVideoFrame IfLogo::GetFrame(int n, IScriptEnvironment* env) {
  const Request request = Begin(n, env);
  // The alternate frame goes back as it came; the main frame's marks are dropped.
  return ReturnsAlternate(Scan(request), frameThreshold) ? request.alternate : request.main;
}

}  // namespace pramvix
