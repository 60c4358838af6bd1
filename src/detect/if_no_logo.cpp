#include "detect/if_no_logo.h"

#include <utility>

namespace pramvix {

// Two texts name others: IfLogo for the pixel format, and the test IfLogo and
// IfNoLogo share for the incompatibility.
const FilterTexts IfNoLogo::kTexts =
    PRAMVIX_FILTER_TEXTS("IfNoLogo", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2",
                         "If Luma Logo test: Incompatible clips", "IfNoLogo: width must be a multiple of 2; use Crop",
                         "Your X position is too far right.");

IfNoLogo::IfNoLogo(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold,
                   int logoThreshold, int x, int y, int width, int height, IScriptEnvironment* env)
    : LogoTestFilter(std::move(child), std::move(alternateClip), std::move(logoClip), logoFrame, frameThreshold,
                     logoThreshold, x, y, width, height, kTexts, IfNoLogoRowFor(BestSimd()), env) {}

PVideoFrame IfNoLogo::GetFrame(int n, IScriptEnvironment* env) {
  const Request request = Begin(n, env);
  return ReturnsAlternate(Scan(request), frameThreshold) ? request.alternate : request.main;
}

}  // namespace pramvix
