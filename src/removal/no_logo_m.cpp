#include "removal/no_logo_m.h"

#include <utility>

#include "base/compatible_clips.h"
#include "base/frame_request.h"

namespace pramvix {

// The incompatibility text names "Logo_Blend", not NoLogoM, as AddLogo's does.
const FilterTexts NoLogoM::kTexts =
    PRAMVIX_FILTER_TEXTS("NoLogoM", "NoLogoM: YUY2 data only (no RGB); use ConvertToYUY2",
                         "Logo_Blend: Incompatible clips", "NoLogoM: width must be a multiple of 2; use Crop",
                         "You X position is too far right.");

NoLogoM::NoLogoM(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
                 float gain, int level, int offset, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      region{x, y, width, height},
      rule(Checked(RemovalRule{threshold, Overlay{level, gain, offset}, LogoPixels::kCorrect, Softening::kEverywhere})),
      logoClip(std::move(logoClip)) {
  // The incompatibility is reported first, also for two clips of other layouts.
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError(kTexts.incompatible);
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame NoLogoM::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, kTexts, env);
  remove(frames.main, frames.logo, region, rule);
  return frame;
}

}  // namespace pramvix
