#include "removal/no_logo.h"

#include <utility>

#include "base/frame_request.h"

namespace pramvix {

const FilterTexts NoLogo::kTexts =
    PRAMVIX_FILTER_TEXTS("NoLogo", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2", nullptr,
                         "NoLogo: width must be a multiple of 2; use Crop", "You X position is too far right.");

NoLogo::NoLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
               IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoClip(std::move(logoClip)),
      logoFrame(logoFrame),
      region{x, y, width, height},
      rule(Checked(RemovalRule{threshold, Overlay{}})) {
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame NoLogo::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, kTexts, env);
  remove(frames.main, frames.logo, region, rule);
  return frame;
}

}  // namespace pramvix
