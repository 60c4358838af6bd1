#include "overlay/logo_mask.h"

#include <utility>

#include "base/compatible_clips.h"
#include "base/frame_request.h"

namespace pramvix {

// The width text names IfLogo, not LogoMask.
const FilterTexts LogoMask::kTexts =
    PRAMVIX_FILTER_TEXTS("LogoMask", "LogoMask: YUY2 data only (no RGB); use ConvertToYUY2",
                         "LogoMask: Incompatible clips", "IfLogo: width must be a multiple of 2; use Crop",
                         "You X position is too far right.");

LogoMask::LogoMask(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int threshold, int x, int y,
                   int width, int height, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      threshold(threshold),
      region{x, y, width, height},
      logoClip(std::move(logoClip)),
      alternateClip(std::move(alternateClip)) {
  // The alternate clip is not compared: its frames are checked where they are read.
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError(kTexts.incompatible);
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame LogoMask::GetFrame(int n, IScriptEnvironment* env) {
  PVideoFrame frame = child->GetFrame(n, env);
  const PVideoFrame alternateHandle = alternateClip->GetFrame(n, env);
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, kTexts, env);
  const ConstFrame alternate = ViewOf(alternateHandle);
  CheckAlternateCovers(alternateClip, alternate, region, kTexts, env);
  MaskRegion(frames.main, alternate, frames.logo, region, threshold, maskRow);
  return frame;
}

}  // namespace pramvix
