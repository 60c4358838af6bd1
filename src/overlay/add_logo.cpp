#include "overlay/add_logo.h"

#include <utility>

#include "base/compatible_clips.h"
#include "base/frame_request.h"
#include "overlay/blend_kernel.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("AddLogo", "NoLogo: width must be a multiple of 2; use Crop",
                                                "You X position is too far right.");
}  // namespace

AddLogo::AddLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
                 IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      threshold(threshold),
      region{x, y, width, height},
      logoClip(std::move(logoClip)) {
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError("Logo_Blend: Incompatible clips");
  if (!vi.IsYUY2()) env->ThrowError("AddLogo: YUY2 data only (no RGB); use ConvertToYUY2");
}

PVideoFrame AddLogo::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logoHandle = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logoHandle, region, kTexts, env);
  BlendRegion(frames.main, frames.logo, region, threshold, simd);
  return frame;
}

}  // namespace pramvix
