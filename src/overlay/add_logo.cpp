#include "overlay/add_logo.h"

#include <utility>

#include "base/compatible_clips.h"
#include "base/frame_request.h"

namespace pramvix {

// Two texts name others: "Logo_Blend" for the incompatibility, as NoLogoM's
// does, and NoLogo for the frame width.
const FilterTexts AddLogo::kTexts =
    PRAMVIX_FILTER_TEXTS("AddLogo", "AddLogo: YUY2 data only (no RGB); use ConvertToYUY2",
                         "Logo_Blend: Incompatible clips", "NoLogo: width must be a multiple of 2; use Crop",
                         "You X position is too far right.");

AddLogo::AddLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
                 IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      threshold(threshold),
      region{x, y, width, height},
      logoClip(std::move(logoClip)) {
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError(kTexts.incompatible);
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame AddLogo::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, kTexts, env);
  BlendRegion(frames.main, frames.logo, region, threshold, blendRow);
  return frame;
}

}  // namespace pramvix
